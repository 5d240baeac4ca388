// zarvik-host run at its end: what the table and the report say of skipped tests, and the results
// and the report saved as one pair of this run whatever signals and other runs do meanwhile. A
// save in progress is held where it begins by holding the lock that saves of one file take
// turns by, as another run's save would.
#include "support/HostProgram.h"

#include "host/documents/HostLoadLog.h"
#include "host/elements/HostTestSequence.h"
#include "host/interfaces/IPlugIn.h"
#include "host/report/HostReport.h"
#include "host/report/HostRunReport.h"
#include "platform/base/FileIo.h"
#include "platform/com/ComRuntime.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <pthread.h>
#include <sstream>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Outcome = ztesting::ProgramOutcome;
using ztesting::ReadAll;
constexpr auto npos = std::string::npos;

// Whether the signal is still pending for the process (neither handled nor acted on yet).
bool Pending(pid_t pid, int signal)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    const unsigned long long bit = 1ull << (signal - 1);
    for (std::string line; std::getline(status, line);) {
        if (!line.starts_with("SigPnd:") && !line.starts_with("ShdPnd:")) continue;
        if (std::stoull(line.substr(7), nullptr, 16) & bit) return true;
    }
    return false;
}

class RunSave : public ::testing::Test {
protected:
    RunSave() { mHost.SetLeadingArguments({"--registry", mHost.File("registry")}); }

    // Holds the lock of the result file's saves, as a save in progress does.
    std::unique_ptr<plat::FileLock> HoldTheSave() const
    {
        return std::make_unique<plat::FileLock>(mHost.File(".results.xml.lock"));
    }
    // Waits until the run waits for the save held by the test.
    bool WaitsToSave(pid_t pid) const
    {
        return mHost.WaitForError("another run is saving " + mOut + "; waiting until it has\n", pid) != npos;
    }
    // Sends the signal and waits until the run has taken it.
    static void Signal(pid_t pid, int signal)
    {
        ::kill(pid, signal);
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        while (Pending(pid, signal) && !ztesting::HasEnded(pid) && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(5ms);
    }
    // Whether the results and the report are both there and of the run of that one test.
    void ExpectThePairOf(const std::string& testId, const std::string& testName, const std::string& outcome) const
    {
        EXPECT_NE(ReadAll(mOut).find("TestID=\"" + testId + "\""), npos) << ReadAll(mOut);
        EXPECT_NE(ReadAll(mOut + ".txt").find("\n" + testName + "\nOutcome: " + outcome + "\n"), npos)
            << ReadAll(mOut + ".txt");
    }

    ztesting::HostProgram mHost{"zarvik-run-save", "env-registry"};
    const std::string mOut = mHost.File("results.xml");
};

// A test left not applicable after its measurement, and a test skipped before its start, read
// skipped in the table and in the report, and the values measured stand without a verdict.
TEST_F(RunSave, SkippedTestsReadSkippedAndTheirValuesHaveNoVerdict)
{
    const pid_t pid = mHost.StartAttended(
        {"run", "--port", "1", "--device", "sim", "--operator", "person", "--out", mOut, "100", "200"});
    std::size_t seen = mHost.WaitForError("buttons: start", pid);
    ASSERT_NE(seen, npos) << mHost.ErrorText();
    mHost.Type("start");
    ASSERT_NE(seen = mHost.WaitForError("instruction (discharge): Defibrillate Now\n", pid, seen), npos);
    mHost.Type("discharge 150");
    ASSERT_NE(seen = mHost.WaitForError("outcome: test 100 failed\n", pid, seen), npos) << mHost.ErrorText();
    ASSERT_NE(seen = mHost.WaitForError("buttons: next", pid, seen), npos) << mHost.ErrorText();
    mHost.Type("n/a");
    ASSERT_NE(seen = mHost.WaitForError("== test 200: ", pid, seen), npos) << mHost.ErrorText();
    ASSERT_NE(seen = mHost.WaitForError("buttons: start", pid, seen), npos) << mHost.ErrorText();
    mHost.Type("skip");
    Outcome run = mHost.Finish(pid);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "100\tskipped\n"
                       "\tENGY\t150\tJ\t\n"
                       "\tPEAV\t1732\tV\t\n"
                       "\tPEAC\t34.6\tA\t\n"
                       "\tPULW\t5\tms\t\n"
                       "200\tskipped\n");
    const std::string report = ReadAll(mOut + ".txt");
    EXPECT_NE(report.find("\nEnergy measurement\nOutcome: skipped\n"), npos) << report;
    EXPECT_NE(report.find("\nCharge time\nOutcome: skipped\n"), npos) << report;
}

