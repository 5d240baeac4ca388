#include "operator/Operator.h"
#include "operator/Recipes.h"
#include "platform/ui/Beep.h"
#include "platform/ui/MessageBox.h"
#include "support/VirtualLoop.h"

#include <gtest/gtest.h>

#include <chrono>
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
    // The log names each button by what it shows.
    EXPECT_EQ(log, (std::vector<std::string>{"operator: presses Start", "operator: presses Next",
                                             "operator: presses Next"}));
    op.Stop();
}

TEST_F(OperatorTest, LogNamesButtonsByTheirCaptions)
{
    source->SetFace("Stop");
    source->scene.buttons[zop::button::NotApplicable] = {true, true, false, "N/A"};
    op.Press(zop::button::Start);
    op.Press(zop::button::NotApplicable);
    op.Press(zop::button::Abort);
    // Over a result the face reads "Next"; its menu still starts the test.
    source->SetFace("Next");
    op.Press(zop::button::Start, false);
    // A button the window does not have is named by its number.
    op.Press(777);
    EXPECT_EQ(log, (std::vector<std::string>{"operator: presses Stop", "operator: presses N/A", "operator: presses Abort",
                                             "operator: chooses Start from its menu", "operator: presses button 777"}));
}

// The operator looks when the loop has run what was due, not on a clock of its own: a long
// quiet wait costs a few looks, and a change made by a handler is seen at once.
TEST_F(OperatorTest, LooksWhenTheLoopHasRunSomethingNotOnAClock)
{
    source->SetFace("Start");
    op.AddRule({"shock", [](const zop::Scene& s) { return s.Shows("TI:SHOCK"); }, 300ms,
                [](zop::Operator& self, const zop::Scene&) { self.Press(zop::button::Stop); }, -1, ""});
    op.Start();
    FastForwardBy(std::chrono::minutes(10));
    EXPECT_LE(op.Looks(), 3u) << "ten quiet minutes";

    const uint64_t before = op.Looks();
    plat::Timer change = TestLoop().StartOneShot(5001ms, [this] {
        source->scene.popupVisible = true;
        source->scene.popupIcon = "TI:SHOCK";
    });
    const int64_t changedAt = ElapsedMs() + 5001;
    FastForwardBy(10s);
    ASSERT_EQ(source->presses.size(), 1u);
    EXPECT_EQ(source->presses[0].atMs, changedAt + 300) << "seen in the turn that changed it";
    EXPECT_LE(op.Looks() - before, 6u);
    op.Stop();
}

// A run started by a press pumps a nested loop for as long as it lasts (a modal window does
// the same); the operator goes on looking and acting inside it.
TEST_F(OperatorTest, LooksAndActsInsideANestedLoop)
{
    source->SetFace("Start");
    bool discharged = false;
    std::vector<plat::Timer> timers;
    source->onPress = [&](int id) {
        if (id != zop::button::Start) return;
        source->SetFace("Stop");
        timers.push_back(TestLoop().StartOneShot(2s, [this] {
            source->scene.popupVisible = true;
            source->scene.popupIcon = "TI:SHOCK";
        }));
        TestLoop().RunUntil([&] { return discharged; });
        source->SetFace("Next");
    };
    zop::RecipeBook::Standard().Apply(9999, op);
    op.AddRule({"discharge", [](const zop::Scene& s) { return s.Shows("TI:SHOCK"); }, 400ms,
                [&](zop::Operator&, const zop::Scene&) { discharged = true; }, -1, ""});
    op.Start();
    ASSERT_TRUE(RunUntilFor([&] { return discharged; }, 5s));
    EXPECT_EQ(ElapsedMs(), 100 + 2000 + 400);
    FastForwardBy(500ms);
    EXPECT_EQ(PressedIds(), (std::vector<int>{zop::button::Start, zop::button::Next}));
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
    ASSERT_EQ(PressedIds(), (std::vector<int>{zop::button::Stop, zop::button::Abort}));
    // Nothing else wakes the loop: the operator keeps the deadline of its patience itself.
    EXPECT_EQ(source->presses.front().atMs, 10001);
    EXPECT_EQ(boxAnswer, plat::vbYes);
    op.Stop();
}

