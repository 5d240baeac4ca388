#include "platform/serial/SerialPort.h"

#include "platform/base/ComError.h"
#include "platform/loop/EventLoop.h"
#include "platform/serial/InProcessDevices.h"
#include "platform/serial/LinePeer.h"
#include "platform/serial/PortMap.h"
#include "support/VirtualLoop.h"
#include "support/Errors.h"

#include <gtest/gtest.h>

#include <list>

namespace {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// A device whose far end the test scripts: it records what the port wrote and answers through
// timers on the loop.
class ScriptedDevice : public plat::LinePeer {
public:
    struct Piece {
        std::string bytes;
        plat::LineSettings settings;
    };
    std::vector<Piece> received;
    int attached = 0;
    int detached = 0;

    void SendLater(Millis delay, std::string bytes)
    {
        mTimers.push_back(plat::Loop().StartOneShot(delay, [this, bytes] { SendToPort(bytes); }));
    }

    std::string AllReceived() const
    {
        std::string all;
        for (const auto& piece : received) all += piece.bytes;
        return all;
    }

protected:
    void OnAttached() override { ++attached; }
    void OnReceived(std::string_view bytes, const plat::LineSettings& settings) override
    {
        received.push_back({std::string(bytes), settings});
    }
    void OnDetached() override { ++detached; }

private:
    std::list<plat::Timer> mTimers;
};

using ztesting::ErrorNumberOf;

class InProcessPort : public ztesting::VirtualLoopTest {
protected:
    void SetUp() override
    {
        device = std::make_shared<ScriptedDevice>();
        plat::InProcessDevices::Register("scripted", [this] { return device; });
        plat::PortMap::SetOverride(7, "scripted");
        port = std::make_unique<plat::SerialPort>();
        port->SetCommPort(7);
    }

    void TearDown() override
    {
        port.reset();
        plat::PortMap::ClearOverrides();
        plat::InProcessDevices::Unregister("scripted");
        device.reset();
    }

    void WaitForData() { RunUntilFor([this] { return port->InBufferCount() > 0; }, 10s); }

