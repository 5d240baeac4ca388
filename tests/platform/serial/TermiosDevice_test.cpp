// Real-time tests of the termios backend on a pseudo-terminal. Each wait is bounded.
#include "platform/serial/TermiosDevice.h"

#include "platform/base/ComError.h"
#include "platform/loop/EventLoop.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialErrors.h"
#include "platform/serial/SerialPort.h"
#include "support/PtyPair.h"
#include "support/WithoutPrivileges.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

class TermiosPort : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetLoop(std::make_shared<plat::EventLoop>(plat::MakeSystemClock()));
        plat::PortMap::SetOverride(21, pty.SlavePath());
        port = std::make_unique<plat::SerialPort>();
        port->SetCommPort(21);
    }

    void TearDown() override
    {
        port.reset();
        plat::PortMap::ClearOverrides();
        plat::SetLoop(nullptr);
    }

    bool WaitForCount(size_t count)
    {
        return ztesting::PtyPair::PumpUntil([&] { return port->InBufferCount() >= count; });
    }

    ztesting::PtyPair pty;
    std::unique_ptr<plat::SerialPort> port;
};

TEST_F(TermiosPort, OpensFlushedAndExchangesLines)
{
    pty.Send("stale bytes");
    port->SetPortOpen(true);
    EXPECT_EQ(port->StatusText(), "Connected");

    port->SetOutput("LOC\n\r");
    EXPECT_EQ(pty.ReceiveLine("\r"), "LOC\n\r");

    pty.Send("OK\r\n");
    ASSERT_TRUE(WaitForCount(4));
    EXPECT_EQ(port->Input(), "OK\r\n");
}

TEST_F(TermiosPort, RawLineWithTheSettingsAndASpeedChangeWhileOpen)
{
    port->SetSettings("2400,N,8,1");
    port->SetPortOpen(true);
    ASSERT_TRUE(pty.SlaveSettings().has_value());
    EXPECT_EQ(pty.SlaveSettings()->ToString(), "2400,N,8,1");

    // A pseudo-terminal keeps the speed and the stop bits (it forces 8 bits without parity).
    port->SetSettings("9600,N,8,2");
    EXPECT_EQ(pty.SlaveSettings()->ToString(), "9600,N,8,2");

    // Raw mode: control characters pass unchanged in both directions.
    port->SetOutput(std::string("\x03\x11\r\n", 4));
    EXPECT_EQ(pty.ReceiveUntil([](const std::string& s) { return s.size() >= 4; }), std::string("\x03\x11\r\n", 4));
    pty.Send(std::string("\x04\x13\r", 3));
    ASSERT_TRUE(WaitForCount(3));
    EXPECT_EQ(port->Input(), std::string("\x04\x13\r", 3));
}

TEST_F(TermiosPort, SecondOpenOfTheDeviceIsUnavailable)
{
    // As root too: the refusal is the one an unprivileged user meets.
    ztesting::WithoutPrivileges unprivileged;
    ASSERT_TRUE(unprivileged.Dropped());
    port->SetPortOpen(true);
    plat::PortMap::SetOverride(22, pty.SlavePath());
    plat::SerialPort second;
    second.SetCommPort(22);
    EXPECT_THROW(second.SetPortOpen(true), plat::ComError);
    EXPECT_EQ(second.StatusText(), "Port unavailable");
    // Closing gives up exclusive use for the next program, even though the device stays open.
    port->SetPortOpen(false);
    second.SetPortOpen(true);
    EXPECT_EQ(second.StatusText(), "Connected");
}

