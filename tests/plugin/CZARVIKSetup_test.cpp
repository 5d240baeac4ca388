#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostRegistry.h"
#include "plugin/CZARVIKSetup.h"
#include "tests/plugin/PluginTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include <sys/inotify.h>
#include <unistd.h>

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

// A stored 0 is a number like any other, for each of the three.
TEST_F(Setup, AStoredZeroStaysZeroForEveryNumber)
{
    for (const char* name : {"CommTimeOut", "RangeThreshold", "PacerRefractoryTimeout"}) {
        SCOPED_TRACE(name);
        if (KeyExists()) host::HostRegistry().DeleteKey(host::HKEY_LOCAL_MACHINE, CZARVIKSetup::RegistryKey);
        Key().SetDWordValue(name, 0);
        setup->RegLoad(0, "");
        const std::string stored(name);
        ExpectNumbers(stored == "CommTimeOut" ? 0 : 1000, stored == "RangeThreshold" ? 0 : 50,
                      stored == "PacerRefractoryTimeout" ? 0 : 120);
        EXPECT_EQ(Stored(name).AsLong(), 0);
    }
}

// Counts the saves of the registry file: each one renames a finished temporary file onto it.
class RegistrySaves {
public:
    explicit RegistrySaves(const std::string& file)
        : mName(std::filesystem::path(file).filename().string()), mFd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        if (mFd < 0 || inotify_add_watch(mFd, std::filesystem::path(file).parent_path().c_str(), IN_MOVED_TO) < 0) {
            ADD_FAILURE() << "cannot watch " << file;
        }
    }
    ~RegistrySaves() { close(mFd); }
    RegistrySaves(const RegistrySaves&) = delete;
    RegistrySaves& operator=(const RegistrySaves&) = delete;

    // The saves since the last call.
    int Count()
    {
        int saves = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = read(mFd, buffer, sizeof buffer)) > 0;) {
            for (char* p = buffer; p < buffer + n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(p);
                if (event->len > 0 && mName == event->name) ++saves;
                p += sizeof(inotify_event) + event->len;
            }
        }
        return saves;
    }

private:
    std::string mName;
    int mFd;
};

TEST_F(Setup, InitializeSavesTheRegistryOnceAndNotAtAllWhenNothingChanged)
{
    Key();
    RegistrySaves saves(registry.RegistryPath());
    setup->Initialize();
    EXPECT_EQ(saves.Count(), 1) << "the three defaults are one save";
    ExpectNumbers(1000, 50, 120);

    std::make_shared<CZARVIKSetup>()->Initialize();
    EXPECT_EQ(saves.Count(), 0) << "the registry holds every number already";

    // A number stored as text is written back as a number: one save.
    Key().SetStringValue("RangeThreshold", "50");
    saves.Count();
    std::make_shared<CZARVIKSetup>()->Initialize();
    EXPECT_EQ(saves.Count(), 1);
    EXPECT_EQ(Stored("RangeThreshold").Type(), plat::VarType::Long);

    // A changed setting saved by the preferences page is one save too.
    setup->SetCommTimeOut(1200);
    setup->RegSave(0, "");
    EXPECT_EQ(saves.Count(), 1);
    EXPECT_EQ(Stored("CommTimeOut").AsLong(), 1200);
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
