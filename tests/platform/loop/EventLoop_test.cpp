#include "platform/loop/EventLoop.h"
#include "tests/support/VirtualLoop.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using plat::DeadlockError;
using plat::FdWatch;
using plat::Timer;
using Log = std::vector<std::string>;

namespace {

class EventLoopTest : public ztesting::VirtualLoopTest {
protected:
    // A handler that notes its name and the virtual time (ms since the test began) it ran at.
    std::function<void()> Note(const std::string& name)
    {
        return [this, name] { mLog.push_back(name + "@" + std::to_string(ElapsedMs())); };
    }

    Log mLog;
};

// A pipe whose ends are closed with the test.
struct Pipe {
    Pipe()
    {
        if (pipe2(mFds, O_NONBLOCK | O_CLOEXEC) != 0) throw std::runtime_error("pipe2");
    }
    ~Pipe()
    {
        CloseRead();
        if (mFds[1] >= 0) close(mFds[1]);
    }
    void CloseRead()
    {
        if (mFds[0] >= 0) close(mFds[0]);
        mFds[0] = -1;
    }
    int Read() const { return mFds[0]; }
    void Write(const char* text) const { ASSERT_GT(write(mFds[1], text, strlen(text)), 0); }
    std::string Drain() const
    {
        char buffer[64];
        const ssize_t got = read(mFds[0], buffer, sizeof buffer);
        return got > 0 ? std::string(buffer, static_cast<size_t>(got)) : std::string();
    }
    int mFds[2] = {-1, -1};
};

TEST_F(EventLoopTest, TimersFallDueByDeadlineThenByCreation)
{
    std::vector<Timer> timers;
    timers.push_back(TestLoop().StartOneShot(30ms, Note("a")));
    timers.push_back(TestLoop().StartOneShot(10ms, Note("b")));
    timers.push_back(TestLoop().StartPeriodic(15ms, Note("p")));
    timers.push_back(TestLoop().StartOneShot(20ms, Note("c")));
    timers.push_back(TestLoop().StartOneShot(10ms, Note("d")));
    timers.push_back(TestLoop().StartOneShot(0ms, Note("e")));
    timers.push_back(TestLoop().StartOneShot(30ms, Note("f")));

    FastForwardBy(40ms);

    // The periodic timer's second tick shares 30 ms with a and f and keeps its place of creation.
    EXPECT_EQ(mLog, (Log{"e@0", "b@10", "d@10", "p@15", "c@20", "a@30", "p@30", "f@30"}));
    EXPECT_FALSE(timers[0].IsActive());
    EXPECT_TRUE(timers[2].IsActive());
    EXPECT_EQ(ElapsedMs(), 40);
}

TEST_F(EventLoopTest, PeriodicTicksKeepExactTimesAcrossFastForwards)
{
    Timer tick = TestLoop().StartPeriodic(250ms, Note("t"));
    FastForwardBy(600ms);
    FastForwardBy(400ms);
    EXPECT_EQ(mLog, (Log{"t@250", "t@500", "t@750", "t@1000"}));
}

TEST_F(EventLoopTest, StoppedDestroyedAndZeroIntervalTimersNeverTick)
{
    Timer zero = TestLoop().StartPeriodic(0ms, Note("zero"));
    Timer negative = TestLoop().StartPeriodic(-5ms, Note("negative"));
    EXPECT_FALSE(zero.IsActive());
    EXPECT_FALSE(negative.IsActive());

    Timer stopped = TestLoop().StartPeriodic(100ms, Note("stopped"));
    Timer stopper = TestLoop().StartOneShot(250ms, [&] { stopped.Stop(); });
    { Timer destroyed = TestLoop().StartPeriodic(100ms, Note("destroyed")); }
    int selfTicks = 0;
    Timer self;
    self = TestLoop().StartPeriodic(100ms, [&] {
        if (++selfTicks == 3) self.Stop();
    });
    bool activeInOwnHandler = true;
    Timer oneShot;
    oneShot = TestLoop().StartOneShot(50ms, [&] { activeInOwnHandler = oneShot.IsActive(); });
    EXPECT_TRUE(oneShot.IsActive());

    FastForwardBy(1000ms);

    EXPECT_EQ(mLog, (Log{"stopped@100", "stopped@200"}));
    EXPECT_EQ(selfTicks, 3);
    EXPECT_FALSE(self.IsActive());
    EXPECT_FALSE(stopped.IsActive());
    EXPECT_FALSE(activeInOwnHandler);
    EXPECT_FALSE(oneShot.IsActive());

    // Handles that outlive their loop are simply inactive.
    Timer orphan;
    FdWatch orphanWatch;
    {
        plat::EventLoop gone(plat::MakeVirtualClock());
        orphan = gone.StartPeriodic(10ms, [] {});
        orphanWatch = gone.WatchFd(0, [] {});
    }
    EXPECT_FALSE(orphan.IsActive());
    EXPECT_FALSE(orphanWatch.IsActive());
    orphan.Stop();
    orphanWatch.Stop();
}

TEST_F(EventLoopTest, ATimerEndedByAnotherHandlerOfTheSameTurnNeverTicks)
{
    const struct {
        const char* how;
        std::function<void(Timer&)> end;
    } cases[] = {
        {"Stop", [](Timer& t) { t.Stop(); }},
        {"destroy", [](Timer& t) { Timer gone(std::move(t)); }},
        {"assign over", [this](Timer& t) { t = TestLoop().StartOneShot(1000ms, Note("new")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        mLog.clear();
        // Both fall due at 50 ms; the first one's handler ends the second within that turn.
        Timer second;
        Timer first = TestLoop().StartOneShot(50ms, [&] {
            mLog.push_back("first");
            c.end(second);
        });
        second = TestLoop().StartPeriodic(50ms, Note("second"));
        FastForwardBy(200ms);
        EXPECT_EQ(mLog, (Log{"first"}));
    }
}

TEST_F(EventLoopTest, TicksAreDeliveredInsideANestedLoop)
{
    int ticks = 0;
    std::vector<int> depths;
    Timer periodic = TestLoop().StartPeriodic(100ms, [&] {
        ++ticks;
        depths.push_back(TestLoop().Depth());
        Note("tick")();
    });
    Timer outer = TestLoop().StartOneShot(50ms, [&] {
        TestLoop().RunUntil([&] { return ticks == 3; });
        Note("nested loop done")();
    });

    FastForwardBy(300ms);

    EXPECT_EQ(mLog, (Log{"tick@100", "tick@200", "tick@300", "nested loop done@300"}));
    EXPECT_EQ(depths, (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(TestLoop().Depth(), 0);
}

TEST_F(EventLoopTest, AHandlerThatPumpsIsNotReenteredAndGetsOneHeldTickAfterwards)
{
    int running = 0;
    int maxRunning = 0;
    bool first = true;
    Timer periodic = TestLoop().StartPeriodic(100ms, [&] {
        ++running;
        maxRunning = std::max(maxRunning, running);
        Note("tick")();
        if (first) {
            first = false;
            // Waits 350 ms inside the handler: the ticks of 200, 300 and 400 ms fall due meanwhile.
            bool done = false;
            Timer wait = TestLoop().StartOneShot(350ms, [&] { done = true; });
            TestLoop().RunUntil([&] { return done; });
        }
        --running;
    });

    FastForwardBy(600ms);

    // One held tick right after the handler returns, then the grid of 100 ms again.
    EXPECT_EQ(mLog, (Log{"tick@100", "tick@450", "tick@500", "tick@600"}));
    EXPECT_EQ(maxRunning, 1);
}

TEST_F(EventLoopTest, AWaitWithNothingScheduledIsADeadlockError)
{
    try {
        TestLoop().PumpOnce();
        FAIL() << "an empty loop waited";
    } catch (const DeadlockError& e) {
        EXPECT_EQ(e.Number(), DeadlockError::Code);
        EXPECT_EQ(e.Source(), "EventLoop");
        EXPECT_NE(e.Description().find("nothing scheduled"), std::string::npos) << e.Description();
    }

    // A wait that outlives its last timer runs the timer, then reports the deadlock.
    Timer last = TestLoop().StartOneShot(100ms, Note("last"));
    EXPECT_THROW(TestLoop().RunUntil([] { return false; }), DeadlockError);
    EXPECT_EQ(mLog, (Log{"last@100"}));
    EXPECT_EQ(TestLoop().Depth(), 0);

    // The loop is still usable afterwards.
    TestLoop().Post(Note("post"));
    EXPECT_NO_THROW(TestLoop().PumpOnce());
    EXPECT_EQ(mLog.back(), "post@100");
}

TEST_F(EventLoopTest, AVirtualWaitOnDescriptorsAloneIsBoundedInRealTime)
{
    Pipe pipe;
    FdWatch watch = TestLoop().WatchFd(pipe.Read(), [&] { mLog.push_back(pipe.Drain()); });
    TestLoop().SetRealTimeGuard(0ms);
    EXPECT_THROW(TestLoop().PumpOnce(), DeadlockError);

    pipe.Write("x");
    EXPECT_NO_THROW(TestLoop().PumpOnce());
    EXPECT_EQ(mLog, (Log{"x"}));
    EXPECT_EQ(ElapsedMs(), 0);
}

TEST_F(EventLoopTest, PostsRunInOrderBeforeTimersAndWhatHandlersAddWaitsForALaterTurn)
{
    TestLoop().Post([&] {
        Note("a")();
        TestLoop().Post(Note("c"));
    });
    TestLoop().Post(Note("b"));
    Timer later;
    Timer now = TestLoop().StartOneShot(0ms, [&] {
        Note("timer")();
        later = TestLoop().StartOneShot(0ms, Note("later"));
    });

    EXPECT_TRUE(TestLoop().RunPending());
    EXPECT_EQ(mLog, (Log{"a@0", "b@0", "timer@0"}));
    EXPECT_TRUE(TestLoop().RunPending());
    EXPECT_EQ(mLog, (Log{"a@0", "b@0", "timer@0", "c@0", "later@0"}));
    EXPECT_FALSE(TestLoop().RunPending());
}

TEST_F(EventLoopTest, AThrowingHandlerPropagatesAndLeavesTheLoopConsistent)
{
    TestLoop().Post([] { throw std::runtime_error("post failed"); });
    TestLoop().Post(Note("after post"));
    bool throwOnce = true;
    Timer periodic = TestLoop().StartPeriodic(100ms, [&] {
        Note("tick")();
        if (throwOnce) {
            throwOnce = false;
            throw plat::ComError(plat::rt::Overflow, "test", "tick failed");
        }
    });

    EXPECT_THROW(TestLoop().PumpOnce(), std::runtime_error);
    EXPECT_EQ(TestLoop().Depth(), 0);
    TestLoop().PumpOnce();
    EXPECT_EQ(mLog, (Log{"after post@0"}));

    EXPECT_THROW(TestLoop().RunUntil([] { return false; }), plat::ComError);
    FastForwardBy(200ms);
    EXPECT_EQ(mLog, (Log{"after post@0", "tick@100", "tick@200", "tick@300"}));
    EXPECT_TRUE(periodic.IsActive());
}

TEST_F(EventLoopTest, DescriptorWatchesRunWhileReadableWithoutReentryUntilStopped)
{
    Pipe pipe;
    Pipe quiet;
    FdWatch other = TestLoop().WatchFd(quiet.Read(), [] {});
    int calls = 0;
    int running = 0;
    int maxRunning = 0;
    int nestedTurns = 0;
    FdWatch watch = TestLoop().WatchFd(pipe.Read(), [&] {
        ++calls;
        maxRunning = std::max(maxRunning, ++running);
        // Pumps before reading: the still-readable descriptor must neither re-enter this
        // handler nor keep the nested loop busy so that it never waits for its timer.
        bool done = false;
        Timer wait = TestLoop().StartOneShot(10ms, [&] { done = true; });
        TestLoop().RunUntil([&] { return done || ++nestedTurns > 100; });
        mLog.push_back(pipe.Drain());
        --running;
    });

    pipe.Write("one");
    RunUntilIdle();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(maxRunning, 1);
    EXPECT_LE(nestedTurns, 3);
    EXPECT_EQ(mLog, (Log{"one"}));

    watch.Stop();
    EXPECT_FALSE(watch.IsActive());
    pipe.Write("two");
    RunUntilIdle();
    EXPECT_EQ(calls, 1);

    // A descriptor closed under its watch is reported once and ends the watch.
    int closedCalls = 0;
    FdWatch closed = TestLoop().WatchFd(pipe.Read(), [&] { ++closedCalls; });
    pipe.CloseRead();
    RunUntilIdle();
    EXPECT_EQ(closedCalls, 1);
    EXPECT_FALSE(closed.IsActive());
}

// An idle watch runs once per wait, after everything that was due: what its handlers changed
// is complete then. What it starts for now runs before the wait; RunPending never calls it.
TEST_F(EventLoopTest, IdleWatchesRunBeforeEachWaitAfterWhatWasDue)
{
    int idles = 0;
    std::vector<Timer> started;
    plat::IdleWatch idle = TestLoop().WatchIdle([&] {
        ++idles;
        Note("idle")();
        if (idles == 2) started.push_back(TestLoop().StartOneShot(0ms, Note("started by idle")));
    });
    Timer a = TestLoop().StartOneShot(100ms, Note("a"));
    Timer b = TestLoop().StartOneShot(100ms, Note("b"));
    Timer c = TestLoop().StartOneShot(300ms, Note("c"));
    EXPECT_FALSE(TestLoop().RunPending());
    EXPECT_EQ(idles, 0);

    FastForwardBy(300ms);
    EXPECT_EQ(mLog, (Log{"idle@0", "a@100", "b@100", "idle@100", "started by idle@100", "idle@100", "c@300"}));

    idle.Stop();
    Timer d = TestLoop().StartOneShot(100ms, Note("d"));
    FastForwardBy(200ms);
    EXPECT_EQ(mLog.back(), "d@400");
    EXPECT_EQ(idles, 3);
    // An idle watch schedules nothing itself: a wait with nothing else is still a deadlock.
    plat::IdleWatch quiet = TestLoop().WatchIdle([] {});
    EXPECT_THROW(TestLoop().PumpOnce(), DeadlockError);
}

TEST_F(EventLoopTest, IdleWatchesRunInNestedLoopsWithoutReentry)
{
    std::vector<int> depths;
    bool inside = false;
    bool done = false;
    plat::IdleWatch idle = TestLoop().WatchIdle([&] {
        depths.push_back(TestLoop().Depth());
        if (inside || depths.size() != 2) return;
        // A watch that pumps is left out of the turns of its own nested loop.
        inside = true;
        bool waited = false;
        Timer wait = TestLoop().StartOneShot(50ms, [&] { waited = true; });
        TestLoop().RunUntil([&] { return waited; });
        inside = false;
    });
    Timer outer = TestLoop().StartOneShot(100ms, [&] {
        Timer inner = TestLoop().StartOneShot(100ms, [&] { done = true; });
        TestLoop().RunUntil([&] { return done; });
    });
    FastForwardBy(300ms);
    EXPECT_TRUE(done);
    // Idle before the outer timer, inside its nested loop (depth 2, where the watch pumps for
    // 50 ms and is not called again meanwhile), and once the nested loop ended.
    ASSERT_GE(depths.size(), 3u);
    EXPECT_EQ(depths[0], 1);
    EXPECT_EQ(depths[1], 2);
    EXPECT_EQ(ElapsedMs(), 300);
}

TEST_F(EventLoopTest, TheVirtualLoopIsTheProcessLoopUntilItsHelperEnds)
{
    EXPECT_EQ(&plat::Loop(), &TestLoop());
    {
        ztesting::VirtualLoop inner;
        EXPECT_EQ(&plat::Loop(), &inner.TestLoop());
        EXPECT_TRUE(plat::Loop().GetClock().IsVirtual());
    }
    EXPECT_EQ(plat::CurrentLoopPtr().get(), &TestLoop());
}

TEST(ProcessLoop, IsMadeOnTheSystemClockOnFirstUse)
{
    const auto previous = plat::CurrentLoopPtr();
    plat::SetLoop(nullptr);
    EXPECT_EQ(plat::CurrentLoopPtr(), nullptr);
    EXPECT_FALSE(plat::Loop().GetClock().IsVirtual());
    EXPECT_EQ(plat::CurrentLoopPtr().get(), &plat::Loop());
    plat::SetLoop(previous);
}

// Read by the watchdog test through EXPECT_NONFATAL_FAILURE, which cannot see locals.
ztesting::VirtualLoop* gWatchdogLoop = nullptr;
bool gWatchdogResult = true;

TEST(VirtualLoopWatchdog, FailsTheTestOnceVirtualTimePassesTheLimit)
{
    ztesting::VirtualLoop loop;
    gWatchdogLoop = &loop;
    // A periodic timer would keep a plain RunUntil jumping forward for ever.
    Timer busy = loop.TestLoop().StartPeriodic(100ms, [] {});
    EXPECT_NONFATAL_FAILURE(
        gWatchdogResult = gWatchdogLoop->RunUntilFor([] { return false; }, 1000ms),
        "limit 1000 ms");
    EXPECT_FALSE(gWatchdogResult);
    EXPECT_EQ(loop.ElapsedMs(), 1000);

    bool done = false;
    Timer finish = loop.TestLoop().StartOneShot(300ms, [&] { done = true; });
    EXPECT_TRUE(loop.RunUntilFor([&] { return done; }, 1000ms));
    EXPECT_EQ(loop.ElapsedMs(), 1300);
}

int64_t ProcessCpuNanoseconds()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return int64_t{ts.tv_sec} * 1000000000 + ts.tv_nsec;
}

TEST(EventLoopSystemClock, AOneSecondWaitSleepsInPollInsteadOfSpinning)
{
    plat::EventLoop loop(plat::MakeSystemClock());
    // One short turn first, so that the first-use costs of the loop (lazy symbol binding, page
    // faults of its code) do not count as time spent waiting.
    bool warmedUp = false;
    Timer warmUp = loop.StartOneShot(1ms, [&] { warmedUp = true; });
    loop.RunUntil([&] { return warmedUp; });

    bool fired = false;
    Timer timer = loop.StartOneShot(1000ms, [&] { fired = true; });

    const int64_t cpuBefore = ProcessCpuNanoseconds();
    const auto wallBefore = std::chrono::steady_clock::now();
    loop.RunUntil([&] { return fired; });
    const auto wall = std::chrono::steady_clock::now() - wallBefore;
    const int64_t cpu = ProcessCpuNanoseconds() - cpuBefore;

    EXPECT_GE(wall, 1000ms);
    // A spinning loop would use the whole second; a quarter leaves room for a sanitizer's own
    // threads and a busy machine.
    EXPECT_LT(cpu, std::chrono::duration_cast<std::chrono::nanoseconds>(wall).count() / 4)
        << "CPU time " << cpu << " ns during the wait";
}

TEST(EventLoopSystemClock, APostFromAnotherThreadWakesTheBlockedLoop)
{
    plat::EventLoop loop(plat::MakeSystemClock());
    std::atomic<bool> posted{false};
    // Bounds the test should the wake-up be lost; it never fires when the post wakes the poll.
    bool gaveUp = false;
    Timer guard = loop.StartOneShot(10s, [&] { gaveUp = true; });
    std::thread poster([&] { loop.Post([&] { posted = true; }); });
    loop.RunUntil([&] { return posted.load() || gaveUp; });
    poster.join();
    EXPECT_TRUE(posted);
    EXPECT_FALSE(gaveUp);
}

} // namespace