// The words after "Outcome: " in a readable report, one per test, and the report after its
// heading.
std::vector<std::string> OutcomeWords(const std::string& report)
{
    std::vector<std::string> words;
    std::istringstream lines(report);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Outcome: ", 0) == 0) words.push_back(line.substr(9));
    }
    return words;
}
std::string AfterTheHeading(const std::string& report)
{
    return report.substr(std::min(report.find("\n\n"), report.size()));
}

// FILE loaded again, as the host loads a saved sequence, and printed as the run printed it.
std::string ReopenedReport(const std::string& path, const std::shared_ptr<host::HostLoadLog>& log)
{
    ztesting::TempRegistry registry;
    for (const char* name : {"telvoView", "telvoTGCL2", "telvoZarvikVti", "telvoZarvikTest", "telvoZarvik"})
        plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/lib" + name + ".so");
    auto plugIn = plat::CreateObjectAs<host::IPlugIn>("TelvoZARVIK.CZARVIKPlugIn");
    if (!plugIn) return {};
    plugIn->Initialize(std::make_shared<host::HostLoadLog>());
    auto sequence = std::make_shared<host::HostTestSequence>(plugIn);
    sequence->Load(path, log);
    auto report = std::make_shared<host::HostReport>();
    host::PrintRunReport(report, *sequence, host::RunReportHeading{});
    return report->Text();
}

// Every outcome a test can have reads the same in the table, the report and the report of the
// saved results loaded again: passed, failed, not rated (stopped in its measurement), skipped,
// aborted after a passed measurement (the person confirmed that its result is discarded, but it
// was run) and not run (after the abort). The console tells the abort as the outcome it is.
TEST_F(RunSave, EveryOutcomeReadsTheSameInTheTableTheReportAndTheReopenedResults)
{
    const pid_t pid = mHost.StartAttended({"run", "--port", "1", "--device", "sim", "--operator", "person", "--out",
                                           mOut, "100", "100", "100", "100", "100", "200"});
    std::size_t seen = 0;
    auto see = [&](const std::string& text) {
        seen = mHost.WaitForError(text, pid, seen);
        return seen != npos;
    };
    auto measure = [&](const std::string& discharge, const std::string& outcome) {
        return see("buttons: start") && mHost.Type("start") && see("instruction (discharge): Defibrillate Now\n") &&
               mHost.Type(discharge) && see("outcome: test 100 " + outcome + "\nbuttons: ");
    };
    ASSERT_TRUE(measure("discharge 100", "passed")) << mHost.ErrorText();
    mHost.Type("next");
    ASSERT_TRUE(see("== test 100: ") && measure("discharge 150", "failed")) << mHost.ErrorText();
    mHost.Type("next");
    ASSERT_TRUE(see("== test 100: ") && measure("stop", "not rated")) << mHost.ErrorText();
    mHost.Type("next");
    ASSERT_TRUE(see("== test 100: ") && see("buttons: start")) << mHost.ErrorText();
    mHost.Type("skip");
    ASSERT_TRUE(see("== test 100: ") && measure("discharge 100", "passed")) << mHost.ErrorText();
    mHost.Type("abort");
    ASSERT_TRUE(see("answer with: yes, no\n")) << mHost.ErrorText();
    mHost.Type("yes");
    ASSERT_TRUE(see("outcome: test 100 aborted\n")) << mHost.ErrorText();
    Outcome run = mHost.Finish(pid);
    EXPECT_EQ(run.status, 1) << run.err;

    const std::vector<std::string> outcomes{"passed", "failed", "not rated", "skipped", "aborted", "not run"};
    std::vector<std::string> table;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line[0] != '\t') table.push_back(line.substr(line.find('\t') + 1));
    }
    EXPECT_EQ(table, outcomes) << run.out;
    // The aborted test's result is discarded: it has no values.
    EXPECT_NE(run.out.find("100\taborted\n200\tnot run\n"), npos) << run.out;

    const std::string report = ReadAll(mOut + ".txt");
    EXPECT_EQ(OutcomeWords(report), outcomes) << report;
    auto log = std::make_shared<host::HostLoadLog>();
    const std::string reopened = ReopenedReport(mOut, log);
    EXPECT_EQ(OutcomeWords(reopened), outcomes) << reopened;
    EXPECT_EQ(AfterTheHeading(reopened), AfterTheHeading(report));
    EXPECT_EQ(log->ToText().find("severity 2"), npos) << log->ToText();
}

