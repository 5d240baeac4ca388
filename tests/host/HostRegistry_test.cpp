#include "host/documents/HostRegistry.h"
#include "platform/base/ComError.h"
#include "platform/base/RegistryStore.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <unistd.h>

using host::HKEY_CURRENT_USER;
using host::HKEY_LOCAL_MACHINE;
using host::HostRegistry;
using plat::ComError;
using plat::Variant;

namespace {

const std::string kSettings = "Software\\Vantrel\\telvo\\ZARVIK";
const std::string kMtiData = "Software\\Vantrel\\Telvo\\ZARVIK\\MtiData\\";

class HostRegistryTest : public ::testing::Test {
protected:
    static int32_t ErrorOf(const std::function<void()>& step)
    {
        try {
            step();
        } catch (const ComError& e) {
            EXPECT_EQ(e.Source(), "HostRegistry");
            return e.Number();
        }
        return 0;
    }

    ztesting::TempRegistry mRegistry;
    const std::string mDir = mRegistry.Folder();
};

} // namespace

TEST_F(HostRegistryTest, SettingsWrittenAsNumbersAndTextReadBackWithTheirKind)
{
    HostRegistry writer;
    writer.CreateKey(HKEY_LOCAL_MACHINE, kSettings);
    writer.SetDWordValue("CommTimeOut", 1000);
    writer.SetDWordValue("RangeThreshold", -1);
    writer.SetStringValue("Configuration", "/opt/zarvik/Zarvik.mpc");

    // Another object, spelling the path as the identity list does, on a store read afresh.
    HostRegistry reader(plat::RegistryStore(plat::Registry().Path()));
    reader.OpenKey(HKEY_LOCAL_MACHINE, "software\\VANTREL\\Telvo\\zarvik\\");
    EXPECT_TRUE(reader.KeyExists());
    EXPECT_EQ(reader.GetValue("commtimeout"), Variant(1000));
    EXPECT_EQ(reader.GetValue("RangeThreshold"), Variant(-1));
    EXPECT_EQ(reader.GetValue("Configuration"), Variant("/opt/zarvik/Zarvik.mpc"));
    EXPECT_EQ(reader.GetDWordValue("CommTimeOut"), 1000);
    EXPECT_EQ(reader.GetStringValue("Configuration"), "/opt/zarvik/Zarvik.mpc");
    EXPECT_EQ(reader.ValueNames(), (std::vector<std::string>{"CommTimeOut", "RangeThreshold", "Configuration"}));
    EXPECT_EQ(reader.KeyPath(), "HKEY_LOCAL_MACHINE\\software\\VANTREL\\Telvo\\zarvik\\");

    // The hives are separate trees.
    EXPECT_FALSE(reader.KeyExists(HKEY_CURRENT_USER, kSettings));
    EXPECT_EQ(ErrorOf([&] { reader.OpenKey(HKEY_CURRENT_USER, kSettings); }), HostRegistry::ErrNotFound);
}

