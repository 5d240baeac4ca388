#include "platform/serial/PortMap.h"

#include "platform/base/ComError.h"
#include "platform/base/RegistryStore.h"
#include "platform/loop/EventLoop.h"
#include "platform/serial/InProcessDevices.h"
#include "platform/serial/LinePeer.h"
#include "platform/serial/SerialPort.h"
#include "support/Errors.h"
#include "support/TempFolder.h"
#include "support/VirtualLoop.h"
#include "support/WithoutPrivileges.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Kind = plat::PortMap::Target::Kind;

class NullDevice : public plat::LinePeer {
protected:
    void OnReceived(std::string_view, const plat::LineSettings&) override {}
};

class PortMapping : public ztesting::VirtualLoopTest {
protected:
    void TearDown() override
    {
        plat::PortMap::ClearOverrides();
        plat::InProcessDevices::Unregister("sim");
    }

    static void Map(int port, const std::string& text)
    {
        plat::Registry().SetString(plat::PortMap::RegistryKey, std::to_string(port), text);
    }

    struct OpenResult {
        int32_t error = 0;
        std::string status;
    };

    static OpenResult Open(int port)
    {
        plat::SerialPort serial;
        serial.SetCommPort(port);
        OpenResult result;
        result.error = ztesting::ErrorNumberOf([&] { serial.SetPortOpen(true); });
        result.status = serial.StatusText();
        return result;
    }

    ztesting::TempRegistry registry;
    fs::path dir = registry.Folder();
};

TEST_F(PortMapping, OverrideThenRegistryThenTheDefaultDevice)
{
    auto target = plat::PortMap::Resolve(3);
    EXPECT_EQ(target.kind, Kind::Path);
    EXPECT_EQ(target.name, "/dev/ttyS2");
    EXPECT_EQ(plat::PortMap::Resolve(1).name, "/dev/ttyS0");

    Map(3, "/dev/ttyUSB0");
    EXPECT_EQ(plat::PortMap::Resolve(3).name, "/dev/ttyUSB0");
    Map(4, "ttyACM1");
    EXPECT_EQ(plat::PortMap::Resolve(4).name, "/dev/ttyACM1");

    plat::PortMap::SetOverride(3, "/dev/pts/9");
    EXPECT_EQ(plat::PortMap::Resolve(3).name, "/dev/pts/9");
    plat::PortMap::ClearOverride(3);
    EXPECT_EQ(plat::PortMap::Resolve(3).name, "/dev/ttyUSB0");

    // A number is no device path: the default applies.
    plat::Registry().SetDWord(plat::PortMap::RegistryKey, "5", 7);
    EXPECT_EQ(plat::PortMap::Resolve(5).name, "/dev/ttyS4");
    Map(6, "");
    EXPECT_EQ(plat::PortMap::Resolve(6).kind, Kind::None);
    EXPECT_EQ(plat::PortMap::Resolve(0).kind, Kind::None);
}

TEST_F(PortMapping, SimNamesTheInstalledInProcessDevice)
{
    Map(2, "sim");
    // Without a simulator installed, "sim" is only a name under /dev that does not exist.
    EXPECT_EQ(plat::PortMap::Resolve(2).kind, Kind::Path);
    EXPECT_EQ(Open(2).status, "Port not found");

    auto device = std::make_shared<NullDevice>();
    plat::InProcessDevices::Register("sim", [device] { return device; });
    auto target = plat::PortMap::Resolve(2);
    EXPECT_EQ(target.kind, Kind::InProcess);
    EXPECT_EQ(target.name, "sim");
    Map(2, "SIM");
    EXPECT_EQ(plat::PortMap::Resolve(2).kind, Kind::InProcess);
    EXPECT_EQ(Open(2).status, "Connected");
}

TEST_F(PortMapping, OpenFailuresRaiseTheirNumbersAndLeaveAStatusText)
{
    plat::PortMap::SetOverride(11, (dir / "no-such-device").string());
    auto missing = Open(11);
    EXPECT_EQ(missing.error, 68);
    EXPECT_EQ(missing.status, "Port not found");

    plat::PortMap::SetOverride(12, "");
    auto unmapped = Open(12);
    EXPECT_EQ(unmapped.error, 68);
    EXPECT_EQ(unmapped.status, "Port not found");

    const fs::path plain = dir / "plain-file";
    std::ofstream(plain) << "not a terminal";
    plat::PortMap::SetOverride(13, plain.string());
    auto notSerial = Open(13);
    EXPECT_EQ(notSerial.error, 8015);
    EXPECT_EQ(notSerial.status, "Not a serial port");
}

TEST_F(PortMapping, UnreadablePortMapFailsTheOpenInsteadOfGuessingADevice)
{
    const fs::path corrupt = dir / "corrupt-registry";
    std::ofstream(corrupt) << "\x01 this is no registry file {{{";
    plat::SetRegistryPath(corrupt.string());
    auto result = Open(3);
    EXPECT_NE(result.error, 0);
    EXPECT_EQ(result.status, "Port map unreadable");
    plat::PortMap::SetOverride(3, "");
    EXPECT_EQ(Open(3).status, "Port not found");
}

TEST_F(PortMapping, DeviceWithoutPermissionGivesPermissionDenied)
{
    // As root too: the refusal is the one an unprivileged user meets.
    ztesting::WithoutPrivileges unprivileged;
    ASSERT_TRUE(unprivileged.Dropped());
    const fs::path locked = dir / "locked";
    std::ofstream(locked) << "";
    ::chmod(locked.c_str(), 0);
    plat::PortMap::SetOverride(14, locked.string());
    auto denied = Open(14);
    EXPECT_EQ(denied.error, 70);
    EXPECT_EQ(denied.status, "Access denied");
}

} // namespace