// One program on a line: the open device is held by its advisory lock, which keeps out root as
// well. Whoever else opens it meanwhile, through a port or by a descriptor of its own that takes
// the lock, is refused before the line is changed or written, with the port and the device
// named, and every refusal watch hears it; the check does the same without opening the port.
// Closing gives the device back.
TEST_F(TermiosPort, ADeviceHeldByAnotherOpenIsRefusedBeforeAnythingIsWritten)
{
    plat::PortMap::SetOverride(22, pty.SlavePath());
    const std::string line = "port 22 (" + pty.SlavePath() + ") is in use by another program";
    struct Holder {
        const char* name;
        std::function<void()> take;
        std::function<void()> give;
    };
    int held = -1;
    const Holder holders[] = {
        {"a port", [&] { port->SetPortOpen(true); }, [&] { port->SetPortOpen(false); }},
        {"a locked descriptor",
         [&] {
             held = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
             ASSERT_GE(held, 0);
             ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
         },
         [&] { ::close(held); }},
    };
    for (const Holder& holder : holders) {
        SCOPED_TRACE(holder.name);
        // The line starts at the holder's speed.
        port->SetSettings("2400,N,8,1");
        port->SetPortOpen(true);
        port->SetPortOpen(false);
        holder.take();
        const std::string settings = pty.SlaveSettings()->ToString();
        // Exclusive use is the terminal's mode: a refused open leaves it as the holder set it.
        const auto exclusive = [&] {
            const int fd = ::open(pty.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
            int set = -1;
            if (fd >= 0) {
                ::ioctl(fd, TIOCGEXCL, &set);
                ::close(fd);
            }
            return set;
        };
        const int exclusiveBefore = exclusive();

        plat::PortRefusalWatch watch;
        plat::SerialPort second;
        second.SetCommPort(22);
        second.SetSettings("4800,N,8,2");
        try {
            second.SetPortOpen(true);
            ADD_FAILURE() << "the second open was not refused";
        } catch (const plat::PortInUseError& error) {
            EXPECT_EQ(error.Description(), line);
            EXPECT_EQ(error.Number(), plat::serr::DeviceUnavailable);
            EXPECT_EQ(error.Port(), 22);
            EXPECT_EQ(error.Device(), pty.SlavePath());
        }
        EXPECT_FALSE(second.PortOpen());
        EXPECT_EQ(second.StatusText(), "Port unavailable");
        try {
            plat::SerialPort::CheckFree(22);
            ADD_FAILURE() << "the check passed a held device";
        } catch (const plat::PortInUseError& error) {
            EXPECT_EQ(error.Description(), line);
        }
        ASSERT_EQ(watch.Refusals().size(), 1u);
        EXPECT_EQ(watch.Refusals()[0].Description(), line);
        // Nothing reached the line, and its settings are the holder's.
        EXPECT_EQ(pty.ReceiveFor(std::chrono::milliseconds(50)), "");
        EXPECT_EQ(pty.SlaveSettings()->ToString(), settings);
        EXPECT_EQ(exclusive(), exclusiveBefore);

        holder.give();
        EXPECT_NO_THROW(plat::SerialPort::CheckFree(22));
        // The check took nothing with it: the device opens, and is then held in turn.
        second.SetPortOpen(true);
        EXPECT_EQ(second.StatusText(), "Connected");
        EXPECT_THROW(port->SetPortOpen(true), plat::PortInUseError);
        second.SetPortOpen(false);
        EXPECT_EQ(watch.Refusals().size(), 2u);
    }
}

TEST(TermiosLostDevice, VanishingDeviceIsReportedAndNotPolledForever)
{
    plat::SetLoop(std::make_shared<plat::EventLoop>(plat::MakeSystemClock()));
    int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    plat::PortMap::SetOverride(23, ::ptsname(master));
    {
        plat::SerialPort port;
        port.SetCommPort(23);
        port.SetPortOpen(true);
        ::close(master);
        EXPECT_TRUE(ztesting::PtyPair::PumpUntil([&] { return port.StatusText() != "Connected"; }));
        EXPECT_EQ(port.StatusText(), "Port lost");
        EXPECT_TRUE(port.PortOpen());
        // The loop is quiet now: a short wait passes without the descriptor firing again.
        int turns = 0;
        auto timer = plat::Loop().StartOneShot(std::chrono::milliseconds(50), [] {});
        plat::Loop().RunUntil([&] { return ++turns > 1000 || !timer.IsActive(); });
        EXPECT_LT(turns, 1000);
        EXPECT_THROW(port.SetOutput("LOC\r"), plat::ComError);
    }
    plat::PortMap::ClearOverrides();
    plat::SetLoop(nullptr);
}

} // namespace
