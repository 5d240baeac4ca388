// A wave test judged in its window and run again: a rerun that is stopped or left in its hold
// stores nothing, and the verdict already given is what the window keeps, as a stopped rerun of
// any test keeps what was stored before it.
#include "operator/GuideWindowScene.h"
#include "tests/testlib/elements/SimulationFixture.h"
#include "tests/testlib/elements/WaveRunSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace std::chrono_literals;
namespace button = zop::button;
using ztesting::VerdictOf;

bool AtRest(const zop::Scene& scene)
{
    return scene.Ready() || scene.Done();
}

class WaveReruns : public ztesting::SimulationFixture {
protected:
    // An operator of its own for each run: one who has left stays leaving.
    void FreshOperator()
    {
        op->Stop();
        op = std::make_unique<zop::Operator>(std::make_shared<zop::GuideWindowScene>());
        op->SetPatience(std::chrono::minutes(10));
        op->Start();
    }

    // Judges the run in its hold, starts it again from the finished window and, once the rerun
    // has been running for `after`, acts; then leaves with the host's Next once the window is at
    // rest (unless the act left it). The record judged, the context.
    std::shared_ptr<host::IResultData> JudgeThenRerun(const std::shared_ptr<host::ITestElement>& element, bool pass,
                                                      plat::Millis after, std::function<void(zop::Operator&)> act,
                                                      std::function<void(zop::Operator&)> atRest = {})
    {
        std::shared_ptr<host::IResultData> judged;
        Perform(element, [&](zop::Operator& op) {
            zop::WaveRecipe(pass)(op);
            op.RemoveRule("next");
            op.RemoveRule("leave unrated");
            op.AddRule({"start again", [](const zop::Scene& scene) { return scene.Done(); }, 100ms,
                        [&](zop::Operator& self, const zop::Scene&) {
                            judged = element->Result();
                            self.Press(button::Start, false);
                        },
                        1, "judge"});
            op.AddRule({"act", [](const zop::Scene& scene) { return scene.Running(); }, after,
                        [&](zop::Operator& self, const zop::Scene&) { act(self); }, 1, "start again"});
            op.AddRule({"at rest", AtRest, 100ms,
                        [&](zop::Operator& self, const zop::Scene&) {
                            if (atRest) atRest(self);
                            FireGuide(&ztest::FZARVIKTestGuide::NextTest);
                        },
                        1, "act"});
        });
        return judged;
    }
};

TEST_F(WaveReruns, ARerunStoppedOrLeftInItsHoldKeepsTheVerdictGiven)
{
    struct Exit {
        const char* name;
        plat::Millis after;
        std::function<void(zop::Operator&)> act;
        int navigation;
        // Only for the stepping test, whose later holds come after the others' hold has ended.
        bool steppingOnly = false;
    };
    // Each way out of a run: Stop, the start button's face while a run goes on, the host's own
    // navigation, and leaving as the end of input, Ctrl-C, SIGTERM and SIGHUP leave (Stop, then
    // Next); Stop at times across the 3 s hold.
    const auto stop = [](zop::Operator& self) { self.Press(button::Stop); };
    const Exit exits[] = {
        {"stop early in the hold", 400ms, stop, 0},
        {"stop in the hold", 1500ms, stop, 0},
        {"stop late in the hold", 2800ms, stop, 0},
        {"the start button's Stop", 1500ms, [](zop::Operator& self) { self.Press(button::Start); }, 0},
        {"next from the host", 1500ms, [](zop::Operator&) { FireGuide(&ztest::FZARVIKTestGuide::NextTest); }, 0},
        {"previous from the host", 1500ms, [](zop::Operator&) { FireGuide(&ztest::FZARVIKTestGuide::Previous); }, 1},
        {"leaving (end of input, a signal)", 1500ms, [](zop::Operator& self) { self.Leave(); }, 0},
        {"stop in the second hold", 5500ms, stop, 0, true},
        {"leaving in the third hold", 9500ms, [](zop::Operator& self) { self.Leave(); }, 0, true},
    };
    for (const auto& type : ztesting::WaveTypes()) {
        for (const bool pass : {true, false}) {
            for (const auto& exit : exits) {
                const bool stepping = type.name == std::string("ECG R-wave stepping its width");
                if (exit.steppingOnly && !stepping) continue;
                SCOPED_TRACE(std::string(type.name) + (pass ? ", passed" : ", failed") + ", " + exit.name);
                FreshOperator();
                analyzer->ClearLogs();
                auto element = type.make();
                ztesting::SetHold(element, 3);
                const auto judged = JudgeThenRerun(element, pass, exit.after, exit.act);
                const int rerunHolds = exit.steppingOnly ? (exit.after > 9s ? 3 : 2) : 1;
                EXPECT_EQ(CountHeard(type.wave), 1 + rerunHolds)
                    << "the rerun showed its wave: " << ::testing::PrintToString(Commands());
                EXPECT_EQ(Commands().back(), "ZERO");
                ASSERT_NE(judged, nullptr);
                EXPECT_EQ(element->Result(), judged);
                EXPECT_EQ(element->Result()->Status(), pass ? 1 : 2);
                EXPECT_EQ(VerdictOf(element->Result()), pass ? "passed" : "failed");
                EXPECT_EQ(context->Navigation(), exit.navigation);
                EXPECT_GE(context->ResultChangedCount(), 1);
            }
        }
    }
}

// The verdict on the wave of a rerun stopped in its hold, clicked once the rerun is over, is the
// rerun's: its own record takes the place of the one put back, which keeps its verdict.
TEST_F(WaveReruns, AVerdictAfterAStoppedRerunRatesThatRun)
{
    for (const auto& type : ztesting::WaveTypes()) {
        for (const bool again : {false, true}) {
            SCOPED_TRACE(std::string(type.name) + (again ? ", judged passed again" : ", judged failed now"));
            FreshOperator();
            analyzer->ClearLogs();
            auto element = type.make();
            ztesting::SetHold(element, 3);
            const auto judged = JudgeThenRerun(
                element, true, 1500ms, [](zop::Operator& self) { self.Press(button::Stop); },
                [again](zop::Operator& self) { EXPECT_TRUE(self.Judge(again)); });
            ASSERT_NE(judged, nullptr);
            EXPECT_EQ(element->Result()->Status(), again ? 1 : 2);
            EXPECT_EQ(VerdictOf(element->Result()), again ? "passed" : "failed");
            if (!again) {
                EXPECT_NE(element->Result(), judged) << "the rerun's own record";
                EXPECT_EQ(VerdictOf(judged), "passed") << "the record put back keeps its verdict";
            }
            EXPECT_GE(element->Result()->MTIID(), 1);
        }
    }
}

} // namespace
