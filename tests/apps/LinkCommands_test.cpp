// The probe and send commands of zarvik-host against the zarvik-sim program, the built-in
// simulated analyzer, a missing device and a device that loses the link, each run as the
// programs themselves with a registry of their own.
#include "support/HostProgram.h"
#include "support/PtyPair.h"
#include "support/SimProgram.h"

#include "platform/base/RegistryStore.h"
#include "platform/serial/PortMap.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <regex>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using Outcome = ztesting::ProgramOutcome;

const std::string kNoMti =
    "No MTI was found connected. Check that your ZARVIK is connected and that it has been powered on.";

class LinkCommands : public ::testing::Test {
protected:
    // Every run of zarvik-host is given the registry file of this test's folder; the registry in
    // the environment points into the folder too, so that no run touches the user's.
    LinkCommands() { mHost.SetLeadingArguments({"--registry", mDir + "/registry"}); }

    pid_t Start(std::vector<std::string> args) { return mHost.Start(std::move(args)); }
    Outcome Finish(pid_t pid) { return mHost.Finish(pid); }
    Outcome Host(std::vector<std::string> args) { return mHost.Run(std::move(args)); }

    // Starts zarvik-sim and returns the terminal it serves on.
    std::string StartSim(std::vector<std::string> options)
    {
        if (!mSim.Start(std::move(options))) return {};
        std::string line = mSim.ReadLine(5s);
        if (!line.ends_with("\n")) return {};
        line.pop_back();
        return line;
    }

    // A line on the simulator's standard input: the device under test acts.
    void TellSim(const std::string& line) { ASSERT_TRUE(mSim.Tell(line)); }

    ztesting::HostProgram mHost{"zarvik-link-commands", "env-registry"};
    const std::string mDir = mHost.Folder();
    ztesting::SimProgram mSim;
};

TEST_F(LinkCommands, ProbeAndSendAgainstTheSimulatorProgram)
{
    // An analyzer still at 2400 baud: the probe switches it to the link's speed.
    const std::string path = StartSim({"--baud", "2400", "--delay", "1"});
    ASSERT_FALSE(path.empty()) << "zarvik-sim printed no path";

    Outcome probe = Host({"probe", "--port", "7", "--device", path});
    EXPECT_EQ(probe.status, 0) << probe.err;
    EXPECT_EQ(probe.out, "found ZARVIK\n");

    Outcome send = Host({"send", "--port", "7", "--device", path, "ENERGYMODE", "QDATA", "BOGUS"});
    EXPECT_EQ(send.status, 0) << send.err;
    EXPECT_EQ(send.out, "ENERGYMODE\t\"OK\\r\\n\"\nQDATA\t\"NODATA\\r\\n\"\nBOGUS\t\"ERR=01\\r\\n\"\n");
    EXPECT_EQ(send.err, "");

    // The device under test discharges; the next channel reads the measurement.
    TellSim("discharge 150\n");
    std::string reply;
    for (int i = 0; i < 50 && reply.find("NEWDATA") == std::string::npos; ++i) reply = Host({"send", "--port", "7", "--device", path, "QDATA"}).out;
    EXPECT_EQ(reply, "QDATA\t\"NEWDATA\\r\\n\"\n");
    send = Host({"send", "--port", "7", "--device", path, "ENERGYDATA"});
    EXPECT_EQ(send.out, "ENERGYDATA\t\"150.0,1732,34.6,0.0050\\r\\n\"\n");

    // The first run registered the instrument link in the registry it was given.
    Outcome classes = Host({"classes"});
    EXPECT_NE(classes.out.find("TelvoZarvikVTI.CZarvikVTi\t{4B9459E0-08BD-482A-A6D8-37F26FB52CF2}"), std::string::npos);
    EXPECT_NE(classes.out.find("TelvoZarvikVTI.CZarvikQuery\t{1F55E6C4-CDA5-4BBC-892C-5DF7181C4CFE}"), std::string::npos);
}

TEST_F(LinkCommands, BuiltInSimulator)
{
    Outcome send = Host({"send", "--port", "2", "--device", "sim", "LOC", "ZERO"});
    EXPECT_EQ(send.status, 0) << send.err;
    EXPECT_EQ(send.out, "LOC\t\"OK\\r\\n\"\nZERO\t\"OK\\r\\n\"\n");
}

