// zarvik-host run and session: test elements performed as one sequence with the automatic
// operator, against the built-in simulated analyzer on a virtual clock, and against zarvik-sim
// on a pseudo-terminal on the real clock. The person's console has tests of its own
// (AttendedRun_test.cpp).
#include "support/HostProgram.h"
#include "support/SimProgram.h"

#include "platform/base/RegistryStore.h"
#include "platform/serial/PortMap.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <csignal>
#include <sys/wait.h>
#include <thread>

namespace {

using namespace std::chrono_literals;
using Outcome = ztesting::ProgramOutcome;

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

class RunCommand : public ::testing::Test {
protected:
    RunCommand() { mHost.SetLeadingArguments({"--registry", mDir + "/registry"}); }
    Outcome Host(std::vector<std::string> args) { return mHost.Run(std::move(args)); }

    // Starts a run of test 100 on zarvik-sim's terminal with the automatic operator and waits
    // until the operator asks the person to discharge (the run is then polling for data); the
    // run's id, or -1.
    pid_t StartUntilTheDischargePrompt(std::vector<std::string> testIds)
    {
        if (!mSim.Start({})) return -1;
        std::string path = mSim.ReadLine(5s);
        if (!path.ends_with("\n")) return -1;
        path.pop_back();
        std::vector<std::string> args{"run", "--port", "1", "--device", path, "--operator", "auto"};
        args.insert(args.end(), testIds.begin(), testIds.end());
        const pid_t pid = mHost.Start(args);
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (ReadFile(mHost.File("stderr")).find("please discharge now") == std::string::npos) {
            if (std::chrono::steady_clock::now() > deadline || Ended(pid)) return pid;
            std::this_thread::sleep_for(20ms);
        }
        return pid;
    }

    static bool Ended(pid_t pid) { return ztesting::HasEnded(pid); }

