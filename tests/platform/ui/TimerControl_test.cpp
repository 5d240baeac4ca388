#include "platform/loop/EventLoop.h"
#include "platform/ui/Form.h"
#include "platform/ui/TimerControl.h"
#include "tests/support/VirtualLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

using namespace plat;

namespace {

class TimerControls : public ztesting::VirtualLoopTest {
protected:
    TimerControls()
    {
        tmr->Timer.Connect([this] { ticks.push_back(ElapsedMs()); });
    }
    ~TimerControls() override { form->Unload(); }

    std::shared_ptr<Form> form = std::make_shared<Form>("frmTimer");
    std::shared_ptr<TimerControl> tmr = form->Add<TimerControl>("tmrFlash");
    std::vector<int64_t> ticks;
};

} // namespace

TEST_F(TimerControls, TicksAtItsIntervalRestartsOnANewOneAndStopsWhenDisabled)
{
    tmr->SetInterval(250);
    FastForwardBy(Millis(600));
    tmr->SetInterval(100);
    FastForwardBy(Millis(250));
    tmr->SetEnabled(false);
    FastForwardBy(Millis(1000));
    EXPECT_EQ(ticks, (std::vector<int64_t>{250, 500, 700, 800}));

    tmr->SetInterval(0);
    tmr->SetEnabled(true);
    EXPECT_FALSE(tmr->IsRunning());
    FastForwardBy(Millis(10000));
    EXPECT_EQ(ticks.size(), 4u);
}

TEST_F(TimerControls, AHandlerThatWaitsIsNotEnteredAgainByItsOwnTimer)
{
    int running = 0;
    int mostAtOnce = 0;
    bool waited = false;
    tmr->Timer.Connect([&] {
        ++running;
        mostAtOnce = std::max(mostAtOnce, running);
        if (!waited) {
            waited = true;
            bool done = false;
            Timer stop = Loop().StartOneShot(Millis(350), [&] { done = true; });
            Loop().RunUntil([&] { return done; });
        }
        --running;
    });
    tmr->SetInterval(100);
    FastForwardBy(Millis(1000));

    EXPECT_EQ(mostAtOnce, 1);
    ASSERT_GE(ticks.size(), 2u);
    EXPECT_EQ(ticks.front(), 100);
    EXPECT_EQ(ticks.back(), 1000);
}

TEST_F(TimerControls, AFormUnloadedInsideATickNeverTicksAgain)
{
    tmr->Timer.Connect([this] { form->Unload(); });
    tmr->SetInterval(100);
    FastForwardBy(Millis(1000));
    EXPECT_EQ(ticks, (std::vector<int64_t>{100}));
    EXPECT_FALSE(tmr->IsRunning());
}
