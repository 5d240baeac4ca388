// zarvik-host run attended by a person: zarvik-sim on a pseudo-terminal as the analyzer (or the
// built-in one on the real clock), and a scripted person who reads the console on the run's
// standard error and types on its standard input. Each step waits for what the console shows.
#include "support/HostProgram.h"
#include "support/SimProgram.h"

#include <gtest/gtest.h>

#include "platform/base/RegistryStore.h"
#include "support/TempFolder.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <tuple>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Outcome = ztesting::ProgramOutcome;

// One step of a scripted person: types the line (when there is one), then waits until the
// console shows the text (when there is one).
struct Step {
    std::string type;
    std::string see;
};

class AttendedRun : public ::testing::Test {
protected:
    AttendedRun() { mHost.SetLeadingArguments({"--registry", mHost.Folder() + "/registry"}); }

    // Starts zarvik-sim, which tells each command it hears, and a run on its terminal.
    bool StartOnTheSimulator(std::vector<std::string> testIds)
    {
        if (!mSim.Start({"--log"})) return false;
        std::string path = mSim.ReadLine(5s);
        if (!path.ends_with("\n")) return false;
        path.pop_back();
        return StartRun({"--device", path}, std::move(testIds));
    }

    bool StartRun(std::vector<std::string> options, std::vector<std::string> testIds,
                  ztesting::HostProgram::Input input = ztesting::HostProgram::Input::Pipe)
    {
        std::vector<std::string> args{"run", "--port", "1"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), testIds.begin(), testIds.end());
        mPid = mHost.StartAttended(args, input);
        return mPid > 0;
    }

    // A bench rehearsal: the built-in analyzer on the real clock, the hands typed into the run.
    bool StartRehearsal(std::vector<std::string> testIds,
                        ztesting::HostProgram::Input input = ztesting::HostProgram::Input::Pipe)
    {
        return StartRun({"--device", "sim", "--operator", "person"}, std::move(testIds), input);
    }

    bool Perform(const std::vector<Step>& steps)
    {
        for (const auto& step : steps) {
            if (!step.type.empty()) Type(step.type);
            if (!step.see.empty() && !Shows(step.see)) {
                ADD_FAILURE() << "after '" << step.type << "' the console never showed '" << step.see << "'\n"
                              << mHost.ErrorText();
                return false;
            }
        }
        return true;
    }

    // Waits until the console shows the text after what was waited for before.
    bool Shows(const std::string& text, std::chrono::milliseconds timeout = 10s)
    {
        const std::size_t past = mHost.WaitForError(text, mPid, mSeen, timeout);
        if (past == std::string::npos) return false;
        mSeen = past;
        return true;
    }
    void Type(const std::string& line) { EXPECT_TRUE(mHost.Type(line)) << line; }
    Outcome Finish(std::chrono::milliseconds timeout = 10s) { return mHost.Finish(mPid, timeout); }
    // Types a line and waits until the console shows the text.
    bool TypeAndSee(const std::string& line, const std::string& text)
    {
        Type(line);
        return Shows(text);
    }

    // Starts zarvik-sim (which tells each command it hears) and gives the path of its terminal.
    static std::string StartSim(ztesting::SimProgram& sim)
    {
        if (!sim.Start({"--log"})) return {};
        std::string path = sim.ReadLine(5s);
        if (!path.ends_with("\n")) return {};
        path.pop_back();
        return path;
    }

    // The person shocks until the window shows the energy rated as expected (a discharge the
    // analyzer takes before the run's mode command is not this run's); `discharge` does it.
    bool DischargeUntil(const std::function<void()>& discharge, const std::string& energyLine)
    {
        for (int i = 0; i < 40; ++i) {
            discharge();
            if (Shows(energyLine, 500ms)) return true;
        }
        return false;
    }

    // The last command the analyzer heard, once it has heard nothing more for a while.
    static std::string LastHeard(ztesting::SimProgram& sim)
    {
        std::string last;
        for (std::string line = sim.ReadLine(500ms); line.ends_with("\n"); line = sim.ReadLine(500ms)) {
            if (line.rfind("heard ", 0) == 0) last = line.substr(6, line.size() - 7);
        }
        return last;
    }

    ztesting::HostProgram mHost{"zarvik-attended-run", "env-registry"};
    ztesting::SimProgram mSim;
    pid_t mPid = -1;
    std::size_t mSeen = 0;
};

