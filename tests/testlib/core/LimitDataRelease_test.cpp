#include "host/report/HostPrintContext.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "testlib/core/CLimitData.h"
#include "testlib/core/MMiscUtils.h"
#include "tests/testlib/core/LimitFakes.h"

#include <gtest/gtest.h>

#include <memory>

// When a test element and its limits go, whoever still holds the standards collection (the
// host's print selection, a result view) keeps the standards and their items: the limits drop
// their reference and empty nothing.
TEST(LimitDataRelease, AHolderOfTheStandardsKeepsThemWhenTheLimitsGo)
{
    ztest::MMiscUtils::ResetModuleState();
    auto element = std::make_shared<ztesting::FakeTestElement>(100);
    auto limits = std::make_shared<ztest::CLimitData>();
    limits->SetOwner(element, true);
    ASSERT_NE(limits->CreateStandard("IEC", "IEC 60601-2-4"), nullptr);

    host::HostPrintContext selection;
    selection.SelectStandards(limits->Standards());
    std::weak_ptr<ztest::CLimitData> watch = limits;
    limits.reset();
    element.reset();
    ASSERT_TRUE(watch.expired());

    const auto& kept = selection.SelectedStandards();
    ASSERT_NE(kept, nullptr);
    ASSERT_EQ(kept->Count(), 1u);
    EXPECT_EQ(kept->Item(0)->AlphaName(), "IEC");
    EXPECT_EQ(kept->Item(0)->Count(), 4u);
}
