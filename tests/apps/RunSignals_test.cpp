// zarvik-host run at the edges of its process: standard descriptors closed at start, ending
// signals ignored by whoever started it, and ending signals that come together.
#include "support/HostProgram.h"
#include "support/SimProgram.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Outcome = ztesting::ProgramOutcome;

class RunSignals : public ::testing::Test {
protected:
    RunSignals() { mHost.SetLeadingArguments({"--registry", mHost.Folder() + "/registry"}); }

    // A bench rehearsal of the tests with its standard input a pipe of the test.
    pid_t StartRehearsal(std::vector<std::string> options, std::vector<std::string> testIds)
    {
        std::vector<std::string> args{"run", "--port", "1", "--device", "sim", "--operator", "person"};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), testIds.begin(), testIds.end());
        return mHost.StartAttended(args);
    }

    ztesting::HostProgram mHost{"zarvik-run-signals", "env-registry"};
};

// A standard descriptor closed at start (`<&-`, `2>&-`) is no descriptor the run makes for
// itself: with its input closed the run hears the end of input at once (130) and keeps what its
// window shows, with --out saved, whichever others are closed too.
TEST_F(RunSignals, ClosedStandardDescriptorsAreNoneOfTheRunsOwn)
{
    const std::vector<std::vector<int>> cases{{0}, {0, 2}, {0, 1}, {0, 1, 2}};
    for (const auto& closed : cases) {
        std::string name;
        for (int fd : closed) name += std::to_string(fd) + " ";
        SCOPED_TRACE("closed: " + name);
        const std::string out = mHost.File("closed-" + std::to_string(closed.size()) + "-" +
                                           std::to_string(closed.back()) + ".xml");
        mHost.SetClosedDescriptors(closed);
        Outcome run = mHost.Finish(
            mHost.Start({"run", "--port", "1", "--device", "sim", "--operator", "person", "--out", out, "100"}));
        EXPECT_EQ(run.status, 130) << run.err;
        const bool outOpen = std::find(closed.begin(), closed.end(), 1) == closed.end();
        const bool errOpen = std::find(closed.begin(), closed.end(), 2) == closed.end();
        if (outOpen) {
            EXPECT_EQ(run.out.rfind("100\tnot rated\n", 0), 0u) << run.out;
        }
        if (errOpen) {
            EXPECT_NE(run.err.find("end of input; stopping the test"), std::string::npos) << run.err;
        }
        EXPECT_NE(ztesting::ReadAll(out).find("ResultItem"), std::string::npos) << run.err;
    }
}

// An ending signal ignored by whoever started the run (nohup ignores SIGHUP) stays ignored: a
// logout does not cut short an automatic run under nohup, while SIGTERM still stops it.
TEST_F(RunSignals, ASignalIgnoredAtTheStartStaysIgnored)
{
    struct Case {
        int signal;
        int status;
        const char* out;
    };
    const Case cases[] = {{SIGHUP, 1, "100\tfailed\n\tENGY\t150\tJ\tfailed\n"},
                          {SIGTERM, 143, "100\tnot rated\n\tENGY\t\tJ\tnot rated\n"}};
    mHost.SetLauncher({"nohup"});
    for (const auto& c : cases) {
        SCOPED_TRACE(::strsignal(c.signal));
        ztesting::SimProgram sim;
        ASSERT_TRUE(sim.Start({}));
        std::string path = sim.ReadLine(5s);
        ASSERT_TRUE(path.ends_with("\n"));
        path.pop_back();
        const pid_t pid = mHost.Start({"run", "--port", "1", "--device", path, "--operator", "auto", "100"});
        ASSERT_GT(pid, 0);
        ASSERT_NE(mHost.WaitForError("please discharge now", pid, 0, 20s), std::string::npos) << mHost.ErrorText();
        ::kill(pid, c.signal);
        // The person discharges until the run has its data, or has ended.
        const auto deadline = std::chrono::steady_clock::now() + 20s;
        while (!ztesting::HasEnded(pid) && std::chrono::steady_clock::now() < deadline && sim.Tell("discharge 150\n")) {
            for (int i = 0; i < 25 && !ztesting::HasEnded(pid); ++i) std::this_thread::sleep_for(20ms);
        }
        Outcome run = mHost.Finish(pid, 5s);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_EQ(run.out.rfind(c.out, 0), 0u) << run.out << run.err;
    }
}

// The first ending signal gives the status, also when a second follows at once (a logout sends
// SIGTERM, then SIGHUP) and both reach the run together, at any moment of the run: during its
// start-up, in the window, while it leaves.
TEST_F(RunSignals, TheFirstOfTwoSignalsSentAtOnceGivesTheStatus)
{
    for (int i = 0; i < 24; ++i) {
        SCOPED_TRACE("try " + std::to_string(i));
        const pid_t pid = StartRehearsal({}, {"100"});
        ASSERT_GT(pid, 0);
        // Half the tries at a sweep of moments of the start-up once the run catches the signals
        // (it has, once it loads the plug-in); the others once the window shows.
        if (i % 2 == 0) {
            const auto deadline = std::chrono::steady_clock::now() + 5s;
            while (!ztesting::HasLoaded(pid, "libtelvoZarvik.so") && !ztesting::HasEnded(pid) &&
                   std::chrono::steady_clock::now() < deadline)
                ::usleep(100);
            std::this_thread::sleep_for(std::chrono::microseconds(i * 250));
        } else {
            ASSERT_NE(mHost.WaitForError("buttons: start", pid), std::string::npos) << mHost.ErrorText();
        }
        ::kill(pid, SIGTERM);
        ::kill(pid, SIGHUP);
        Outcome run = mHost.Finish(pid);
        EXPECT_EQ(run.status, 143) << run.err;
    }
}

} // namespace
