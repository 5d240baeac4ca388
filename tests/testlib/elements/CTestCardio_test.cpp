#include "testlib/elements/CTestCardio.h"

#include "testlib/config/CConfigCardio.h"
#include "tests/testlib/elements/DefibRunSupport.h"

#include <gtest/gtest.h>

namespace {

using ztest::CTestCardio;

class CardioTest : public ztesting::DefibRun {
protected:
    CardioTest() { UseRecipe(CTestCardio::TypeCode); }
    std::shared_ptr<CTestCardio> element = CTestCardio::Create();
};

TEST_F(CardioTest, PlaysTheBackgroundWaveAndStoresTheDelay)
{
    std::dynamic_pointer_cast<ztest::CConfigCardio>(element->Configuration())->SetWaveFormIndex(3);
    Perform(element);

    EXPECT_EQ(Commands(), (std::vector<std::string>{"LOC", "CARDIOMODE", "DEFRANGE=HIGH", "CARDIOWAVE=AF1", "QDATA", "QDATA",
                                                    "CARDIODATA", "LOC"}));
    EXPECT_TRUE(Logged("instruction: START CHARGE NOW...  FOLLOWED BY DISCHARGE"));
    EXPECT_EQ(ValueOf(element, "CADT"), plat::Variant(40.0));
    EXPECT_EQ(StatusOf(element), 1);
}

// A discharge without synchronisation: the record tells the operator, the run goes on to its
// end and the record is rated failed.
TEST_F(CardioTest, NoSyncIsReportedByTheRecordAndRatedFailed)
{
    syncDelay = std::nullopt;
    Perform(element);

    ASSERT_EQ(op->Boxes().size(), 1u);
    EXPECT_NE(op->Boxes()[0].prompt.find("NO SYNC detected"), std::string::npos);
    EXPECT_EQ(ValueOf(element, "CADT"), plat::Variant(std::string("NOSYNC")));
    EXPECT_EQ(ValueOf(element, "ENGY"), plat::Variant(100.0));
    EXPECT_EQ(StatusOf(element), 2);
    EXPECT_EQ(context->Navigation(), 0);
    EXPECT_EQ(context->ResultChangedCount(), 1);
}

} // namespace