TEST_F(LinkCommands, NoAnalyzer)
{
    // A device path that does not exist is refused before anything else, naming the path.
    const std::string missing = mDir + "/no-such-device";
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"probe", "--port", "7", "--device", missing},
          std::vector<std::string>{"send", "--port", "7", "--device", missing, "QDATA"}}) {
        SCOPED_TRACE(args.front());
        Outcome refused = Host(args);
        EXPECT_EQ(refused.status, 2);
        EXPECT_EQ(refused.out, "");
        EXPECT_NE(refused.err.find("--device " + missing + ": no such device"), std::string::npos) << refused.err;
    }
    // A port no port can have is not found without looking.
    Outcome probe = Host({"probe", "--port", "0"});
    EXPECT_EQ(probe.status, 1);
    EXPECT_EQ(probe.out, "not found\n");

    // A port the registry maps to a device that is gone: no analyzer answers there.
    plat::RegistryStore(mDir + "/registry").SetString(plat::PortMap::RegistryKey, "7", missing);
    Outcome send = Host({"send", "--port", "7", "QDATA"});
    EXPECT_EQ(send.status, 2);
    EXPECT_EQ(send.out, "");
    EXPECT_NE(send.err.find(kNoMti), std::string::npos) << send.err;
}

TEST_F(LinkCommands, LostLinkEndsTheRun)
{
    // The test plays an analyzer that answers the link check and then only talks noise without
    // a line end, more than a reply may hold: each attempt fails at once instead of after the
    // reply time.
    ztesting::PtyPair analyzer;
    pid_t host = Start({"send", "--port", "9", "--device", analyzer.SlavePath(), "QDATA", "ENERGYDATA"});
    EXPECT_EQ(analyzer.ReceiveLine("LOC\n\r"), "LOC\n\r");
    analyzer.Send("OK\r\n");
    const std::string noise(70 * 1024, 'x');
    for (int attempt = 1; attempt <= 3; ++attempt) {
        SCOPED_TRACE(attempt);
        EXPECT_TRUE(analyzer.ReceiveLine("QDATA\r").ends_with("QDATA\r"));
        analyzer.Send(noise);
    }
    Outcome send = Finish(host);
    EXPECT_EQ(send.status, 3);
    EXPECT_EQ(send.out, "");
    EXPECT_NE(send.err.find(kNoMti), std::string::npos) << send.err;
    // Nothing more was sent: no second command, no release.
    EXPECT_EQ(analyzer.ReceiveFor(100ms), "");
}

TEST_F(LinkCommands, AnswerToAResendIsNotTheNextCommandsReply)
{
    // The test plays an analyzer that answers A only after the resend, and then answers the
    // resend as well: the second answer must not become B's reply.
    ztesting::PtyPair analyzer;
    pid_t host = Start({"send", "--port", "9", "--device", analyzer.SlavePath(), "A", "B"});
    EXPECT_EQ(analyzer.ReceiveLine("LOC\n\r"), "LOC\n\r");
    analyzer.Send("OK\r\n");
    EXPECT_TRUE(analyzer.ReceiveLine("A\r").ends_with("A\r"));
    EXPECT_EQ(analyzer.ReceiveLine("A\r", 4000ms), "A\r") << "no resend";
    EXPECT_EQ(analyzer.ReceiveFor(100ms), "");
    analyzer.Send("A1\r\n");
    EXPECT_EQ(analyzer.ReceiveFor(200ms), "") << "B went out before the answer to the resend";
    analyzer.Send("A2\r\n");
    EXPECT_EQ(analyzer.ReceiveLine("B\r"), "B\r");
    analyzer.Send("B\r\n");
    EXPECT_EQ(analyzer.ReceiveLine("LOC\r"), "LOC\r");
    analyzer.Send("OK\r\n");
    Outcome send = Finish(host);
    EXPECT_EQ(send.status, 0) << send.err;
    EXPECT_EQ(send.out, "A\t\"A1\\r\\n\"\nB\t\"B\\r\\n\"\n");
}