// The wave is judged by the person alone: a verdict typed while the wave is held ends the hold
// and rates the test as the person judged it.
TEST_F(AttendedRun, ANormalSinusWaveThePersonFailsIsRatedFailed)
{
    ASSERT_TRUE(StartOnTheSimulator({"400"}));
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    Type("start");
    // The hold has begun: its step is marked.
    ASSERT_TRUE(Shows("  > 4.")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("FAIL", "failed\n")) << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: next")) << mHost.ErrorText();
    Type("next");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "400\tfailed\n\tNSW\tfailed\t\tfailed\n") << run.err;
}

// Nothing reaches the analyzer before the person's Start, and the run ends only with the
// person's Next; the result is shown meanwhile.
TEST_F(AttendedRun, AnEnergyRunWaitsForThePersonsStartAndNext)
{
    ASSERT_TRUE(StartOnTheSimulator({"100"}));
    ASSERT_TRUE(Shows("buttons: start, next")) << mHost.ErrorText();
    EXPECT_EQ(mSim.ReadUntil("heard", 300ms), "");
    // A word that does nothing now presses nothing and names what does.
    ASSERT_TRUE(TypeAndSee("stop", "zarvik-host: 'stop' does nothing now; usable now: start, next"))
        << mHost.ErrorText();
    EXPECT_EQ(mSim.ReadUntil("heard", 200ms), "");
    // The hands act at the analyzer, not here.
    ASSERT_TRUE(TypeAndSee("discharge 100", "zarvik-host: 'discharge' is done at the analyzer, not here"))
        << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("Start", "instruction (discharge): Defibrillate Now\n")) << mHost.ErrorText();
    // The person shocks again until the run has its data (a discharge the analyzer takes
    // before the run's mode command is not this run's).
    ASSERT_TRUE(DischargeUntil([&] { mSim.Tell("discharge 100\n"); },
                               "  Energy: 100 J (low 85.0 J, high 115.0 J), passed\n"))
        << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: next")) << mHost.ErrorText();
    EXPECT_FALSE(ztesting::HasEnded(mPid)) << "the run ended before the person's Next";
    // A C1 control never reaches the window, and so neither the records.
    ASSERT_TRUE(TypeAndSee("unit SN-\xc2\x9b" "2J 2.1", "a line with control characters is refused; nothing was pressed\n"))
        << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("unit SN-0042 2.1", "analyzer: ZARVIK, serial SN-0042, firmware 2.1\n"))
        << mHost.ErrorText();
    Type("next");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("100\tpassed\n\tENGY\t100\tJ\tpassed\n", 0), 0u) << run.out;
}

// A box waits for the person's answer, and only the box's own words answer it. Aborting the
// first of two tests in its measurement leaves it aborted and the second not run, which is no
// success.
TEST_F(AttendedRun, ABoxWaitsForThePersonsAnswer)
{
    ASSERT_TRUE(StartOnTheSimulator({"100", "200"}));
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("abort", "box: Test guide: Do you really want to abort the test?\nanswer with: yes, no\n"))
        << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("start", "'start' does nothing now; usable now: yes, no, help\n")) << mHost.ErrorText();
    EXPECT_EQ(mSim.ReadUntil("heard", 300ms), "");
    Type("No");
    // The window goes on: the person starts the test, and aborts it after all.
    ASSERT_TRUE(TypeAndSee("start", "status: Test in progress")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("abort", "answer with: yes, no\n")) << mHost.ErrorText();
    EXPECT_FALSE(ztesting::HasEnded(mPid));
    Type("yes");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "100\taborted\n200\tnot run\n") << run.err;
}