// Leaving (Ctrl-C at the bench) stops the run in hand and leaves its window with Next, which
// keeps what the window shows: nothing is aborted, and a question is answered no.
TEST_F(OperatorTest, LeavingStopsTheRunAndLeavesWithNextConfirmingNothing)
{
    source->SetFace("Stop");
    source->onPress = [&](int id) {
        if (id == zop::button::Stop) source->SetFace("Start");
    };
    op.SetPatience(10s);
    op.Start();
    FastForwardBy(1s);
    op.Leave();
    EXPECT_EQ(plat::MsgBox("Abort?", plat::vbYesNo), plat::vbNo);
    FastForwardBy(1s);
    EXPECT_EQ(PressedIds(), (std::vector<int>{zop::button::Stop, zop::button::Next}));
    // A window at rest is left with Next alone, and the patience gives nothing up meanwhile.
    source->presses.clear();
    source->scene.windowShown = false;
    FastForwardBy(1s);
    source->SetFace("Next");
    FastForwardBy(30s);
    EXPECT_EQ(PressedIds(), (std::vector<int>{zop::button::Next}));
    op.Stop();
}

TEST_F(OperatorTest, PatienceCountsFromTheWindowShownAndFromTheLastRuleFired)
{
    op.SetPatience(10s);
    op.AddRule({"popup", [](const zop::Scene& s) { return s.popupVisible; }, 0ms, {}, -1, ""});
    op.Start();
    // No window for a minute: the patience has not begun.
    FastForwardBy(std::chrono::minutes(1));
    source->SetFace("Stop");
    FastForwardBy(6s);
    source->scene.popupVisible = true;
    FastForwardBy(9s);
    EXPECT_TRUE(source->presses.empty()) << "a rule fired 9 s ago";
    FastForwardBy(2s);
    ASSERT_FALSE(source->presses.empty());
    EXPECT_EQ(source->presses.front().atMs, 60000 + 6000 + 10001);
    op.Stop();
}

TEST_F(OperatorTest, KeepsTheLatestBoxesAndBeepsOnly)
{
    op.Start();
    const std::size_t many = zop::Operator::RecordsKept + 44;
    for (std::size_t i = 0; i < many; ++i) {
        plat::MsgBox("box " + std::to_string(i), plat::vbOKOnly, "Guide");
        plat::Beep(static_cast<int>(1000 + i), 100);
    }
    ASSERT_EQ(op.Boxes().size(), zop::Operator::RecordsKept);
    EXPECT_EQ(op.Boxes().Total(), many);
    EXPECT_EQ(op.Boxes().front().prompt, "box 44");
    EXPECT_EQ(op.Boxes().back().prompt, "box " + std::to_string(many - 1));
    ASSERT_EQ(op.Beeps().size(), zop::Operator::RecordsKept);
    EXPECT_EQ(op.Beeps().Total(), many);
    EXPECT_EQ(op.Beeps().front().frequencyHz, 1044);
    EXPECT_EQ(op.Beeps().back().frequencyHz, static_cast<int>(1000 + many - 1));
    op.Stop();
}

TEST_F(OperatorTest, DoesWhatABoxAskedForOnceItIsAnswered)
{
    int connected = 0;
    bool insideTheBox = false;
    op.SetPhysical("connect", [&](double) { connected += insideTheBox ? 100 : 1; });
    op.AddBoxRule({"No Adapter", "", plat::vbOK, 1}, [](zop::Operator& self) { self.Perform("connect", 1); });
    op.Start();
    insideTheBox = true;
    EXPECT_EQ(plat::MsgBox("No Adapter detected. Please try again", plat::vbCritical), plat::vbOK);
    insideTheBox = false;
    EXPECT_EQ(connected, 0);
    FastForwardBy(1ms);
    EXPECT_EQ(connected, 1);
    // The rule was for once: a second box is only answered.
    plat::MsgBox("No Adapter detected. Please try again", plat::vbCritical);
    FastForwardBy(1ms);
    EXPECT_EQ(connected, 1);
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