TEST_F(HostRegistryTest, MissingKeysAndValuesAndWrongKindsAreErrorsTheCallerCanCatch)
{
    HostRegistry registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, kSettings);
    registry.SetDWordValue("CommTimeOut", 1000);
    registry.SetStringValue("Configuration", "x");

    const struct {
        const char* what;
        std::function<void()> step;
        int32_t error;
    } cases[] = {
        {"missing value", [&] { registry.GetValue("PacerRefractoryTimeout"); }, HostRegistry::ErrNotFound},
        {"missing DWORD", [&] { registry.GetDWordValue("PacerRefractoryTimeout"); }, HostRegistry::ErrNotFound},
        {"string read as DWORD", [&] { registry.GetDWordValue("Configuration"); }, HostRegistry::ErrNotFound},
        {"DWORD read as string", [&] { registry.GetStringValue("CommTimeOut"); }, HostRegistry::ErrNotFound},
        {"delete missing value", [&] { registry.DeleteValue("Nothing"); }, HostRegistry::ErrNotFound},
        {"delete missing key", [&] { registry.DeleteKey(HKEY_LOCAL_MACHINE, kSettings + "\\Nothing"); }, HostRegistry::ErrNotFound},
        {"delete a hive", [&] { registry.DeleteKey(HKEY_LOCAL_MACHINE, "\\"); }, HostRegistry::ErrNoKey},
        {"unknown hive", [&] { registry.KeyExists(42, kSettings); }, HostRegistry::ErrNoKey},
        {"key name too long", [&] { registry.KeyExists(HKEY_LOCAL_MACHINE, std::string(300, 'k')); }, HostRegistry::ErrNoKey},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ErrorOf(c.step), c.error);
    }
    EXPECT_EQ(registry.GetValue("PacerRefractoryTimeout", Variant(120)), Variant(120));
    EXPECT_EQ(registry.GetValue("CommTimeOut", Variant(120)), Variant(1000));
    EXPECT_FALSE(registry.ValueExists("PacerRefractoryTimeout"));

    // Opening a missing key leaves no key open: the object says so and refuses value calls.
    EXPECT_EQ(ErrorOf([&] { registry.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Missing"); }), HostRegistry::ErrNotFound);
    EXPECT_FALSE(registry.KeyExists());
    EXPECT_EQ(ErrorOf([&] { registry.GetValue("CommTimeOut"); }), HostRegistry::ErrNoKey);
    EXPECT_EQ(ErrorOf([&] { registry.SetDWordValue("CommTimeOut", 1); }), HostRegistry::ErrNoKey);
    EXPECT_FALSE(plat::Registry().KeyExists("HKEY_LOCAL_MACHINE\\Software\\Missing"));
}

TEST_F(HostRegistryTest, TheIdentityListEnumeratesItsSubkeysFromOne)
{
    HostRegistry registry;
    registry.CreateKey(HKEY_LOCAL_MACHINE, kMtiData);
    registry.SetDWordValue("MRU", 0);
    EXPECT_EQ(registry.SubKeyCount(), 0);
    EXPECT_EQ(ErrorOf([&] { registry.EnumKey(1); }), HostRegistry::ErrNotFound);
    for (const char* type : {"ZARVIK", "Zarvik II"}) {
        HostRegistry record;
        record.CreateKey(HKEY_LOCAL_MACHINE, kMtiData + type);
        record.SetStringValue("Firmware", " 1.02 ");
        record.SetStringValue("Serial", "SN-7");
    }
    EXPECT_EQ(registry.SubKeyCount(), 2);
    EXPECT_EQ(registry.EnumKey(1), "ZARVIK");
    EXPECT_EQ(registry.EnumKey(2), "Zarvik II");
    EXPECT_EQ(ErrorOf([&] { registry.EnumKey(0); }), HostRegistry::ErrNotFound);
    EXPECT_EQ(ErrorOf([&] { registry.EnumKey(3); }), HostRegistry::ErrNotFound);
    EXPECT_EQ(registry.GetDWordValue("MRU"), 0);

    HostRegistry record;
    record.OpenKey(HKEY_LOCAL_MACHINE, "Software\\Vantrel\\Telvo\\ZARVIK\\MtiData\\zarvik");
    EXPECT_EQ(record.GetStringValue("Firmware"), " 1.02 ");

    // A key deleted by another object is gone for every object that had it open.
    registry.DeleteKey(HKEY_LOCAL_MACHINE, kMtiData + "ZARVIK");
    EXPECT_FALSE(record.KeyExists());
    EXPECT_EQ(ErrorOf([&] { record.SetStringValue("Serial", "x"); }), HostRegistry::ErrNotFound);
    EXPECT_EQ(registry.SubKeys(), std::vector<std::string>{"Zarvik II"});
}

TEST_F(HostRegistryTest, ARegistryFileThatCannotBeUsedIsAStoreErrorAndStaysAsItIs)
{
    const std::string corrupt = mDir + "/corrupt";
    std::ofstream(corrupt) << "not a registry\n";
    plat::SetRegistryPath(corrupt);
    HostRegistry registry;
    EXPECT_EQ(ErrorOf([&] { registry.OpenKey(HKEY_LOCAL_MACHINE, kSettings); }), HostRegistry::ErrStore);
    EXPECT_EQ(ErrorOf([&] { registry.CreateKey(HKEY_LOCAL_MACHINE, kSettings); }), HostRegistry::ErrStore);
    std::stringstream text;
    text << std::ifstream(corrupt).rdbuf();
    EXPECT_EQ(text.str(), "not a registry\n");

    // A save into a folder that has become a file fails the same way and keeps the value out.
    const std::string folder = mDir + "/folder";
    std::filesystem::create_directory(folder);
    plat::SetRegistryPath(folder + "/registry");
    registry.CreateKey(HKEY_LOCAL_MACHINE, kSettings);
    std::filesystem::remove_all(folder);
    std::ofstream(folder) << "a file\n";
    EXPECT_EQ(ErrorOf([&] { registry.SetDWordValue("CommTimeOut", 5); }), HostRegistry::ErrStore);
    EXPECT_FALSE(registry.ValueExists("CommTimeOut"));
}