// Leaving after a finished test, by the end of the person's input or by a signal, keeps the
// result as Next keeps it: printed with its status and saved; the test after it is not run,
// nothing is aborted or confirmed, the analyzer is released, and the exit status names how the
// run was left.
TEST_F(AttendedRun, LeavingAfterAFinishedTestKeepsItsResult)
{
    struct Case {
        const char* name;
        int signal; // 0: the end of input
        int status;
    };
    const Case cases[] = {
        {"end of input", 0, 130}, {"Ctrl-C", SIGINT, 130}, {"SIGTERM", SIGTERM, 143}, {"SIGHUP", SIGHUP, 129}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ztesting::SimProgram sim;
        const std::string path = StartSim(sim);
        ASSERT_FALSE(path.empty());
        mSeen = 0;
        const std::string out = mHost.File(std::string("results-") + std::to_string(c.signal) + ".xml");
        ASSERT_TRUE(StartRun({"--device", path, "--out", out}, {"100", "100"}));
        ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
        Type("start");
        ASSERT_TRUE(Shows("instruction (discharge): Defibrillate Now\n")) << mHost.ErrorText();
        ASSERT_TRUE(DischargeUntil([&] { sim.Tell("discharge 100\n"); },
                                   "  Energy: 100 J (low 85.0 J, high 115.0 J), passed\n"))
            << mHost.ErrorText();
        ASSERT_TRUE(Shows("outcome: test 100 passed\n")) << mHost.ErrorText();
        ASSERT_TRUE(Shows("buttons: next")) << mHost.ErrorText();
        if (c.signal == 0) {
            mHost.EndInput();
        } else {
            ::kill(mPid, c.signal);
        }
        Outcome run = Finish(20s);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out.rfind("100\tpassed\n\tENGY\t100\tJ\tpassed\n", 0), 0u) << run.out;
        EXPECT_TRUE(run.out.ends_with("\n100\tnot run\n")) << run.out;
        EXPECT_EQ(run.err.find("box:"), std::string::npos) << "nothing is confirmed for the person\n" << run.err;
        EXPECT_NE(run.err.find("leaving: next pressed\n"), std::string::npos) << run.err;
        const std::string saved = ztesting::ReadAll(out);
        EXPECT_NE(saved.find("ResultItem"), std::string::npos) << saved;
        EXPECT_NE(run.err.find("results saved in " + out + ", the report in " + out + ".txt\n"), std::string::npos)
            << run.err;
        EXPECT_EQ(LastHeard(sim), "LOC");
    }
}

// Ctrl-C in the middle of the measurement: the test in hand is stopped, not aborted; it ends
// not rated, the test after it is not run, and the release is the last thing the analyzer hears.
TEST_F(AttendedRun, CtrlCInTheMeasurementLeavesTheTestNotRated)
{
    ASSERT_TRUE(StartOnTheSimulator({"100", "200"}));
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("start", "instruction (discharge): Defibrillate Now\n")) << mHost.ErrorText();
    ASSERT_NE(mSim.ReadUntil("heard QDATA", 5s).find("heard QDATA"), std::string::npos);
    ::kill(mPid, SIGINT);
    Outcome run = Finish(20s);
    EXPECT_EQ(run.status, 130) << run.err;
    EXPECT_EQ(run.out.rfind("100\tnot rated\n\tENGY\t\tJ\tnot rated\n", 0), 0u) << run.out;
    EXPECT_TRUE(run.out.ends_with("\n200\tnot run\n")) << run.out;
    EXPECT_NE(run.err.find("leaving: stop pressed\n"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("box:"), std::string::npos) << run.err;
    // The last screen lines do not claim a test in progress.
    EXPECT_NE(run.err.find("status: (cleared)\n"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("instruction closed\n"), std::string::npos) << run.err;
    EXPECT_EQ(LastHeard(mSim), "LOC");
}

// A result file whose folder is missing is refused before the analyzer hears anything, not
// after the whole test.
TEST_F(AttendedRun, AResultFileThatCannotBeSavedIsRefusedBeforeTheFirstTest)
{
    const std::string path = StartSim(mSim);
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(StartRun({"--device", path, "--out", "/no/such/dir/x.xml"}, {"100"}));
    Outcome run = Finish();
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("/no/such/dir does not exist"), std::string::npos) << run.err;
    EXPECT_EQ(mSim.ReadUntil("heard", 300ms), "");
}