// Two programs on one line would take each other's answers. While one zarvik-host holds the
// port (here a send waiting for the analyzer's slow answers), a second one is refused, whether
// it probes, sends or runs, before it writes anything: the analyzer hears only the first.
TEST_F(LinkCommands, APortThatAnotherProgramHoldsIsRefusedBeforeAnythingIsWritten)
{
    const std::string path = StartSim({"--delay", "700", "--log"});
    ASSERT_FALSE(path.empty()) << "zarvik-sim printed no path";
    pid_t holder = Start({"send", "--port", "7", "--device", path, "QDATA"});
    ASSERT_EQ(mSim.ReadLine(5s), "heard LOC\n") << "the first program wrote no link check";

    const std::string line = "port 4 (" + path + ") is in use by another program\n";
    const std::string out = mDir + "/results.xml";
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"probe", "--port", "4", "--device", path},
             {"send", "--port", "4", "--device", path, "ENERGYMODE"},
             {"run", "--port", "4", "--device", path, "--operator", "auto", "--out", out, "100"}}) {
        SCOPED_TRACE(args.front());
        Outcome refused = Host(args);
        EXPECT_EQ(refused.status, 2) << refused.err;
        EXPECT_EQ(refused.out, "");
        EXPECT_EQ(refused.err, "zarvik-host: " + args.front() + ": " + line);
    }
    EXPECT_FALSE(std::filesystem::exists(out));

    Outcome held = Finish(holder);
    EXPECT_EQ(held.status, 0) << held.err;
    EXPECT_EQ(held.out, "QDATA\t\"NODATA\\r\\n\"\n");
    // The link check, the command and the release: the first program's lines, and no other.
    EXPECT_EQ(mSim.ReadLine(5s), "heard QDATA\n");
    EXPECT_EQ(mSim.ReadLine(5s), "heard LOC\n");
    EXPECT_EQ(mSim.ReadLine(300ms), "");
}

// Another program may take the port between the check and the channel's own open, or between
// two tests of a run. The link takes the refused open for a line without an analyzer; the
// command then says why, and ends with status 2 (a run after printing what it did). The test
// takes the device's lock as soon as the command's check has closed the device again.
TEST_F(LinkCommands, APortTakenAfterTheCheckIsToldAsInUse)
{
    const std::string out = mDir + "/results.xml";
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"send", "QDATA"}, {"run", "--operator", "auto", "--out", out, "100"}}) {
        SCOPED_TRACE(args.front());
        ztesting::PtyPair analyzer;
        const int watch = ::inotify_init1(IN_CLOEXEC);
        ASSERT_GE(watch, 0);
        ASSERT_GE(::inotify_add_watch(watch, analyzer.SlavePath().c_str(), IN_CLOSE_WRITE), 0);
        std::vector<std::string> command{args.front(), "--port", "5", "--device", analyzer.SlavePath()};
        command.insert(command.end(), args.begin() + 1, args.end());
        pid_t host = Start(command);
        pollfd ready{watch, POLLIN, 0};
        ASSERT_EQ(::poll(&ready, 1, 5000), 1) << "the command did not check the port";
        const int holder = ::open(analyzer.SlavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(holder, 0);
        ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
        ::close(watch);

        Outcome refused = Finish(host);
        ::close(holder);
        EXPECT_EQ(refused.status, 2) << refused.err;
        EXPECT_TRUE(refused.err.ends_with("zarvik-host: " + args.front() + ": port 5 (" + analyzer.SlavePath() +
                                          ") is in use by another program\n"))
            << refused.err;
        EXPECT_EQ(analyzer.ReceiveFor(50ms), "");
        if (args.front() == "run") {
            // What the run did is printed and saved as it ended: its test met no analyzer.
            EXPECT_TRUE(refused.out.starts_with("100\tnot rated\n")) << refused.out;
            EXPECT_TRUE(std::filesystem::exists(out));
        }
    }
}

TEST_F(LinkCommands, Usage)
{
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"probe"}, {"probe", "--port", "x"}, {"probe", "--port", "1", "extra"}, {"send", "--port", "1"},
             {"send", "--device", "sim", "LOC"}, {"send", "--port", "1", "--speed", "9600", "LOC"}}) {
        Outcome outcome = Host(args);
        EXPECT_EQ(outcome.status, 2) << args[0];
        EXPECT_NE(outcome.err.find("usage:"), std::string::npos);
    }
}

} // namespace
