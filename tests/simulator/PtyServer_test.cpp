// The simulated analyzer on a pseudo-terminal against the termios port, in real time. Each wait
// is bounded.
#include "simulator/PtyServer.h"

#include "platform/loop/EventLoop.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialPort.h"
#include "simulator/Analyzer.h"
#include "support/PtyPair.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

class AnalyzerOnPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        plat::SetLoop(std::make_shared<plat::EventLoop>(plat::MakeSystemClock()));
        analyzer = std::make_shared<zsim::Analyzer>();
        analyzer->SetReplyDelay(1ms);
        server = std::make_unique<zsim::PtyServer>(analyzer);
        plat::PortMap::SetOverride(31, server->SlavePath());
        port = std::make_unique<plat::SerialPort>();
        port->SetCommPort(31);
    }

    void TearDown() override
    {
        port.reset();
        server.reset();
        analyzer.reset();
        plat::PortMap::ClearOverrides();
        plat::SetLoop(nullptr);
    }

    std::string Exchange(const std::string& command, std::chrono::milliseconds timeout = 2000ms)
    {
        port->SetInBufferCount(0);
        port->SetOutput(command);
        std::string reply;
        ztesting::PtyPair::PumpUntil(
            [&] {
                if (port->InBufferCount() > 0) reply += port->Input();
                return reply.ends_with("\n");
            },
            timeout);
        return reply;
    }

    std::shared_ptr<zsim::Analyzer> analyzer;
    std::unique_ptr<zsim::PtyServer> server;
    std::unique_ptr<plat::SerialPort> port;
};

TEST_F(AnalyzerOnPty, ExchangesCommandsAndPieces)
{
    port->SetPortOpen(true);
    EXPECT_EQ(Exchange("LOC\n\r"), "OK\r\n");
    EXPECT_EQ(Exchange("ENERGYMODE\r"), "OK\r\n");
    analyzer->Discharge(zsim::Pulse::Into50Ohm(150));
    analyzer->Faults().Add(zsim::Fault::Pieces(3, 20ms));
    EXPECT_EQ(Exchange("ENERGYDATA\r"), "150.0,1732,34.6,0.0050\r\n");

    // The device stays for the next program that opens it.
    port->SetPortOpen(false);
    port->SetPortOpen(true);
    EXPECT_EQ(Exchange("QDATA\r"), "OLDDATA\r\n");
}

TEST_F(AnalyzerOnPty, SpeedChangeWhileOpen)
{
    analyzer->SetBaud(2400);
    port->SetSettings("9600,N,8,1");
    port->SetPortOpen(true);
    EXPECT_EQ(Exchange("LOC\n", 150ms), "");
    EXPECT_TRUE(analyzer->HeardLog().empty());

    port->SetSettings("2400,N,8,1");
    EXPECT_EQ(Exchange("BAUD=9600\n"), "OK\r\n");
    port->SetSettings("9600,N,8,1");
    EXPECT_EQ(Exchange("LOC\n"), "OK\r\n");
}

} // namespace
