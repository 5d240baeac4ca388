#include "testlib/core/FTimer.h"
#include "tests/support/VirtualLoop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

using plat::Millis;
using ztest::FTimer;

namespace {

class TimerForm : public ztesting::VirtualLoopTest {
protected:
    TimerForm()
    {
        timer->Load();
        timer->Timer.Connect([this] { ticks.push_back(ElapsedMs()); });
    }
    ~TimerForm() override { timer->Unload(); }

    std::shared_ptr<FTimer> timer = std::make_shared<FTimer>();
    std::vector<int64_t> ticks;
};

} // namespace

TEST_F(TimerForm, TicksEveryIntervalUntilStoppedAndRestartsOnANewInterval)
{
    EXPECT_FALSE(timer->IsRunning()) << "idle until started";
    timer->StartTimer(1000);
    FastForwardBy(Millis(2500));
    timer->StartTimer(300);
    FastForwardBy(Millis(700));
    timer->StopTimer();
    FastForwardBy(Millis(5000));
    EXPECT_EQ(ticks, (std::vector<int64_t>{1000, 2000, 2800, 3100}));
}

TEST_F(TimerForm, IntervalZeroNeverTicksAndANegativeOneKeepsTheOld)
{
    timer->StartTimer(0);
    EXPECT_FALSE(timer->IsRunning());
    FastForwardBy(Millis(60000));
    EXPECT_TRUE(ticks.empty());

    timer->StartTimer(-5);
    EXPECT_EQ(timer->Interval(), 0);
    timer->StartTimer(200);
    timer->StopTimer();
    // Refused, so the old interval is kept and the timer starts all the same.
    timer->StartTimer(-1);
    EXPECT_EQ(timer->Interval(), 200);
    FastForwardBy(Millis(450));
    EXPECT_EQ(ticks, (std::vector<int64_t>{60200, 60400}));
}

TEST_F(TimerForm, LongHoldTimesAreTakenWholeWithoutA16BitCap)
{
    for (int32_t interval : {70000, 130000, std::numeric_limits<int32_t>::max()}) {
        SCOPED_TRACE(interval);
        ticks.clear();
        const int64_t start = ElapsedMs();
        timer->StartTimer(interval);
        EXPECT_EQ(timer->Interval(), interval);
        FastForwardBy(Millis(interval - 1));
        EXPECT_TRUE(ticks.empty());
        FastForwardBy(Millis(1));
        EXPECT_EQ(ticks, (std::vector<int64_t>{start + interval}));
        timer->StopTimer();
    }
}

TEST_F(TimerForm, AfterUnloadNothingTicksOrStartsAgain)
{
    timer->StartTimer(100);
    // The handler that ends the count-down unloads the form inside the tick.
    timer->Timer.Connect([this] {
        if (ticks.size() == 2) timer->Unload();
    });
    FastForwardBy(Millis(1000));
    timer->StartTimer(10);
    timer->StopTimer();
    FastForwardBy(Millis(1000));
    EXPECT_EQ(ticks, (std::vector<int64_t>{100, 200}));
    EXPECT_FALSE(timer->IsRunning());
}