// A bench rehearsal: the built-in analyzer on the real clock, and the person discharges by
// typing it. Lines that cannot be read are refused and press nothing.
TEST_F(AttendedRun, ABenchRehearsalCompletesAnEnergyRunByTheTypedDischarge)
{
    ASSERT_TRUE(StartRun({"--device", "sim", "--operator", "person"}, {"100"}));
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("start \xff", "zarvik-host: a line that is not UTF-8 is refused; nothing was pressed\n"))
        << mHost.ErrorText();
    Type(std::string(5000, 'x') + " start");
    ASSERT_TRUE(Shows("zarvik-host: a line longer than 4096 bytes is refused; nothing was pressed\n"))
        << mHost.ErrorText();
    for (const char* controlled : {"\x1b[2Jstart", "\xc2\x9b" "2Jstart"}) {
        ASSERT_TRUE(
            TypeAndSee(controlled, "zarvik-host: a line with control characters is refused; nothing was pressed\n"))
            << mHost.ErrorText();
    }
    ASSERT_TRUE(TypeAndSee("begin", "zarvik-host: 'begin' is no word here; usable now: start")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("discharge lots", "zarvik-host: discharge needs JOULES from 0 to 1000"))
        << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("help", "usable now: start, next, previous, skip, n/a, abort, discharge, charge, pacemaker, "
                      "adapter, help\n")) << mHost.ErrorText();
    // Words and their arguments in any case, and units by their suffix.
    ASSERT_TRUE(TypeAndSee("ADAPTER ON", "zarvik-host: connected the pacer load adapter\n")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("pacemaker 60 50V", "zarvik-host: pacemaker needs PPM")) << mHost.ErrorText();
    EXPECT_EQ(mHost.ErrorText().find("status: Test in progress"), std::string::npos) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("start", "instruction (discharge): Defibrillate Now\n")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("discharge 100", "zarvik-host: discharged 100 J into the analyzer\n")) << mHost.ErrorText();
    ASSERT_TRUE(Shows("  Energy: 100 J (low 85.0 J, high 115.0 J), passed\n")) << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: next")) << mHost.ErrorText();
    Type("next");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("100\tpassed\n\tENGY\t100\tJ\tpassed\n", 0), 0u) << run.out;
}

// A test that failed because the dial was set wrong is run again from its window: start then
// chooses the Start of button 202's menu, and the new run's result replaces the failed one. A
// rehearsal's record names the simulated analyzer, whatever the bench's registry holds, and
// leaves the registry's identity list as it was.
TEST_F(AttendedRun, AFailedRunIsRunAgainByStartAndARehearsalRecordsTheSimulatedUnit)
{
    const std::string units = "HKEY_LOCAL_MACHINE\\Software\\Vantrel\\Telvo\\ZARVIK\\MtiData\\";
    {
        plat::RegistryStore bench(mHost.Folder() + "/registry");
        bench.SetDWord(units, "MRU", 0);
        bench.SetString(units + "ZARVIK", "Serial", "BENCH-7");
        bench.SetString(units + "ZARVIK", "Firmware", "3.2");
    }
    const std::string out = mHost.File("rehearsal.xml");
    ASSERT_TRUE(StartRun({"--device", "sim", "--operator", "person", "--out", out}, {"100"}));
    ASSERT_TRUE(Shows("analyzer: ZARVIK, serial SIMULATED, firmware SIMULATED\n")) << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("start", "instruction (discharge): Defibrillate Now\n")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("discharge 150", "  Energy: 150 J (low 85.0 J, high 115.0 J), failed\n"))
        << mHost.ErrorText();
    ASSERT_TRUE(Shows("outcome: test 100 failed\n")) << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: next, previous, skip, n/a, abort, start (start: run this test again)\n"))
        << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("unit BENCH-9",
                           "zarvik-host: the rehearsal's analyzer is the simulated one (ZARVIK, serial SIMULATED)"))
        << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("start", "you choose start from the menu: the test runs again\n")) << mHost.ErrorText();
    ASSERT_TRUE(Shows("instruction (discharge): Defibrillate Now\n")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("discharge 100", "  Energy: 100 J (low 85.0 J, high 115.0 J), passed\n"))
        << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: next")) << mHost.ErrorText();
    Type("next");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("100\tpassed\n\tENGY\t100\tJ\tpassed\n", 0), 0u) << run.out;
    const std::string saved = ztesting::ReadAll(out);
    EXPECT_NE(saved.find("Serial=\"SIMULATED\""), std::string::npos) << saved;
    EXPECT_EQ(saved.find("BENCH"), std::string::npos) << saved;
    // The report names the unit as the window did.
    const std::string report = ztesting::ReadAll(out + ".txt");
    EXPECT_NE(report.find("Analyzer: ZARVIK, serial number SIMULATED, firmware SIMULATED\n"), std::string::npos)
        << report;
    plat::RegistryStore bench(mHost.Folder() + "/registry");
    EXPECT_EQ(bench.GetValue(units + "ZARVIK", "Serial").value_or(plat::RegistryStore::Value{}).text, "BENCH-7");
    EXPECT_EQ(bench.GetValue(units + "ZARVIK", "Firmware").value_or(plat::RegistryStore::Value{}).text, "3.2");
}

