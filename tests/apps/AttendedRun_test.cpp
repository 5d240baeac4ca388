// zarvik-host run attended by a person: zarvik-sim on a pseudo-terminal as the analyzer (or the
// built-in one on the real clock), and a scripted person who reads the console on the run's
// standard error and types on its standard input. Each step waits for what the console shows.
#include "support/HostProgram.h"
#include "support/SimProgram.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Outcome = ztesting::ProgramOutcome;

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

    bool StartRun(std::vector<std::string> options, std::vector<std::string> testIds)
    {
        std::vector<std::string> args{"run", "--port", "1"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), testIds.begin(), testIds.end());
        mPid = mHost.StartAttended(args);
        return mPid > 0;
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
    Type("FAIL");
    ASSERT_TRUE(Shows("failed\n")) << mHost.ErrorText();
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
    Type("stop");
    ASSERT_TRUE(Shows("zarvik-host: 'stop' does nothing now; usable now: start, next")) << mHost.ErrorText();
    EXPECT_EQ(mSim.ReadUntil("heard", 200ms), "");
    Type("Start");
    ASSERT_TRUE(Shows("instruction (discharge): Defibrillate Now\n")) << mHost.ErrorText();
    // The person shocks again until the run has its data (a discharge the analyzer takes
    // before the run's mode command is not this run's).
    bool measured = false;
    for (int i = 0; i < 40 && !measured; ++i) {
        mSim.Tell("discharge 100\n");
        measured = Shows("  Energy: 100 J (low 85.0 J, high 115.0 J), passed\n", 500ms);
    }
    ASSERT_TRUE(measured) << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: next")) << mHost.ErrorText();
    EXPECT_FALSE(ztesting::HasEnded(mPid)) << "the run ended before the person's Next";
    Type("unit SN-0042 2.1");
    ASSERT_TRUE(Shows("analyzer: ZARVIK, serial SN-0042, firmware 2.1\n")) << mHost.ErrorText();
    Type("next");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("100\tpassed\n\tENGY\t100\tJ\tpassed\n", 0), 0u) << run.out;
}

// A box waits for the person's answer, and only the box's own words answer it. Aborting the
// first of two tests leaves both not run, which is no success.
TEST_F(AttendedRun, ABoxWaitsForThePersonsAnswer)
{
    ASSERT_TRUE(StartOnTheSimulator({"100", "200"}));
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    Type("abort");
    ASSERT_TRUE(Shows("box: Test guide: Do you really want to abort the test?\nanswer with: yes, no\n"))
        << mHost.ErrorText();
    Type("start");
    ASSERT_TRUE(Shows("'start' does nothing now; usable now: yes, no, help\n")) << mHost.ErrorText();
    EXPECT_EQ(mSim.ReadUntil("heard", 300ms), "");
    Type("No");
    // The window goes on: the person starts the test, and aborts it after all.
    Type("start");
    ASSERT_TRUE(Shows("status: Test in progress")) << mHost.ErrorText();
    Type("abort");
    ASSERT_TRUE(Shows("answer with: yes, no\n")) << mHost.ErrorText();
    EXPECT_FALSE(ztesting::HasEnded(mPid));
    Type("yes");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "100\tnot run\n200\tnot run\n") << run.err;
}

// The end of the person's input and Ctrl-C alike: the test in hand is stopped, the analyzer
// released, the remaining tests are not run, and the run says it was interrupted.
TEST_F(AttendedRun, EndOfInputAndCtrlCStopTheRunAndReleaseTheAnalyzer)
{
    for (const bool ctrlC : {false, true}) {
        SCOPED_TRACE(ctrlC ? "Ctrl-C" : "end of input");
        ztesting::SimProgram sim;
        ASSERT_TRUE(sim.Start({"--log"}));
        std::string path = sim.ReadLine(5s);
        ASSERT_TRUE(path.ends_with("\n"));
        path.pop_back();
        mSeen = 0;
        ASSERT_TRUE(StartRun({"--device", path}, {"100", "100"}));
        ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
        Type("start");
        ASSERT_TRUE(Shows("instruction (discharge): Defibrillate Now\n")) << mHost.ErrorText();
        ASSERT_NE(sim.ReadUntil("heard QDATA", 5s).find("heard QDATA"), std::string::npos);
        if (ctrlC) {
            ::kill(mPid, SIGINT);
        } else {
            mHost.EndInput();
        }
        Outcome run = Finish(20s);
        EXPECT_EQ(run.status, 130) << run.err;
        EXPECT_EQ(run.out, "100\tnot run\n100\tnot run\n") << run.err;
        // The release ("LOC") follows the polls.
        EXPECT_NE(sim.ReadUntil("heard LOC", 2s).find("heard LOC"), std::string::npos);
    }
}

// A bench rehearsal: the built-in analyzer on the real clock, and the person discharges by
// typing it. Lines that cannot be read are refused and press nothing.
TEST_F(AttendedRun, ABenchRehearsalCompletesAnEnergyRunByTheTypedDischarge)
{
    ASSERT_TRUE(StartRun({"--device", "sim", "--operator", "person"}, {"100"}));
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    Type("start \xff");
    ASSERT_TRUE(Shows("zarvik-host: a line that is not UTF-8 is refused; nothing was pressed\n")) << mHost.ErrorText();
    Type(std::string(5000, 'x') + " start");
    ASSERT_TRUE(Shows("zarvik-host: a line longer than 4096 bytes is refused; nothing was pressed\n"))
        << mHost.ErrorText();
    Type("\x1b[2Jstart");
    ASSERT_TRUE(Shows("zarvik-host: a line with control characters is refused; nothing was pressed\n"))
        << mHost.ErrorText();
    Type("begin");
    ASSERT_TRUE(Shows("zarvik-host: 'begin' is no word here; usable now: start")) << mHost.ErrorText();
    Type("discharge lots");
    ASSERT_TRUE(Shows("zarvik-host: discharge needs JOULES, from 0 to 1000\n")) << mHost.ErrorText();
    Type("help");
    ASSERT_TRUE(Shows("usable now: start, next, previous, skip, n/a, abort, unit, discharge, charge, pacemaker, "
                      "adapter, help\n"))
        << mHost.ErrorText();
    EXPECT_EQ(mHost.ErrorText().find("status: Test in progress"), std::string::npos) << mHost.ErrorText();
    Type("start");
    ASSERT_TRUE(Shows("instruction (discharge): Defibrillate Now\n")) << mHost.ErrorText();
    Type("discharge 100");
    ASSERT_TRUE(Shows("  Energy: 100 J (low 85.0 J, high 115.0 J), passed\n")) << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: next")) << mHost.ErrorText();
    Type("next");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("100\tpassed\n\tENGY\t100\tJ\tpassed\n", 0), 0u) << run.out;
}


// Each test's window is announced with its buttons, also when the window before closed and the
// next opened between two looks of the console.
TEST_F(AttendedRun, EveryTestsWindowIsAnnounced)
{
    ASSERT_TRUE(StartRun({"--device", "sim", "--operator", "person"}, {"100", "200"}));
    ASSERT_TRUE(Shows("== test 100: Energy measurement ==\n")) << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    Type("skip");
    ASSERT_TRUE(Shows("== test 200: ")) << mHost.ErrorText();
    ASSERT_TRUE(Shows("buttons: start")) << mHost.ErrorText();
    Type("skip");
    Outcome run = Finish();
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "100\tskipped\n200\tskipped\n") << run.err;
}

} // namespace
