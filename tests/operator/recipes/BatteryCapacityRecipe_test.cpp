// The battery-capacity recipe over a whole run of the test against the simulated analyzer, in
// virtual time: ten minutes of phases cost the operator as many looks as the run has turns.
#include "testlib/elements/CTestBatCap.h"
#include "tests/testlib/elements/DefibRunSupport.h"

#include <gtest/gtest.h>

namespace {

class BatteryCapacityRecipe : public ztesting::DefibRun {};

TEST_F(BatteryCapacityRecipe, AWholeRunCostsTheLooksOfItsTurns)
{
    UseRecipe(ztest::CTestBatCap::TypeCode);
    auto element = ztest::CTestBatCap::Create();
    const plat::TimePoint start = Now();
    Perform(element);
    EXPECT_GE(Now() - start, plat::Millis(605000));
    EXPECT_EQ(dischargeTimes.size(), 15u);
    EXPECT_EQ(StatusOf(element), 1);
    // The run has some 800 turns (the count-downs' seconds, the analyzer's polls and replies);
    // a look every 20 ms would be more than 30,000.
    EXPECT_LT(op->Looks(), 3000u);
}

} // namespace
