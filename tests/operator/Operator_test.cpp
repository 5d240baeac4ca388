#include "operator/Operator.h"
#include "operator/Recipes.h"
#include "platform/ui/Beep.h"
#include "platform/ui/MessageBox.h"
#include "support/VirtualLoop.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

// A window that the test sets up by hand; presses are recorded with their virtual times.
class FakeScene : public zop::ISceneSource {
public:
    zop::Scene scene;
    struct Pressed {
        int id;
        bool clickFlag;
        int64_t atMs;
    };
    std::vector<Pressed> presses;
    std::function<void(int)> onPress;
    const ztesting::VirtualLoop* clock = nullptr;

    zop::Scene Look() override { return scene; }
    bool Press(int id, bool clickFlag) override
    {
        presses.push_back({id, clickFlag, clock ? clock->ElapsedMs() : 0});
        if (onPress) onPress(id);
        return scene.Usable(id);
    }
    void SetFace(const std::string& caption)
    {
        scene.windowShown = true;
        scene.buttons[zop::button::Start] = {true, true, caption == "Stop", caption};
        scene.buttons[zop::button::Next] = {true, caption != "Stop", false, "Next"};
        scene.buttons[zop::button::Stop] = {true, caption == "Stop", false, "Stop"};
        scene.buttons[zop::button::Abort] = {true, true, false, "Abort"};
    }
};

class OperatorTest : public ztesting::VirtualLoopTest {
protected:
    OperatorTest() : source(std::make_shared<FakeScene>()), op(source)
    {
        source->clock = this;
        op.SetLog([this](const std::string& line) { log.push_back(line); });
    }
    std::vector<int> PressedIds() const
    {
        std::vector<int> ids;
        for (const auto& p : source->presses) ids.push_back(p.id);
        return ids;
    }

    std::shared_ptr<FakeScene> source;
    zop::Operator op;
    std::vector<std::string> log;
};

TEST_F(OperatorTest, ActsOnceWhenATriggerBecomesTrueAndAfterItsDelay)
{
    source->SetFace("Start");
    int discharged = 0;
    op.SetPhysical("discharge", [&](double joules) { discharged += static_cast<int>(joules); });
    op.AddRule({"shock", [](const zop::Scene& s) { return s.Shows("TI:SHOCK"); }, 300ms,
                [](zop::Operator& self, const zop::Scene&) { self.Perform("discharge", 150); }, -1, ""});
    op.Start();
    FastForwardBy(100ms);
    source->scene.popupVisible = true;
    source->scene.popupIcon = "TI:SHOCK";
    source->scene.popupMessage = "Defibrillate Now";
    FastForwardBy(200ms);
    EXPECT_EQ(discharged, 0) << "the delay has not passed yet";
    FastForwardBy(200ms);
    EXPECT_EQ(discharged, 150);
    // Still showing: no second discharge until the popup went away and came back.
    FastForwardBy(1000ms);
    EXPECT_EQ(discharged, 150);
    source->scene.popupVisible = false;
    FastForwardBy(100ms);
    source->scene.popupVisible = true;
    FastForwardBy(500ms);
    EXPECT_EQ(discharged, 300);
    // Each instruction is said once as it appears.
    EXPECT_EQ(std::count(log.begin(), log.end(), "instruction: Defibrillate Now"), 2);
    op.Stop();
}

TEST_F(OperatorTest, SharedHabitsStartOnceThenLeaveWithNext)
{
    zop::RecipeBook::Standard().Apply(9999, op);
    source->SetFace("Start");
    op.Start();
    FastForwardBy(500ms);
    EXPECT_EQ(PressedIds(), std::vector<int>{zop::button::Start});
    EXPECT_TRUE(source->presses.front().clickFlag);
    // The run ends without a result: "Start" again, and the operator leaves with Next.
    source->SetFace("Stop");
    FastForwardBy(500ms);
    source->SetFace("Start");
    FastForwardBy(500ms);
    EXPECT_EQ(PressedIds(), (std::vector<int>{zop::button::Start, zop::button::Next}));
    // A result: Next.
    source->presses.clear();
    source->SetFace("Next");
    FastForwardBy(500ms);
    EXPECT_EQ(PressedIds(), std::vector<int>{zop::button::Next});
    op.Stop();
}

TEST_F(OperatorTest, AnswersBoxesByTheirPromptAndHearsBeeps)
{
    op.AddBoxRule({"Abort", "", plat::vbYes, 1});
    op.Start();
    EXPECT_EQ(plat::MsgBox("Abort the test?", plat::vbYesNo + plat::vbDefaultButton2, "Guide"), plat::vbYes);
    // The rule was for once; then the default button answers.
    EXPECT_EQ(plat::MsgBox("Abort the test?", plat::vbYesNo + plat::vbDefaultButton2, "Guide"), plat::vbNo);
    plat::Beep(2500, 150);
    ASSERT_EQ(op.Boxes().size(), 2u);
    EXPECT_EQ(op.Boxes()[0].title, "Guide");
    ASSERT_EQ(op.Beeps().size(), 1u);
    EXPECT_EQ(op.Beeps()[0].frequencyHz, 2500);
    op.Stop();
}

TEST_F(OperatorTest, GivesUpWithStopAndAConfirmedAbortWhenNothingHappens)
{
    source->SetFace("Stop");
    int boxAnswer = 0;
    source->onPress = [&](int id) {
        if (id == zop::button::Abort) boxAnswer = plat::MsgBox("Abort?", plat::vbYesNo + plat::vbDefaultButton2);
    };
    op.SetPatience(10s);
    op.Start();
    FastForwardBy(9s);
    EXPECT_TRUE(source->presses.empty());
    FastForwardBy(2s);
    EXPECT_EQ(PressedIds(), (std::vector<int>{zop::button::Stop, zop::button::Abort}));
    EXPECT_EQ(boxAnswer, plat::vbYes);
    op.Stop();
}

TEST(OperatorRecipes, ReadsThePresetOffTheInstructions)
{
    zop::Scene scene;
    scene.stepLines = {"1. On defibrillator, set Defibrillator energy to 150 J.", "2. Click Start to begin test."};
    EXPECT_EQ(zop::NumberBefore(scene, " J"), 150.0);
    EXPECT_EQ(zop::NumberBefore(scene, " ms"), std::nullopt);
    scene.stepLines = {"set to 2.5 J"};
    EXPECT_EQ(zop::NumberBefore(scene, " J"), 2.5);
    EXPECT_TRUE(zop::RecipeBook::Standard().Has(100));
}

} // namespace