// The identity changed by unit and a test run again: the run knew two analyzer units, and the
// report says under each test which one measured its result, as the results file ties it.
TEST_F(AttendedRun, EachTestOfTheReportNamesTheUnitItsResultWasMeasuredWith)
{
    const std::string out = mHost.File("units.xml");
    const std::string path = StartSim(mSim);
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(StartRun({"--device", path, "--out", out}, {"100", "200"}));
    // Test 100 measured with the unit of that identity, and left for test 200 with Next.
    auto measureWith = [&](const std::string& serial, const std::string& firmware) {
        if (!TypeAndSee("unit " + serial + " " + firmware,
                        "analyzer: ZARVIK, serial " + serial + ", firmware " + firmware + "\n"))
            return false;
        Type("start");
        if (!Shows("instruction (discharge): Defibrillate Now\n") ||
            !DischargeUntil([&] { mSim.Tell("discharge 100\n"); },
                            "  Energy: 100 J (low 85.0 J, high 115.0 J), passed\n") ||
            !Shows("buttons: next"))
            return false;
        Type("next");
        return Shows("== test 200: ") && Shows("buttons: start");
    };
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    ASSERT_TRUE(measureWith("SN-A", "1.0")) << mHost.ErrorText();
    Type("previous");
    ASSERT_TRUE(Shows("== test 100: ") && Shows("buttons: ")) << mHost.ErrorText();
    ASSERT_TRUE(measureWith("SN-B", "2.0")) << mHost.ErrorText();
    Type("next");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 1) << run.err;
    const std::string saved = ztesting::ReadAll(out);
    // The results file ties the result to the second unit.
    EXPECT_NE(saved.find("Index=\"2\" Type=\"ZARVIK\" Serial=\"SN-B\""), std::string::npos) << saved;
    EXPECT_NE(saved.find("<ResultItem MTI=\"2\""), std::string::npos) << saved;
    const std::string report = ztesting::ReadAll(out + ".txt");
    EXPECT_NE(report.find("Analyzer: ZARVIK, serial number SN-A, firmware 1.0\n"
                          "Analyzer: ZARVIK, serial number SN-B, firmware 2.0\n"),
              std::string::npos)
        << report;
    EXPECT_NE(report.find("\nEnergy measurement\nOutcome: passed\n"
                          "Measured with: ZARVIK, serial number SN-B, firmware 2.0\n"),
              std::string::npos)
        << report;
    // The test left without a run measured nothing, with no unit.
    EXPECT_NE(report.find("\nCharge time\nOutcome: not rated\nMeasured with: no analyzer unit recorded\n"),
              std::string::npos)
        << report;
}

// The verdict on a wave waits for this run's wave on the monitor: typed before Start it presses
// nothing. A wave the person leaves unjudged ends not rated, with no verdict anywhere.
TEST_F(AttendedRun, AVerdictWaitsForTheWaveAndAnUnjudgedWaveIsNotRated)
{
    const std::string out = mHost.File("wave.xml");
    ASSERT_TRUE(StartRun({"--device", "sim", "--operator", "person", "--out", out}, {"400"}));
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee(
        "pass", "zarvik-host: 'pass' does nothing now: the verdict waits for this run's wave on the monitor; "
                "usable now: start,"))
        << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("start", "the wave is on the monitor: watch the monitor, then type pass or fail\n"))
        << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("help", "usable now: stop, abort, pass, fail,")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("stop", "outcome: test 400 not rated\n")) << mHost.ErrorText();
    Type("next");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "400\tnot rated\n\tNSW\t\t\tnot rated\n") << run.err;
    EXPECT_EQ(run.err.find("you judge"), std::string::npos) << run.err;
    const std::string saved = ztesting::ReadAll(out);
    const auto result = saved.find("<ResultItem");
    ASSERT_NE(result, std::string::npos) << saved;
    EXPECT_EQ(saved.find("True", result), std::string::npos) << saved;
    EXPECT_EQ(ztesting::ReadAll(out + ".txt").find("passed"), std::string::npos) << ztesting::ReadAll(out + ".txt");
}


// Each test's window is announced with its buttons, also when the window before closed and the
// next opened between two looks of the console.
TEST_F(AttendedRun, EveryTestsWindowIsAnnounced)
{
    ASSERT_TRUE(StartRun({"--device", "sim", "--operator", "person"}, {"100", "200"}));
    ASSERT_TRUE(Shows("== test 100: Energy measurement ==\n")) << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    ASSERT_TRUE(TypeAndSee("skip", "== test 200: ")) << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    Type("skip");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "100\tskipped\n200\tskipped\n") << run.err;
}

