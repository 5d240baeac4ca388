// The frame that every test on the shared skeleton runs in: what a rerun in the same window
// makes of the record that an earlier run of it stored.
#include "host/interfaces/IResultData.h"
#include "host/units/HostMtiList.h"
#include "testlib/elements/CTestCardio.h"
#include "testlib/elements/CTestEnergy.h"
#include "testlib/elements/CTestBatCap.h"
#include "testlib/elements/CTestCharge.h"
#include "testlib/elements/CTestDefib.h"
#include "testlib/elements/CTestPacerPar.h"
#include "testlib/elements/CTestPacerRef.h"
#include "tests/testlib/elements/DefibRunSupport.h"
#include "tests/testlib/elements/SimulationFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

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

// A rerun in the same window after a completed run, left in each way while it waits, on every
// test on the shared frame: it measured nothing, so the completed run's record is back and
// finishes as that run (rated, stamped and reported once), or as N/A when N/A was chosen.
class StoppedRerun : public ztesting::DefibRun {
protected:
    StoppedRerun()
    {
        ztesting::PlacePacemaker(*op, analyzer);
        // The defibrillator answers only the first run: the rerun waits for its charge and shock.
        op->SetPhysical(zop::physical::Discharge, [this](double joules) {
            if (!rerunning) analyzer->Discharge(zsim::Pulse::Into50Ohm(joules));
        });
        op->SetPhysical(zop::physical::Charge, [this](double seconds) {
            if (!rerunning) analyzer->Charge(seconds);
        });
    }
    bool rerunning = false;
};

TEST_F(StoppedRerun, LeavingAStoppedRerunFinishesTheCompletedRun)
{
    struct Type {
        const char* name;
        std::function<std::shared_ptr<host::ITestElement>()> make;
        // What keeps the rerun waiting where no physical action does.
        std::function<void(zsim::Analyzer&)> hold;
    };
    auto none = [](zsim::Analyzer&) {};
    const Type types[] = {
        {"energy", [] { return ztest::CTestEnergy::Create(); }, none},
        {"charge time", [] { return ztest::CTestCharge::Create(); }, none},
        {"cardioversion", [] { return ztest::CTestCardio::Create(); }, none},
        {"pacer parameters", [] { return ztest::CTestPacerPar::Create(); },
         [](zsim::Analyzer& a) { a.Faults().Add(zsim::Fault::Reply("NODATA").For("QDATA").Always()); }},
        {"pacer refractory", [] { return ztest::CTestPacerRef::Create(); },
         [](zsim::Analyzer& a) { a.Model().SetRefractoryTime(std::chrono::minutes(5)); }},
        {"battery capacity", [] { return ztest::CTestBatCap::Create(); }, none},
        {"pulse repetition", [] { return ztest::CTestDefib::Create(); }, none},
    };
    using Guide = ztest::FZARVIKTestGuide;
    enum class Way { Stop, LoseLink, Navigate };
    struct Exit {
        const char* name;
        Way way;
        // The window's event that a host fires while the run goes on.
        plat::Event<> Guide::*event;
        int32_t navigation;
        bool notApplicable;
    };
    const Exit exits[] = {
        {"Stop", Way::Stop, nullptr, 0, false},
        {"lost link", Way::LoseLink, nullptr, 0, false},
        {"N/A", Way::Navigate, &Guide::NA, 0, true},
        {"Previous", Way::Navigate, &Guide::Previous, 1, false},
        {"Next", Way::Navigate, &Guide::NextTest, 0, false},
    };
    for (const Type& type : types) {
        for (const Exit& exit : exits) {
            SCOPED_TRACE(std::string(type.name) + ", " + exit.name);
            analyzer->ClearLogs();
            analyzer->Faults().Clear();
            analyzer->Model().SetRefractoryTime(500ms);
            context = std::make_shared<host::HostTestContext>();
            rerunning = false;
            auto element = type.make();
            SelectStandard(element);
            UseRecipe(element->TestID());

            std::shared_ptr<host::IResultData> completed;
            int32_t completedStatus = -1;
            op->AddRule({"start again", [](const Scene& s) { return s.Done(); }, 0ms,
                         [&](zop::Operator& self, const Scene&) {
                             completed = element->Result();
                             completedStatus = completed ? completed->Status() : -1;
                             rerunning = true;
                             type.hold(*analyzer);
                             self.Press(button::Start, false);
                         },
                         1, ""});
            bool pressed = false;
            op->AddRule({"leave the rerun", [](const Scene& s) { return s.Running(); }, 1500ms,
                         [&](zop::Operator& self, const Scene&) {
                             pressed = true;
                             if (exit.way == Way::Stop) {
                                 pressed = self.Press(button::Stop);
                             } else if (exit.way == Way::Navigate) {
                                 FireGuide(exit.event);
                             } else {
                                 analyzer->Faults().Clear();
                                 analyzer->Faults().Add(zsim::Fault::Silence().Always());
                             }
                         },
                         1, "start again"});
            bool finishedForm = false;
            op->AddRule({"look", [](const Scene& s) { return s.Done() || s.Ready(); }, 0ms,
                         [&](zop::Operator&, const Scene& s) { finishedForm = s.Done(); }, 1, "leave the rerun"});
            element->Perform(context);

            ASSERT_TRUE(pressed);
            ASSERT_NE(completed, nullptr);
            ASSERT_NE(completedStatus, 0) << "the first run completed";
            EXPECT_EQ(element->Result(), completed) << "the completed run's record is back";
            EXPECT_EQ(context->Navigation(), exit.navigation);
            if (exit.way != Way::Navigate) {
                EXPECT_TRUE(finishedForm) << "back in the finished form";
            }
            EXPECT_EQ(element->Result()->Status(), exit.notApplicable ? 3 : completedStatus);
            EXPECT_EQ(element->Result()->MTIID(), 1);
            EXPECT_EQ(context->ResultChangedCount(), 1);
            // The rerun's late answers go to nobody.
            FastForwardBy(std::chrono::minutes(6));
        }
    }
}

} // namespace
