#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostRegistry.h"
#include "plugin/CZARVIKSetup.h"
#include "tests/plugin/PluginTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

using zplugin::CZARVIKSetup;

namespace {

class Setup : public ::testing::Test {
protected:
    // The settings key, created when missing.
    static host::HostRegistry Key()
    {
        host::HostRegistry key;
        key.CreateKey(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey);
        return key;
    }
    static bool KeyExists() { return host::HostRegistry().KeyExists(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey); }
    static plat::Variant Stored(const char* name) { return Key().GetValue(name, plat::Variant()); }

    void ExpectNumbers(int32_t commTimeOut, int32_t rangeThreshold, int32_t pacerTimeout) const
    {
        EXPECT_EQ(setup->CommTimeOut(), commTimeOut);
        EXPECT_EQ(setup->RangeThreshold(), rangeThreshold);
        EXPECT_EQ(setup->PacerRefractoryTimeout(), pacerTimeout);
    }

    ztesting::PluginRegistry registry{false};
    host::HostErrorRaiser::ReportCapture reports;
    std::shared_ptr<CZARVIKSetup> setup = std::make_shared<CZARVIKSetup>();
};

} // namespace

TEST_F(Setup, AnEmptyKeyGivesTheDefaultsAndWritesTheNumbersBack)
{
    Key();
    setup->RegLoad(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey);

    ExpectNumbers(1000, 50, 120);
    EXPECT_EQ(Stored("CommTimeOut").AsLong(), 1000);
    EXPECT_EQ(Stored("RangeThreshold").AsLong(), 50);
    EXPECT_EQ(Stored("PacerRefractoryTimeout").AsLong(), 120);
    // The catalogue path is read, never written: the default is this library's folder.
    EXPECT_TRUE(Stored("Configuration").IsEmpty());
    const auto expectedFolder = std::filesystem::canonical(ZARVIK_LIBRARY_DIR).string() + "/";
    EXPECT_EQ(setup->ConfigFile(), expectedFolder + "Zarvik.mpc");
    EXPECT_EQ(CZARVIKSetup::DefaultConfigFile(), setup->ConfigFile());
    EXPECT_TRUE(reports.Reports().empty());
}

TEST_F(Setup, OnlyAValueThatCannotBeReadTakesItsDefault)
{
    struct Case {
        const char* name;
        std::optional<uint32_t> dword;
        std::optional<std::string> text;
        int32_t expected;
    };
    const Case cases[] = {
        {"zero stays zero", 0u, {}, 0},
        {"a stored number", 2500u, {}, 2500},
        {"-1 counts as unreadable", 0xFFFFFFFFu, {}, 1000},
        {"a number as text", {}, std::string("1500"), 1500},
        {"a text that is no number", {}, std::string("fast"), 1000},
        {"missing", {}, {}, 1000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (KeyExists()) host::HostRegistry().DeleteKey(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey);
        host::HostRegistry key = Key();
        if (c.dword) key.SetDWordValue("CommTimeOut", static_cast<int32_t>(*c.dword));
        if (c.text) key.SetStringValue("CommTimeOut", *c.text);
        key.SetDWordValue("RangeThreshold", 75);

        setup->RegLoad(0, "");
        ExpectNumbers(c.expected, 75, 120);
        // What was read, defaults included, is written back as a number.
        EXPECT_EQ(Stored("CommTimeOut").Type(), plat::VarType::Long);
        EXPECT_EQ(Stored("CommTimeOut").AsLong(), c.expected);
    }
}

TEST_F(Setup, TheCataloguePathIsReadAndAnEmptyOneIsTheDefault)
{
    Key().SetStringValue("Configuration", "/srv/zarvik/Other.mpc");
    setup->RegLoad(0, "");
    EXPECT_EQ(setup->ConfigFile(), "/srv/zarvik/Other.mpc");

    Key().SetStringValue("Configuration", "");
    setup->RegLoad(0, "");
    EXPECT_EQ(setup->ConfigFile(), CZARVIKSetup::DefaultConfigFile());
    EXPECT_EQ(Stored("Configuration").AsString(), "");
}

TEST_F(Setup, AMissingKeyIsReportedAndNothingIsLoadedOrWritten)
{
    setup->SetConfigFile("kept.mpc");
    setup->SetCommTimeOut(7);
    setup->RegLoad(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey);

    EXPECT_EQ(setup->ConfigFile(), "kept.mpc");
    ExpectNumbers(7, 0, 0);
    EXPECT_FALSE(KeyExists());
    ASSERT_EQ(reports.Reports().size(), 1u);
    EXPECT_EQ(reports.Reports()[0].number, CZARVIKSetup::ErrKeyMissing);
    EXPECT_EQ(reports.Reports()[0].reportedBy, "TelvoZARVIK.CZARVIKSetup");

    // A fresh settings object starts empty and stays so.
    auto fresh = std::make_shared<CZARVIKSetup>();
    fresh->Initialize();
    EXPECT_EQ(fresh->ConfigFile(), "");
    EXPECT_EQ(fresh->CommTimeOut(), 0);
}

TEST_F(Setup, TheHiveAndPathArgumentsAreIgnored)
{
    Key().SetDWordValue("PacerRefractoryTimeout", 130);
    setup->RegLoad(host::HKEY_CURRENT_USER, "Software\\Elsewhere");
    EXPECT_EQ(setup->PacerRefractoryTimeout(), 130);

    setup->SetRangeThreshold(80);
    setup->RegSave(host::HKEY_CURRENT_USER, "Software\\Elsewhere");
    EXPECT_EQ(Stored("RangeThreshold").AsLong(), 80);
    EXPECT_FALSE(host::HostRegistry().KeyExists(host::HKEY_CURRENT_USER, "Software\\Elsewhere"));
}

TEST_F(Setup, ASaveThatFailsIsReported)
{
    // A registry whose folder is replaced by a file after it was read: every save fails from
    // then on.
    const std::string folder = registry.Dir() + "/gone";
    std::filesystem::create_directory(folder);
    plat::SetRegistryPath(folder + "/registry");
    Key().SetDWordValue("CommTimeOut", 900);
    std::filesystem::remove_all(folder);
    registry.WriteFile("gone", "in the way\n");

    setup->SetCommTimeOut(1200);
    setup->RegSave(0, "");
    ASSERT_EQ(reports.Reports().size(), 1u);
    EXPECT_EQ(reports.Reports()[0].number, host::HostRegistry::ErrStore);
    EXPECT_EQ(reports.Reports()[0].reportedBy, "TelvoZARVIK.CZARVIKSetup");

    // Loading still reads what the registry holds; its write-back fails the same way.
    setup->RegLoad(0, "");
    EXPECT_EQ(setup->CommTimeOut(), 900);
    EXPECT_EQ(reports.Reports().size(), 2u);
}

TEST_F(Setup, ARegistryThatCannotBeReadIsTheCallersButInitializeGoesOn)
{
    registry.WriteFile("registry", "this is no registry\n");
    plat::SetRegistryPath(registry.RegistryPath());

    try {
        setup->RegLoad(0, "");
        ADD_FAILURE() << "RegLoad passed over a registry that cannot be read";
    } catch (const plat::ComError& error) {
        EXPECT_EQ(error.Number(), host::HostRegistry::ErrStore);
    }
    EXPECT_NO_THROW(setup->Initialize());
    EXPECT_EQ(setup->CommTimeOut(), 0);
}
