#include "testlib/elements/TestTimer.h"

#include "tests/support/VirtualLoop.h"

#include <gtest/gtest.h>

namespace {

using TestTimerTest = ztesting::VirtualLoopTest;

// A timer started again replaces the running one, which never ticks again; a stopped timer
// is silent.
TEST_F(TestTimerTest, AReplacedOrStoppedTickerNeverTicksAgain)
{
    ztest::TestTimer ticker;
    int first = 0;
    int second = 0;
    ticker.Start(ztest::TestTimer::OneSecond, [&] { ++first; });
    FastForwardBy(plat::Millis(1500));
    EXPECT_EQ(first, 1);

    ticker.Start(ztest::TestTimer::OneSecond, [&] { ++second; });
    FastForwardBy(plat::Millis(2100));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2); // a second after the restart, then every second

    ticker.Stop();
    EXPECT_FALSE(ticker.IsSet());
    FastForwardBy(plat::Millis(3000));
    EXPECT_EQ(second, 2);
}

} // namespace