// Lines that arrive together (a paste, a pipe) are each heard against the window as it stands
// once everything the line before set going has run: the same lines typed with gaps between
// them give the same records.
struct TypedAheadCase {
    const char* name;
    std::vector<std::string> testIds;
    std::vector<Step> before;
    std::vector<std::string> together;
    std::vector<Step> after;
    std::string out;
    std::string neverShown; // a line the console must not show
};

void PrintTo(const TypedAheadCase& c, std::ostream* out)
{
    *out << c.name;
}

class TypedAhead : public AttendedRun, public ::testing::WithParamInterface<std::tuple<TypedAheadCase, bool>> {};

const TypedAheadCase kTypedAheadCases[] = {
    // Next accepts the passed test; start begins the next one.
    {"NextThenStart",
     {"100", "100"},
     {{"", "buttons: start"},
      {"start", "instruction (discharge): Defibrillate Now\n"},
      {"discharge 100", "outcome: test 100 passed\n"},
      {"", "buttons: next"}},
     {"next", "start"},
     {{"", "instruction (discharge): Defibrillate Now\n"}, {"discharge 70", "outcome: test 100 failed\n"}, {"next", ""}},
     "100\tpassed\n\tENGY\t100\tJ\tpassed\n",
     "you choose start from the menu"},
    // A verdict typed with the start of a rerun waits for the rerun's own wave.
    {"StartThenVerdictOnAFinishedWave",
     {"400"},
     {{"", "buttons: start"},
      {"start", "the wave is on the monitor"},
      {"pass", "outcome: test 400 passed\n"},
      {"", "buttons: next"}},
     {"start", "fail"},
     {{"", "the wave is on the monitor"}, {"fail", "outcome: test 400 failed\n"}, {"next", ""}},
     "400\tfailed\n\tNSW\tfailed\t\tfailed\n",
     ""},
    // Next, start and a verdict meant for the next wave test never reach the test left.
    {"NextStartVerdictMeantForTheNextTest",
     {"400", "500"},
     {{"", "buttons: start"},
      {"start", "the wave is on the monitor"},
      {"pass", "outcome: test 400 passed\n"},
      {"", "buttons: next"}},
     {"next", "start", "fail"},
     {{"", "== test 500"}, {"", "the wave is on the monitor"}, {"fail", "outcome: test 500 failed\n"}, {"next", ""}},
     "400\tpassed\n\tNSW\tpassed\t\tpassed\n500\tfailed\n\tARR\tfailed\t\tfailed\n",
     "outcome: test 400 failed"},
    // A box's answer typed ahead answers the box once it is there; the next line acts on the
    // window after the box closed.
    {"AbortAnsweredNoThenStart",
     {"100"},
     {{"", "buttons: start"}},
     {"abort", "no", "start"},
     {{"", "instruction (discharge): Defibrillate Now\n"}, {"discharge 100", "outcome: test 100 passed\n"}, {"next", ""}},
     "100\tpassed\n\tENGY\t100\tJ\tpassed\n",
     "does nothing now"},
};

TEST_P(TypedAhead, LinesThatArriveTogetherActOnTheWindowTheyMeet)
{
    const auto& [c, together] = GetParam();
    ASSERT_TRUE(StartRehearsal(c.testIds));
    ASSERT_TRUE(Perform(c.before));
    if (together) {
        ASSERT_TRUE(mHost.Paste(c.together));
    } else {
        for (const auto& line : c.together) {
            Type(line);
            std::this_thread::sleep_for(20ms);
        }
    }
    ASSERT_TRUE(Perform(c.after));
    Outcome run = Finish();
    EXPECT_EQ(run.out.rfind(c.out, 0), 0u) << run.out << run.err;
    if (!c.neverShown.empty()) {
        EXPECT_EQ(run.err.find(c.neverShown), std::string::npos) << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Lines, TypedAhead,
                         ::testing::Combine(::testing::ValuesIn(kTypedAheadCases), ::testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "InOneWrite" : "WithGaps");
                         });