    ztesting::HostProgram mHost{"zarvik-run-command", "env-registry"};
    const std::string mDir = mHost.Folder();
    ztesting::SimProgram mSim;
};

TEST_F(RunCommand, PrintsARatedEnergyResultOfTheBuiltInSimulator)
{
    const auto started = std::chrono::steady_clock::now();
    Outcome run = Host({"run", "--port", "1", "--device", "sim", "--out", mDir + "/results.xml", "100"});
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "100\tpassed\n"
                       "\tENGY\t100\tJ\tpassed\n"
                       "\tPEAV\t1414\tV\tpassed\n"
                       "\tPEAC\t28.3\tA\tpassed\n"
                       "\tPULW\t5\tms\tpassed\n");
    // The operator says what it sees and does.
    EXPECT_NE(run.err.find("instruction: Defibrillate Now\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("operator: discharges 100 J into the analyzer\n"), std::string::npos) << run.err;
    // Virtual time: the 500 ms polls cost nothing (generous bound for loaded machines).
    EXPECT_LT(took, 10s);

    // The result document keeps captions as language-ID texts; the report is beside it.
    const std::string saved = ReadFile(mDir + "/results.xml");
    EXPECT_NE(saved.find("<TestSequence"), std::string::npos);
    EXPECT_NE(saved.find("20120::Energy"), std::string::npos) << saved;
    // Measured on the simulated analyzer, and recorded so.
    EXPECT_NE(saved.find("Type=\"ZARVIK\" Serial=\"SIMULATED\""), std::string::npos) << saved;
    // The readable report says when, with what and on what the test ran, and how it ended.
    const std::string report = ReadFile(mDir + "/results.xml.txt");
    EXPECT_TRUE(std::regex_search(report, std::regex("^Test run of \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d UTC\n"
                                                     "Analyzer: ZARVIK, serial number SIMULATED, firmware [^\n]+\n"
                                                     "The results come from the built-in simulated analyzer")))
        << report;
    EXPECT_NE(report.find("Energy measurement\nOutcome: passed\n"), std::string::npos) << report;
}

// The tests the operator judges store a verdict: printed as the checklist view shows it, by
// the column it checks, never as the number behind it.
TEST_F(RunCommand, PrintsTheOperatorsVerdictAsTheChecklistShowsIt)
{
    auto run = Host({"run", "--port", "1", "--device", "sim", "400", "500", "600", "1100"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "400\tpassed\n\tNSW\tpassed\t\tpassed\n"
                       "500\tpassed\n\tARR\tpassed\t\tpassed\n"
                       "600\tpassed\n\tPERF\tpassed\t\tpassed\n"
                       "1100\tpassed\n\tECGR\tpassed\t\tpassed\n");
}

TEST_F(RunCommand, RefusesWrongArgumentsWithAClearMessage)
{
    struct Case {
        std::vector<std::string> args;
        const char* message;
    };
    const Case cases[] = {
        {{"run", "--port", "1", "--device", "sim", "4242"}, "unknown test ID 4242"},
        {{"run", "--port", "1", "--fast", "100"}, "unknown option '--fast'"},
        {{"run", "--port", "1", "--device", "sim"}, "no test ID given"},
        {{"run", "--device", "sim", "100"}, "--port N is required"},
        {{"run", "--port", "1", "energy"}, "'energy' is no test ID"},
        {{"session", "--port", "1"}, "unexpected argument '--port'"},
        {{"run", "--port", "0", "--device", "sim", "100"}, "--port needs a port number from 1 to 32767, not '0'"},
        // A port number the serial port and the instrument query cannot take.
        {{"run", "--port", "40000", "--device", "sim", "100"}, "--port needs a port number from 1 to 32767, not '40000'"},
        {{"run", "--port", "1", "--device", "sim", "--operator", "robot", "100"},
         "--operator needs person or auto, not 'robot'"},
        {{"run", "--port", "1", "--device", "sim", "--operator"}, "--operator needs a value"},
        // What would fail only after the test is refused before it: the result file's folder
        // and the device path.
        {{"run", "--port", "1", "--device", "sim", "--out", "/no/such/dir/x.xml", "100"},
         "--out /no/such/dir/x.xml: the folder /no/such/dir does not exist"},
        {{"run", "--port", "1", "--device", "/dev/pts/999999", "100"}, "--device /dev/pts/999999: no such device"},
        {{"run", "--port", "1", "--device", "/etc/hostname", "100"}, "--device /etc/hostname: not a character device"},
        {{"probe", "--port", "1", "--device", "/dev/pts/999999"}, "--device /dev/pts/999999: no such device"},
        {{"send", "--port", "1", "--device", "/no/such/tty", "LOC"}, "--device /no/such/tty: no such device"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Outcome run = Host(c.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
}

// A port that the registry maps to the built-in analyzer is the built-in analyzer, with its
// virtual clock and the automatic operator, as --device sim is.
TEST_F(RunCommand, APortTheRegistryMapsToTheSimulatorRunsOnTheVirtualClock)
{
    plat::RegistryStore(mDir + "/registry").SetString(plat::PortMap::RegistryKey, "1", "sim");
    const auto started = std::chrono::steady_clock::now();
    // The battery test's phases and idle minute last over ten minutes on a real clock.
    Outcome run = Host({"run", "--port", "1", "100", "900"});
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_search(run.out, std::regex("^100\tpassed\n\tENGY\t100\tJ\tpassed\n"))) << run.out;
    EXPECT_NE(run.out.find("900\tpassed\n"), std::string::npos) << run.out;
    EXPECT_NE(run.err.find("operator: discharges 100 J into the analyzer\n"), std::string::npos) << run.err;
    // Generous for a loaded machine or a sanitizer build, and still far below the real clock.
    EXPECT_LT(took, 60s);
}

// A run on the simulated analyzer works on a scratch registry in the temporary folder; one that
// a killed run left behind goes with the next such run, unless its process still runs.
TEST_F(RunCommand, ARunOnTheSimulatorRemovesTheScratchFoldersOfKilledRuns)
{
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ASSERT_GT(gone, 0);
    ASSERT_EQ(ztesting::Reap(gone, 5s), 0);
    const std::string stale = mHost.File("zarvik-simulated-" + std::to_string(gone) + "-AbC123");
    const std::string running = mHost.File("zarvik-simulated-" + std::to_string(::getpid()) + "-XyZ789");
    for (const auto& folder : {stale, running}) std::filesystem::create_directories(folder + "/inside");

    Outcome run = Host({"run", "--port", "1", "--device", "sim", "100"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(running + "/inside"));
    // The run's own scratch folder went at its end.
    for (const auto& entry : std::filesystem::directory_iterator(mHost.Folder())) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("zarvik-simulated-")) {
            EXPECT_EQ(entry.path().string(), running);
        }
    }
}

// Against a real analyzer nobody watches the monitor for the automatic operator: the wave is
// held and the test ends not rated, never passed.
TEST_F(RunCommand, TheAutomaticOperatorNeverRatesAWaveOnARealAnalyzer)
{
    ASSERT_TRUE(mSim.Start({}));
    std::string path = mSim.ReadLine(5s);
    ASSERT_TRUE(path.ends_with("\n"));
    path.pop_back();
    // The hold of the normal-sinus test is 7 s of the real clock.
    Outcome run = mHost.Finish(mHost.Start({"run", "--port", "1", "--device", path, "--operator", "auto", "400"}), 30s);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "400\tnot rated\n\tNSW\t\t\tnot rated\n") << run.err;
    EXPECT_EQ(run.err.find("judges"), std::string::npos) << run.err;
}

TEST_F(RunCommand, SessionRunsTheCatalogueAgainstTheSimulator)
{
    Outcome session = Host({"session", "--out", mDir + "/session.xml"});
    ASSERT_EQ(session.status, 0) << session.err;
    EXPECT_TRUE(std::regex_search(session.out, std::regex("^100\tpassed\n"))) << session.out;
    EXPECT_NE(ReadFile(mDir + "/session.xml.txt"), "");
}

// The real clock over a pseudo-terminal: the operator presses the buttons and a person (the
// simulator's "discharge" input) discharges once the run asks for it.
TEST_F(RunCommand, APersonsDischargeCompletesARunOverAPseudoTerminal)
{
    const pid_t pid = StartUntilTheDischargePrompt({"100"});
    ASSERT_GT(pid, 0);
    // The person shocks again until the run has its data (a discharge the analyzer takes
    // before the run's mode command is not this run's).
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!Ended(pid) && std::chrono::steady_clock::now() < deadline && mSim.Tell("discharge 150\n")) {
        for (int i = 0; i < 25 && !Ended(pid); ++i) std::this_thread::sleep_for(20ms);
    }
    Outcome run = mHost.Finish(pid, 5s);
    // 150 J against a preset of 100 J (85 J to 115 J) fails.
    EXPECT_EQ(run.status, 1) << run.err << run.out;
    EXPECT_TRUE(std::regex_search(run.out, std::regex("^100\tfailed\n\tENGY\t150\tJ\tfailed\n"))) << run.out;
    EXPECT_NE(run.err.find("please discharge now"), std::string::npos) << run.err;
}

// Ctrl-C in the poll: the automatic operator stops the test in hand and leaves it with Next,
// never aborting it: the test ends not rated, the one after it is not run.
TEST_F(RunCommand, CtrlCEndsTheSequenceCleanly)
{
    const pid_t pid = StartUntilTheDischargePrompt({"100", "100"});
    ASSERT_GT(pid, 0);
    ::kill(pid, SIGINT);
    Outcome run = mHost.Finish(pid, 20s);
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_EQ(run.out.rfind("100\tnot rated\n\tENGY\t\tJ\tnot rated\n", 0), 0u) << run.out;
    EXPECT_TRUE(run.out.ends_with("\n100\tnot run\n")) << run.out;
    EXPECT_NE(run.err.find("interrupted"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("operator: presses Next"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("Abort"), std::string::npos) << run.err;
}

// A result file that cannot be saved at the end is its own failure, told apart from a failed
// test; one line names the files a save wrote.
TEST_F(RunCommand, ASaveThatFailsAtTheEndExitsThree)
{
    std::filesystem::create_directory(mDir + "/taken.xml.txt");
    Outcome run = Host({"run", "--port", "1", "--device", "sim", "--out", mDir + "/taken.xml", "100"});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(run.out.rfind("100\tpassed\n", 0), 0u) << run.out;
    EXPECT_NE(run.err.find("the results were not saved"), std::string::npos) << run.err;

    run = Host({"run", "--port", "1", "--device", "sim", "--out", mDir + "/good.xml", "100"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("results saved in " + mDir + "/good.xml, the report in " + mDir + "/good.xml.txt\n"),
              std::string::npos)
        << run.err;
}

} // namespace
