// The zarvik-sim program: serves the analyzer on a pseudo-terminal whose path it prints, takes
// the device under test's actions on its standard input and ends when that input ends.
#include "platform/loop/EventLoop.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialPort.h"
#include "support/PtyPair.h"
#include "support/SimProgram.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/wait.h>

namespace {

using namespace std::chrono_literals;

class SimProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(ztesting::SimProgram::Path())) GTEST_SKIP() << "no " << ztesting::SimProgram::Path();
        ASSERT_TRUE(sim.Start({"--delay", "1"}));
        plat::SetLoop(std::make_shared<plat::EventLoop>(plat::MakeSystemClock()));
    }

    void TearDown() override
    {
        plat::PortMap::ClearOverrides();
        plat::SetLoop(nullptr);
    }

    std::string ReadLine(std::chrono::milliseconds timeout) { return sim.ReadLine(timeout); }

    bool Exited(std::chrono::milliseconds timeout)
    {
        if (!sim.Exited(timeout)) return false;
        exitStatus = sim.WaitStatus();
        return true;
    }

    void Tell(const std::string& line) { ASSERT_TRUE(sim.Tell(line)); }

    ztesting::SimProgram sim;
    int exitStatus = -1;
};

TEST_F(SimProgram, ServesTheAnalyzerOnThePrintedTerminalUntilItsInputEnds)
{
    std::string path = ReadLine(5000ms);
    ASSERT_TRUE(path.ends_with("\n")) << "no path printed";
    path.pop_back();
    plat::PortMap::SetOverride(41, path);

    plat::SerialPort port;
    port.SetCommPort(41);
    port.SetPortOpen(true);
    auto exchange = [&](const std::string& command) {
        port.SetInBufferCount(0);
        port.SetOutput(command);
        std::string reply;
        ztesting::PtyPair::PumpUntil([&] {
            if (port.InBufferCount() > 0) reply += port.Input();
            return reply.ends_with("\n");
        });
        return reply;
    };
    EXPECT_EQ(exchange("LOC\n\r"), "OK\r\n");
    EXPECT_EQ(exchange("ENERGYMODE\r"), "OK\r\n");
    Tell("discharge 150\n");
    std::string poll;
    for (int i = 0; i < 100 && poll != "NEWDATA\r\n"; ++i) poll = exchange("QDATA\r");
    EXPECT_EQ(poll, "NEWDATA\r\n");
    EXPECT_EQ(exchange("ENERGYDATA\r"), "150.0,1732,34.6,0.0050\r\n");
    port.SetPortOpen(false);

    sim.CloseInput();
    ASSERT_TRUE(Exited(2000ms));
    EXPECT_TRUE(WIFEXITED(exitStatus));
    EXPECT_EQ(WEXITSTATUS(exitStatus), 0);
}

// A command heard while a refractory measurement runs is answered after the measurement's line,
// by the program on the real clock. Which offsets it meets there is chance; the order itself is
// guarded at every sub-millisecond offset on the virtual clock (SimulatedAnalyzerOrder).
TEST_F(SimProgram, ACommandHeardDuringAMeasurementIsAnsweredAfterIt)
{
    std::string path = ReadLine(5000ms);
    ASSERT_TRUE(path.ends_with("\n")) << "no path printed";
    path.pop_back();
    plat::PortMap::SetOverride(41, path);
    Tell("pacemaker\n");
    // The program confirms on its standard error, which the test does not read: it is given time.
    ztesting::PtyPair::PumpUntil([] { return false; }, 300ms);

    plat::SerialPort port;
    port.SetCommPort(41);
    port.SetPortOpen(true);
    for (int trial = 0; trial < 4; ++trial) {
        SCOPED_TRACE(trial);
        port.SetOutput("PACEREFRACT\r");
        ztesting::PtyPair::PumpUntil([] { return false; }, std::chrono::milliseconds(100 + 37 * trial));
        port.SetOutput("ZERO\r");
        std::string replies;
        ztesting::PtyPair::PumpUntil([&] {
            if (port.InBufferCount() > 0) replies += port.Input();
            return std::count(replies.begin(), replies.end(), '\n') >= 2;
        });
        EXPECT_EQ(replies, "0,0.250,0.300\r\nOK\r\n");
    }
    port.SetPortOpen(false);
}

// --help explains the options and the words typed at its terminal, with their units.
TEST(SimProgramHelp, HelpListsTheOptionsAndTheWordsWithTheirUnits)
{
    if (!std::filesystem::exists(ztesting::SimProgram::Path())) GTEST_SKIP() << "no " << ztesting::SimProgram::Path();
    ztesting::SimProgram help;
    ASSERT_TRUE(help.Start({"--help"}));
    std::string text;
    for (std::string line = help.ReadLine(5000ms); line.ends_with("\n"); line = help.ReadLine(2000ms)) text += line;
    ASSERT_TRUE(help.Exited(2000ms));
    EXPECT_EQ(help.WaitStatus(), 0);
    for (const char *expected : {"--delay MS", "--log", "discharge JOULES", "charge SECONDS",
                                 "pacemaker [PPM [MA [WIDTH_MS]]]", "adapter on|off", "silence [N]", "50mA"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
}

} // namespace