// A line piped in before the window opened acts on it once the window was shown; the end of the
// input comes after it, also for a last line without its line end (`printf 'n/a' | ...`).
TEST_F(AttendedRun, APipedLineActsOnTheWindowOnlyOnceItWasShown)
{
    for (const char* piped : {"n/a\n", "n/a", "n/a\r"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(piped)));
        mSeen = 0;
        ASSERT_TRUE(StartRehearsal({"100"}));
        ASSERT_TRUE(mHost.Send(piped));
        mHost.EndInput();
        Outcome run = Finish();
        const auto shown = run.err.find("== test 100: Energy measurement ==\n");
        const auto pressed = run.err.find("you press n/a\n");
        ASSERT_NE(pressed, std::string::npos) << run.err;
        EXPECT_LT(shown, pressed) << run.err;
        EXPECT_LT(run.err.find("buttons: start"), pressed) << run.err;
        EXPECT_LT(pressed, run.err.find("end of input")) << run.err;
        EXPECT_EQ(run.out.rfind("100\tskipped\n", 0), 0u) << run.out << run.err;
    }
}

// A writer that never pauses is heard line by line and in full while the window goes on: a
// paste of 100 000 lines, then a line that acts, then blank lines without end. The run reads
// only as fast as it hears, so its memory stays small.
TEST_F(AttendedRun, AWriterThatNeverPausesIsHeardInFull)
{
    constexpr int kPasted = 100000;
    ASSERT_TRUE(StartRehearsal({"100"}));
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    const long before = ztesting::PeakMemoryKb(mPid);
    std::atomic<bool> stop{false};
    std::thread writer([&, fd = mHost.InputFd()] {
        std::string text;
        for (int i = 0; i < kPasted; ++i) text += "\x01\n";
        text += "skip\n";
        const std::string blank(65536, '\n');
        for (std::string_view left = text; !stop;) {
            if (left.empty()) left = blank;
            const ssize_t n = ::write(fd, left.data(), left.size());
            if (n <= 0) break; // the run has gone
            left.remove_prefix(static_cast<std::size_t>(n));
        }
    });
    // The peak of the run's memory is read while it hears.
    long peak = before;
    bool ended = false;
    for (const auto deadline = std::chrono::steady_clock::now() + 20s;
         !ended && std::chrono::steady_clock::now() < deadline;) {
        peak = std::max(peak, ztesting::PeakMemoryKb(mPid));
        ended = mHost.WaitForError("you press skip\n", mPid, mSeen, 50ms) != std::string::npos;
    }
    Outcome run = Finish(20s);
    // The run has gone: the writer's next write fails.
    stop = true;
    writer.join();
    ASSERT_TRUE(ended) << "the line after the paste was never heard";
    EXPECT_EQ(run.status, 1) << run.err.substr(0, 2000);
    EXPECT_EQ(run.out, "100\tskipped\n");
    // Every pasted line was refused before the line after them acted.
    const std::string refusal = "a line with control characters is refused";
    const std::string beforeSkip = run.err.substr(0, run.err.find("you press skip"));
    std::size_t refused = 0;
    for (std::size_t at = 0; (at = beforeSkip.find(refusal, at)) != std::string::npos; at += refusal.size()) ++refused;
    EXPECT_EQ(refused, static_cast<std::size_t>(kPasted));
#if !defined(__SANITIZE_ADDRESS__)
    // A sanitizer's quarantine holds freed memory back; elsewhere the run's memory stays as it was.
    EXPECT_LT(peak - before, 64 * 1024) << "peak " << peak << " kB, " << before << " kB before the paste";
#else
    (void)peak;
    (void)before;
#endif
}

// A wave test's window offers no verdict before its own run's wave, whatever the window before
// it showed.
TEST_F(AttendedRun, TheNextWaveTestsWindowOffersNoVerdictBeforeItsOwnWave)
{
    ASSERT_TRUE(StartRehearsal({"400", "500"}));
    ASSERT_TRUE(Perform({{"", "buttons: start"},
                         {"start", "the wave is on the monitor"},
                         {"pass", "outcome: test 400 passed\n"},
                         {"next", "== test 500"},
                         {"", "buttons: start"},
                         {"pass", "'pass' does nothing now: the verdict waits for this run's wave on the monitor"},
                         {"skip", ""}}));
    Outcome run = Finish();
    EXPECT_EQ(run.out, "400\tpassed\n\tNSW\tpassed\t\tpassed\n500\tskipped\n") << run.err;
    // Nor does it show the outcome of the window before as its own.
    EXPECT_EQ(run.err.find("outcome: test 500"), std::string::npos) << run.err;
}

