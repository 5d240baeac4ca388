// The frame that every test on the shared skeleton runs in (shown on the energy and
// cardioversion tests): what a rerun in the same window makes of the record that an earlier
// run of it stored.
#include "host/interfaces/IResultData.h"
#include "host/units/HostMtiList.h"
#include "testlib/elements/CTestCardio.h"
#include "testlib/elements/CTestEnergy.h"
#include "tests/testlib/elements/TestRunFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace std::chrono_literals;
using zop::Scene;
namespace button = zop::button;

class RunSkeleton : public ztesting::TestRunFixture {};

TEST_F(RunSkeleton, AStoppedRerunInTheSameWindowFinishesTheCompletedRunItPutsBack)
{
    const struct {
        const char* name;
        std::function<std::shared_ptr<host::ITestElement>()> make;
        const char* data;
    } cases[] = {
        {"energy", [] { return ztest::CTestEnergy::Create(); }, "ENERGYDATA"},
        {"cardioversion", [] { return ztest::CTestCardio::Create(); }, "CARDIODATA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        auto element = c.make();
        SelectStandard(element);
        // In one window: a run that completes, then a rerun from button 202's menu that is
        // stopped at the shock prompt, then Next.
        auto shock = [](const Scene& s) { return s.Shows("TI:SHOCK"); };
        op->ClearRules();
        PressWhen("start", [](const Scene& s) { return s.Ready(); }, button::Start);
        op->AddRule({"discharge", shock, 300ms,
                     [](zop::Operator& self, const Scene&) { self.Perform(zop::physical::Discharge, 100); }, 1,
                     "start"});
        op->AddRule({"start again", [](const Scene& s) { return s.Done(); }, 100ms,
                     [](zop::Operator& self, const Scene&) { self.Press(button::Start, false); }, 1, "discharge"});
        PressWhen("stop", shock, button::Stop, 700ms, 1, "start again");
        bool finishedForm = false;
        op->AddRule({"leave", [](const Scene& s) { return s.Done() || s.Ready(); }, 100ms,
                     [&](zop::Operator& self, const Scene& s) {
                         finishedForm = s.Done();
                         self.Press(button::Next);
                     },
                     1, "stop"});
        element->Perform(context);

        EXPECT_EQ(CountHeard(c.data), 1) << "only the first run measured";
        EXPECT_EQ(context->Navigation(), 0);
        // The first run's record is back, finished as a completed run: rated, stamped, reported.
        EXPECT_TRUE(finishedForm) << "the window returned to its finished form";
        EXPECT_EQ(element->Result()->Status(), 1);
        EXPECT_EQ(element->Result()->MTIID(), 1);
        EXPECT_EQ(context->MtiList()->Count(), 1u);
        EXPECT_EQ(context->ResultChangedCount(), 1);
        context = std::make_shared<host::HostTestContext>();
    }
}

} // namespace