// A battery test aborted in the middle of its series reads aborted as well, everywhere.
TEST_F(RunSave, ABatteryTestAbortedInItsSeriesReadsAborted)
{
    const pid_t pid = mHost.StartAttended(
        {"run", "--port", "1", "--device", "sim", "--operator", "person", "--out", mOut, "900", "100"});
    std::size_t seen = 0;
    auto typeAndSee = [&](const std::string& line, const std::string& text) {
        if (!line.empty()) mHost.Type(line);
        seen = mHost.WaitForError(text, pid, seen);
        return seen != npos;
    };
    ASSERT_TRUE(typeAndSee("", "buttons: start")) << mHost.ErrorText();
    ASSERT_TRUE(typeAndSee("start", "Charge and discharge repeatedly")) << mHost.ErrorText();
    ASSERT_TRUE(typeAndSee("charge 6.5", "zarvik-host: charged the defibrillator")) << mHost.ErrorText();
    ASSERT_TRUE(typeAndSee("abort", "answer with: yes, no\n")) << mHost.ErrorText();
    ASSERT_TRUE(typeAndSee("yes", "outcome: test 900 aborted\n")) << mHost.ErrorText();
    Outcome run = mHost.Finish(pid);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.out, "900\taborted\n100\tnot run\n");
    const std::vector<std::string> outcomes{"aborted", "not run"};
    EXPECT_EQ(OutcomeWords(ReadAll(mOut + ".txt")), outcomes);
    EXPECT_EQ(OutcomeWords(ReopenedReport(mOut, std::make_shared<host::HostLoadLog>())), outcomes);
}