// A verdict given once the hold has ended is shown as the test's new outcome.
TEST_F(AttendedRun, AVerdictAfterTheHoldShowsTheNewOutcome)
{
    ASSERT_TRUE(StartRehearsal({"400"}));
    ASSERT_TRUE(Perform({{"", "buttons: start"},
                         {"start", "the wave is on the monitor"},
                         {"stop", "outcome: test 400 not rated\n"},
                         {"pass", "outcome: test 400 passed\n"},
                         {"next", ""}}));
    Outcome run = Finish();
    EXPECT_EQ(run.out, "400\tpassed\n\tNSW\tpassed\t\tpassed\n") << run.err;
}

// The terminal closing ends the run as SIGHUP does, whatever the window shows and whichever
// the run learns of first (the read that finds the terminal gone, or the signal): 129, and what
// was measured is kept. A borrowed terminal (one the run does not lead) sends no SIGHUP: the read
// alone tells. Ctrl-D typed at the terminal is an end of input: 130.
TEST_F(AttendedRun, TheTerminalClosingEndsTheRunWith129)
{
    using Input = ztesting::HostProgram::Input;
    struct Case {
        const char* name;
        Input input;
        std::vector<Step> steps;
        bool hangUp; // else Ctrl-D
        int status;
        const char* out;
    };
    const std::vector<Step> finished{{"start", "instruction (discharge): Defibrillate Now\n"},
                                     {"discharge 100", "outcome: test 100 passed\n"}};
    const Case cases[] = {
        {"in the measurement", Input::Terminal, {{"start", "instruction (discharge): Defibrillate Now\n"}}, true, 129,
         "100\tnot rated\n"},
        {"after a finished test", Input::Terminal, finished, true, 129, "100\tpassed\n\tENGY\t100\tJ\tpassed\n"},
        {"with a box waiting", Input::Terminal, {{"abort", "answer with: yes, no\n"}}, true, 129, "100\t"},
        {"borrowed, in the measurement", Input::BorrowedTerminal,
         {{"start", "instruction (discharge): Defibrillate Now\n"}}, true, 129, "100\tnot rated\n"},
        {"borrowed, after a finished test", Input::BorrowedTerminal, finished, true, 129,
         "100\tpassed\n\tENGY\t100\tJ\tpassed\n"},
        {"Ctrl-D after a finished test", Input::Terminal, finished, false, 130,
         "100\tpassed\n\tENGY\t100\tJ\tpassed\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mSeen = 0;
        ASSERT_TRUE(StartRehearsal({"100", "100"}, c.input));
        ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
        ASSERT_TRUE(Perform(c.steps));
        if (c.hangUp) {
            mHost.HangUp();
        } else {
            mHost.EndInput();
        }
        Outcome run = Finish(20s);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out.rfind(c.out, 0), 0u) << run.out << run.err;
        EXPECT_TRUE(run.out.ends_with("\n100\tnot run\n")) << run.out;
        // A terminal the run leads tells by its SIGHUP or by the read, whichever comes first.
        if (!c.hangUp || c.input == Input::BorrowedTerminal) {
            EXPECT_NE(run.err.find(c.hangUp ? "the terminal closed; stopping the test" : "end of input; stopping the test"),
                      std::string::npos)
                << run.err;
        }
    }
}

// A terminal that closes while the run starts up (after the program began, before the console
// reads) is the terminal closing too, also when no SIGHUP tells it: 129, never an end of input.
// Each try hangs up once the run has loaded the plug-in, which it does after it began and before
// its console starts; tries where the console had started already are closings as above.
TEST_F(AttendedRun, ATerminalThatClosesDuringTheStartUpEndsTheRunWith129)
{
    int duringStartUp = 0;
    for (int i = 0; i < 20 && duringStartUp < 5; ++i) {
        SCOPED_TRACE("try " + std::to_string(i));
        mSeen = 0;
        ASSERT_TRUE(StartRehearsal({"100"}, ztesting::HostProgram::Input::BorrowedTerminal));
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (!ztesting::HasLoaded(mPid, "libtelvoZarvik.so") && !ztesting::HasEnded(mPid) &&
               std::chrono::steady_clock::now() < deadline)
            ::usleep(100);
        mHost.HangUp();
        if (mHost.ErrorText().find("type help") == std::string::npos) ++duringStartUp;
        Outcome run = Finish();
        EXPECT_EQ(run.status, 129) << run.err;
        EXPECT_NE(run.err.find("the terminal closed; stopping the test"), std::string::npos) << run.err;
        EXPECT_EQ(run.out.rfind("100\t", 0), 0u) << run.out;
    }
    EXPECT_GT(duringStartUp, 0) << "no try closed the terminal during the start-up";
}

} // namespace
