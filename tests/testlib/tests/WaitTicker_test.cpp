#include "testlib/tests/WaitTicker.h"

#include "tests/support/VirtualLoop.h"

#include <gtest/gtest.h>

namespace {

using WaitTickerTest = ztesting::VirtualLoopTest;

// A ticker started again replaces the running one, which never ticks again; a stopped ticker
// is silent.
TEST_F(WaitTickerTest, AReplacedOrStoppedTickerNeverTicksAgain)
{
    ztest::WaitTicker ticker;
    int first = 0;
    int second = 0;
    ticker.Start([&] { ++first; });
    FastForwardBy(plat::Millis(1500));
    EXPECT_EQ(first, 1);

    ticker.Start([&] { ++second; });
    FastForwardBy(plat::Millis(2100));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2); // a second after the restart, then every second

    ticker.Stop();
    EXPECT_FALSE(ticker.Running());
    FastForwardBy(plat::Millis(3000));
    EXPECT_EQ(second, 2);
}

} // namespace