// A results file reopened reads each test as its result says, and needs the stored outcome only
// for a test that left no result; a file without stored outcomes (an older one) loads as it did.
// A stored outcome that the file's own result, or its lack of one, contradicts is told in the
// load log and printed beside the outcome the test reads as, never alone.
TEST_F(RunSave, AReopenedOutcomeIsOneItsResultAllows)
{
    Outcome run = mHost.Run({"run", "--port", "1", "--device", "sim", "--out", mOut, "100", "200"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string saved = ReadAll(mOut);
    // The first test's stored outcome replaced, and its result removed when asked.
    auto edited = [&](const std::string& outcome, bool withResult) {
        std::string text = saved;
        const std::string stored = " Outcome=\"passed\"";
        text.replace(text.find(stored), stored.size(), outcome.empty() ? "" : " Outcome=\"" + outcome + "\"");
        if (!withResult) {
            const auto begin = text.find("<ResultItem");
            const std::string end = "</ResultItem>";
            text.erase(begin, text.find(end, begin) + end.size() - begin);
        }
        return text;
    };
    struct Case {
        const char* name;
        std::string outcome; // stored for the first test; "" for none
        bool withResult;
        std::string reads;
        bool told;
    };
    const Case cases[] = {
        {"as saved", "passed", true, "passed", false},
        {"an older file", "", true, "passed", false},
        {"an older file's test without a result", "", false, "not run", false},
        {"aborted", "aborted", false, "aborted", false},
        {"skipped", "skipped", false, "skipped", false},
        {"not run", "not run", false, "not run", false},
        {"failed over a passed result", "failed", true, "passed (the file also stores the outcome 'failed')", true},
        {"skipped over a result", "skipped", true, "passed (the file also stores the outcome 'skipped')", true},
        {"passed without a result", "passed", false, "not run (the file also stores the outcome 'passed')", true},
        {"a word of no outcome", "done", false, "not run (the file also stores the outcome 'done')", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = mHost.File("edited.xml");
        ztesting::WriteAll(path, edited(c.outcome, c.withResult));
        auto log = std::make_shared<host::HostLoadLog>();
        const std::string reopened = ReopenedReport(path, log);
        EXPECT_EQ(OutcomeWords(reopened), (std::vector<std::string>{c.reads, "passed"})) << reopened;
        EXPECT_EQ(log->ToText().find("severity 2") != npos, c.told) << log->ToText();
        if (c.told) {
            EXPECT_NE(log->ToText().find("test ID '100' stores the outcome '" + c.outcome + "'"), npos)
                << log->ToText();
        }
    }
}

// Each test of a reopened results file names the unit its result refers to, and says so where
// the file records none, or one its list of units lacks; a test without a result names none.
TEST_F(RunSave, AReopenedReportNamesTheUnitOfEachResult)
{
    Outcome run = mHost.Run({"run", "--port", "1", "--device", "sim", "--out", mOut, "100"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string saved = ReadAll(mOut);
    struct Case {
        const char* name;
        std::string from, to; // the edit of the saved file
        std::string line;     // the line after the outcome
        bool told = false;    // in the load log
    };
    const Case cases[] = {
        {"as saved", "", "", "Measured with: ZARVIK, serial number SIMULATED, firmware SIMULATED"},
        {"a unit the list lacks", "<ResultItem MTI=\"1\"", "<ResultItem MTI=\"5\"",
         "Measured with: analyzer unit 5, which the list of units lacks", true},
        {"no unit", "<ResultItem MTI=\"1\"", "<ResultItem", "Measured with: no analyzer unit recorded"},
        {"no result", "<ResultItem MTI=\"1\"", "<Ignored", "---"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = saved;
        if (!c.from.empty()) {
            text.replace(text.find(c.from), c.from.size(), c.to);
            if (c.to == "<Ignored") text.replace(text.find("</ResultItem>"), 13, "</Ignored>");
        }
        const std::string path = mHost.File("edited.xml");
        ztesting::WriteAll(path, text);
        auto log = std::make_shared<host::HostLoadLog>();
        const std::string reopened = ReopenedReport(path, log);
        EXPECT_EQ(log->ToText().find("names the analyzer unit 5, which the list of units lacks") != npos, c.told)
            << log->ToText();
        const auto outcome = reopened.find("\nOutcome: ");
        ASSERT_NE(outcome, npos) << reopened;
        const auto next = reopened.find('\n', outcome + 1) + 1;
        EXPECT_EQ(reopened.substr(next, reopened.find('\n', next) - next).substr(0, c.line.size()), c.line)
            << reopened;
    }
}

// A signal while the results are saved only records itself: the save ends with both files of
// this run, and the exit status names the signal.
TEST_F(RunSave, ASignalDuringTheSaveCostsNothing)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(::strsignal(signal));
        std::filesystem::remove(mOut);
        std::filesystem::remove(mOut + ".txt");
        auto held = HoldTheSave();
        const pid_t pid = mHost.Start({"run", "--port", "1", "--device", "sim", "--out", mOut, "100"});
        ASSERT_TRUE(WaitsToSave(pid)) << mHost.ErrorText();
        Signal(pid, signal);
        held.reset();
        Outcome run = mHost.Finish(pid);
        EXPECT_EQ(run.status, 128 + signal) << run.err;
        EXPECT_EQ(run.out.rfind("100\tpassed\n", 0), 0u) << run.out;
        EXPECT_NE(run.err.find("results saved in " + mOut + ", the report in " + mOut + ".txt\n"), npos) << run.err;
        ExpectThePairOf("100", "Energy measurement", "passed");
    }
}

// A logout sends SIGTERM, then SIGHUP: the first leaves the attended run, the second comes
// during the save and costs nothing; the exit status is the first one's.
TEST_F(RunSave, ALogoutsSecondSignalComesDuringTheSave)
{
    auto held = HoldTheSave();
    const pid_t pid = mHost.StartAttended(
        {"run", "--port", "1", "--device", "sim", "--operator", "person", "--out", mOut, "100", "200"});
    ASSERT_NE(mHost.WaitForError("buttons: start", pid), npos) << mHost.ErrorText();
    Signal(pid, SIGTERM);
    ASSERT_TRUE(WaitsToSave(pid)) << mHost.ErrorText();
    Signal(pid, SIGHUP);
    held.reset();
    Outcome run = mHost.Finish(pid);
    EXPECT_EQ(run.status, 143) << run.err;
    EXPECT_EQ(run.out.rfind("100\tnot rated\n", 0), 0u) << run.out;
    EXPECT_TRUE(run.out.ends_with("\n200\tnot run\n")) << run.out;
    EXPECT_NE(run.err.find("results saved in " + mOut), npos) << run.err;
    ExpectThePairOf("200", "Charge time", "not run");
}

// A signal sent while the run starts up, before its first test, ends the run there: nothing
// is run, the tests are printed and saved as not run, and the exit status names the signal. The
// signal is sent before the program could catch it, blocked as the program inherits it, and
// must be heard once the run catches signals.
TEST_F(RunSave, ASignalDuringTheStartUpEndsTheRunBeforeItsFirstTest)
{
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(::strsignal(signal));
        sigset_t blocked;
        sigset_t before;
        ::sigemptyset(&blocked);
        ::sigaddset(&blocked, signal);
        ::pthread_sigmask(SIG_BLOCK, &blocked, &before);
        const pid_t pid = mHost.Start({"run", "--port", "1", "--device", "sim", "--out", mOut, "100", "200"});
        ::kill(pid, signal);
        ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
        Outcome run = mHost.Finish(pid);
        EXPECT_EQ(run.status, 128 + signal) << run.err;
        EXPECT_EQ(run.out, "100\tnot run\n200\tnot run\n") << run.err;
        EXPECT_NE(run.err.find("before the first test; no test is run\n"), npos) << run.err;
        EXPECT_EQ(run.err.find("operator:"), npos) << run.err;
        ExpectThePairOf("200", "Charge time", "not run");
    }
}

// Two runs saving one file take turns: while one saves, the other waits and writes nothing, and
// at the end the results and the report are of one run.
TEST_F(RunSave, TwoRunsSavingOneFileTakeTurns)
{
    ztesting::HostProgram other{"zarvik-run-save-other", "env-registry"};
    other.SetLeadingArguments({"--registry", other.File("registry")});
    auto held = HoldTheSave();
    const pid_t first = mHost.Start({"run", "--port", "1", "--device", "sim", "--out", mOut, "100"});
    const pid_t second = other.Start({"run", "--port", "1", "--device", "sim", "--out", mOut, "200"});
    ASSERT_TRUE(WaitsToSave(first)) << mHost.ErrorText();
    ASSERT_NE(other.WaitForError("another run is saving " + mOut, second), npos) << other.ErrorText();
    EXPECT_FALSE(std::filesystem::exists(mOut));
    EXPECT_FALSE(std::filesystem::exists(mOut + ".txt"));
    held.reset();
    for (const Outcome& run : {mHost.Finish(first), other.Finish(second)}) {
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.err.find("results saved in " + mOut), npos) << run.err;
    }
    if (ReadAll(mOut).find("TestID=\"100\"") != npos) {
        ExpectThePairOf("100", "Energy measurement", "passed");
    } else {
        ExpectThePairOf("200", "Charge time", "passed");
    }
}

// A report that cannot be written at the end (a folder took its place during the run) fails
// the save before anything is changed: the previous results stay, and the run says so.
TEST_F(RunSave, AReportThatCannotBeWrittenAtTheEndChangesNothing)
{
    ztesting::WriteAll(mOut, "the previous results");
    auto held = HoldTheSave();
    const pid_t pid = mHost.Start({"run", "--port", "1", "--device", "sim", "--out", mOut, "100"});
    ASSERT_TRUE(WaitsToSave(pid)) << mHost.ErrorText();
    std::filesystem::create_directory(mOut + ".txt");
    held.reset();
    Outcome run = mHost.Finish(pid);
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_EQ(run.out.rfind("100\tpassed\n", 0), 0u) << run.out;
    EXPECT_NE(run.err.find("zarvik-host: run: the results were not saved: '" + mOut + ".txt' is not a file; " + mOut +
                           " and " + mOut + ".txt are as they were\n"),
              npos)
        << run.err;
    EXPECT_EQ(ReadAll(mOut), "the previous results");
}

// A reader of the table that goes away (`| head`) costs the run nothing: the results are saved.
TEST_F(RunSave, AClosedOutputPipeCostsTheSaveNothing)
{
    ztesting::HostProgram piped{"zarvik-run-piped"};
    piped.SetLeadingArguments({"--registry", mHost.File("registry")});
    // The run's standard output is a pipe whose reader has gone by the time the table comes.
    piped.SetLauncher({"bash", "-c", "set -o pipefail; \"$@\" | true", "piped"});
    Outcome run = piped.Run({"run", "--port", "1", "--device", "sim", "--out", mOut, "100"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(ReadAll(mOut).find("TestID=\"100\""), npos);
    EXPECT_NE(ReadAll(mOut + ".txt").find("Outcome: passed"), npos);
}

} // namespace