    plat::EventLoop* loop = &TestLoop();
    std::shared_ptr<ScriptedDevice> device;
    std::unique_ptr<plat::SerialPort> port;
};

TEST_F(InProcessPort, WrittenBytesReachTheDeviceOnALaterTurnNotInsideTheWrite)
{
    port->SetPortOpen(true);
    EXPECT_TRUE(port->PortOpen());
    EXPECT_EQ(port->StatusText(), "Connected");
    EXPECT_EQ(device->attached, 1);

    port->SetOutput("LOC\n\r");
    EXPECT_TRUE(device->received.empty());
    loop->RunPending();
    ASSERT_EQ(device->received.size(), 1u);
    EXPECT_EQ(device->received[0].bytes, "LOC\n\r");
    EXPECT_EQ(device->received[0].settings.ToString(), "9600,N,8,1");
}

TEST_F(InProcessPort, ReplyInPiecesArrivesAtTheDevicesTimesAndInputTakesIt)
{
    int notified = 0;
    port->SetOnReceive([&] { ++notified; });
    port->SetPortOpen(true);
    device->SendLater(20ms, "OK");
    device->SendLater(50ms, "\r\n");

    WaitForData();
    EXPECT_EQ(Elapsed(), 20ms);
    EXPECT_EQ(port->InBufferCount(), 2u);
    EXPECT_EQ(port->Input(), "OK");
    EXPECT_EQ(port->InBufferCount(), 0u);

    WaitForData();
    EXPECT_EQ(Elapsed(), 50ms);
    EXPECT_EQ(port->Input(), "\r\n");
    EXPECT_EQ(notified, 2);
}

TEST_F(InProcessPort, DiscardDropsWhatArrivedWhatIsInFlightAndUnsentOutput)
{
    port->SetPortOpen(true);
    device->SendToPort("first");
    loop->RunPending();
    device->SendToPort("in flight");
    port->SetInBufferCount(0);
    loop->RunPending();
    EXPECT_EQ(port->InBufferCount(), 0u);

    port->SetOutput("never sent");
    port->DiscardOutput();
    port->SetOutput("sent");
    loop->RunPending();
    EXPECT_EQ(device->AllReceived(), "sent");

    EXPECT_EQ(ErrorNumberOf([&] { port->SetInBufferCount(3); }), 380);
}

TEST_F(InProcessPort, SettingsChangeWhileOpenAndEachWriteCarriesItsOwn)
{
    port->SetSettings("2400,N,8,1");
    port->SetPortOpen(true);
    port->SetOutput("BAUD=9600\n");
    port->SetSettings("9600,N,8,1");
    port->SetOutput("LOC\n");
    loop->RunPending();
    ASSERT_EQ(device->received.size(), 2u);
    EXPECT_EQ(device->received[0].settings.baud, 2400);
    EXPECT_EQ(device->received[1].settings.baud, 9600);
    EXPECT_EQ(device->PortSettings()->baud, 9600);

    EXPECT_EQ(ErrorNumberOf([&] { port->SetSettings("9600,N,8"); }), 380);
    EXPECT_EQ(port->Settings(), "9600,N,8,1");
}

TEST_F(InProcessPort, DeviceIsForOnePortAtATime)
{
    port->SetPortOpen(true);
    plat::PortMap::SetOverride(8, "scripted");
    plat::SerialPort second;
    second.SetCommPort(8);
    EXPECT_EQ(ErrorNumberOf([&] { second.SetPortOpen(true); }), 68);
    EXPECT_EQ(second.StatusText(), "Port unavailable");
    EXPECT_FALSE(second.PortOpen());

    port->SetPortOpen(false);
    EXPECT_EQ(device->detached, 1);
    second.SetPortOpen(true);
    EXPECT_EQ(second.StatusText(), "Connected");
}

TEST_F(InProcessPort, OpeningFlushesWhatAnEarlierConnectionLeft)
{
    port->SetPortOpen(true);
    device->SendToPort("stale");
    loop->RunPending();
    EXPECT_EQ(port->InBufferCount(), 5u);
    port->SetPortOpen(false);
    EXPECT_EQ(port->StatusText(), "Port closed");
    port->SetPortOpen(true);
    EXPECT_EQ(port->InBufferCount(), 0u);
}

TEST_F(InProcessPort, RulesOfThePortNumberAndOfAClosedPort)
{
    EXPECT_EQ(ErrorNumberOf([&] { port->SetCommPort(0); }), 8002);
    EXPECT_EQ(ErrorNumberOf([&] { port->SetCommPort(-3); }), 8002);
    EXPECT_EQ(port->CommPort(), 7);

    EXPECT_EQ(ErrorNumberOf([&] { port->SetOutput("x"); }), 8018);
    EXPECT_EQ(ErrorNumberOf([&] { port->InBufferCount(); }), 8018);
    EXPECT_EQ(ErrorNumberOf([&] { port->Input(); }), 8018);
    EXPECT_EQ(ErrorNumberOf([&] { port->SetPortOpen(false); }), 0);

    port->SetPortOpen(true);
    EXPECT_EQ(ErrorNumberOf([&] { port->SetCommPort(8); }), 8005);
    EXPECT_EQ(ErrorNumberOf([&] { port->SetCommPort(7); }), 0);
    // Opening an open port changes nothing.
    EXPECT_EQ(ErrorNumberOf([&] { port->SetPortOpen(true); }), 0);
    EXPECT_EQ(device->attached, 1);
}

TEST_F(InProcessPort, ReceiveHandlerMayCloseThePort)
{
    port->SetOnReceive([&] { port->SetPortOpen(false); });
    port->SetPortOpen(true);
    device->SendToPort("OK\r\n");
    device->SendLater(5ms, "more");
    RunUntilFor([&] { return !port->PortOpen(); }, 1s);
    EXPECT_EQ(device->detached, 1);
    // What the device sends after the close goes nowhere, and nothing dangles.
    FastForwardBy(5ms);
    EXPECT_FALSE(port->PortOpen());
}

TEST_F(InProcessPort, ReceivedDataIsBounded)
{
    port->SetPortOpen(true);
    const std::string block(plat::SerialPort::MaxReceived / 2 + 1, 'x');
    device->SendToPort(block);
    loop->RunPending();
    device->SendToPort(block);
    loop->RunPending();
    EXPECT_EQ(port->InBufferCount(), plat::SerialPort::MaxReceived);
}

} // namespace
