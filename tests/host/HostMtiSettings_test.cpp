#include "host/units/HostMtiConfiguration.h"
#include "host/units/HostMtiSettings.h"

#include "platform/base/ComError.h"
#include "platform/base/RegistryStore.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class HostMtiSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { host::HostMtiSettings::ClearPortOverrides(); }
    void TearDown() override { host::HostMtiSettings::ClearPortOverrides(); }

    int32_t PortOf(const std::string& module, const std::string& name = "")
    {
        int32_t port = 99;
        host::HostMtiConfiguration().Settings()->GetCommPort(module, name, port);
        return port;
    }

    ztesting::TempRegistry mRegistry;
    const std::string mDir = mRegistry.Folder();
};

TEST_F(HostMtiSettingsTest, ReadsTheModulesPortFromTheRegistry)
{
    const std::string key = std::string(host::HostMtiSettings::RegistryKey) + "\\";
    auto& store = plat::Registry();
    store.SetDWord(key + "ZARVIK", "CommPort", 3);
    store.SetString(key + "Texted", "CommPort", "7");
    store.SetString(key + "Garbled", "CommPort", "7x");
    store.SetDWord(key + "Negative", "CommPort", 0xFFFFFFFFu);
    store.SetDWord(key + "ZARVIK\\Second", "CommPort", 4);

    EXPECT_EQ(PortOf("ZARVIK"), 3);
    EXPECT_EQ(PortOf("zarvik"), 3);
    EXPECT_EQ(PortOf("ZARVIK", "Second"), 4);
    EXPECT_EQ(PortOf("Texted"), 7);
    EXPECT_EQ(PortOf("Garbled"), 0);
    EXPECT_EQ(PortOf("Negative"), -1);
    EXPECT_EQ(PortOf("Missing"), 0);
    // Module keys and names become key paths: only plain words are looked up.
    EXPECT_EQ(PortOf("ZARVIK\\Second"), 0);
    EXPECT_EQ(PortOf(""), 0);
    EXPECT_EQ(PortOf("ZARVIK", "..\\x"), 0);
}

TEST_F(HostMtiSettingsTest, ThisRunsPortComesFirst)
{
    plat::Registry().SetDWord(std::string(host::HostMtiSettings::RegistryKey) + "\\ZARVIK", "CommPort", 3);
    host::HostMtiSettings::SetPortOverride("Zarvik", 9);
    EXPECT_EQ(PortOf("ZARVIK"), 9);
    host::HostMtiSettings::ClearPortOverrides();
    EXPECT_EQ(PortOf("ZARVIK"), 3);
}

TEST_F(HostMtiSettingsTest, UnreadableRegistryRaises)
{
    const std::string corrupt = mDir + "/corrupt";
    std::ofstream(corrupt) << "not a registry";
    plat::SetRegistryPath(corrupt);
    EXPECT_THROW(PortOf("ZARVIK"), plat::ComError);
}

} // namespace
