#include "operator/Operator.h"

#include "platform/ui/Beep.h"
#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <chrono>

namespace zop {

namespace {

class OperatorBoxes : public plat::IMessageBoxService {
public:
    explicit OperatorBoxes(Operator& op) : mOperator(op) {}
    int Show(const std::string& prompt, int style, const std::string& title) override
    {
        return mOperator.AnswerBox(prompt, style, title);
    }

private:
    Operator& mOperator;
};

class OperatorEars : public plat::IBeepService {
public:
    explicit OperatorEars(Operator& op) : mOperator(op) {}
    void Beep(int frequencyHz, int durationMs) override { mOperator.HearBeep(frequencyHz, durationMs); }

private:
    Operator& mOperator;
};

std::string OneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

} // namespace

int LeavingAnswer(int style)
{
    switch (style & 7) {
    case plat::vbYesNo: return plat::vbNo;
    case plat::vbYesNoCancel:
    case plat::vbOKCancel:
    case plat::vbRetryCancel: return plat::vbCancel;
    case plat::vbAbortRetryIgnore: return plat::vbAbort;
    default: return plat::vbOK;
    }
}

Operator::Operator(std::shared_ptr<ISceneSource> source) : mSource(std::move(source)) {}

Operator::~Operator()
{
    Stop();
}

void Operator::AddRule(Rule rule)
{
    mRules.push_back({std::move(rule), false, 0});
}

void Operator::RemoveRule(const std::string& name)
{
    std::erase_if(mRules, [&](const RuleState& state) { return state.rule.name == name; });
}

void Operator::AddBoxRule(BoxRule rule)
{
    AddBoxRule(std::move(rule), {});
}

void Operator::AddBoxRule(BoxRule rule, std::function<void(Operator&)> then)
{
    mBoxRules.push_back({std::move(rule), std::move(then)});
}

void Operator::ClearRules()
{
    mRules.clear();
    mBoxRules.clear();
    mGivingUp = false;
    mAnswersYes = false;
}

bool Operator::Perform(const std::string& name, double amount)
{
    auto found = mPhysical.find(name);
    if (found == mPhysical.end() || !found->second) {
        Say("operator: cannot " + name + " here (nobody supplied it)");
        return false;
    }
    found->second(amount);
    return true;
}

bool Operator::Press(int buttonId, bool clickFlag)
{
    // A person names a button by what it shows; button 202's face changes with the run mode.
    std::string caption = mSource->Look().Button(buttonId).caption;
    if (caption.empty()) caption = "button " + std::to_string(buttonId);
    // Button 202's menu holds one choice, Start, whatever its face reads.
    Say("operator: " + (clickFlag ? "presses " + caption : "chooses Start from its menu"));
    return mSource->Press(buttonId, clickFlag);
}

bool Operator::Judge(bool passed)
{
    Say(std::string("operator: judges the wave ") + (passed ? "passed" : "failed"));
    return mSource->Judge(passed);
}

void Operator::Say(const std::string& line) const
{
    if (mLog) mLog(line);
}

void Operator::Start()
{
    if (mWatching) return;
    mWatching = true;
    mPreviousBoxes = plat::SetMessageBoxService(std::make_shared<OperatorBoxes>(*this));
    mPreviousBeeps = plat::SetBeepService(std::make_shared<OperatorEars>(*this));
    mLastProgress = plat::Loop().Now();
    mWindowWasShown = false;
    mIdleWatch = plat::Loop().WatchIdle([this] { Look(); });
}

void Operator::Stop()
{
    if (!mWatching) return;
    mWatching = false;
    mIdleWatch.Stop();
    mPatienceTimer.Stop();
    for (auto& timer : mPending) timer.Stop();
    plat::SetMessageBoxService(std::move(mPreviousBoxes));
    plat::SetBeepService(std::move(mPreviousBeeps));
}

bool Operator::HasFired(const std::string& name) const
{
    return std::any_of(mRules.begin(), mRules.end(),
                       [&](const RuleState& state) { return state.rule.name == name && state.fired > 0; });
}

void Operator::Look()
{
    if (mLooking) return;
    mLooking = true;
    ++mLooks;
    const Scene scene = mSource->Look();
    const plat::TimePoint now = plat::Loop().Now();

    if (scene.popupVisible && !scene.popupMessage.empty()) {
        if (scene.popupMessage != mLastInstruction) Say("instruction: " + OneLine(scene.popupMessage));
        mLastInstruction = scene.popupMessage;
    } else {
        mLastInstruction.clear();
    }

    // The patience counts from the moment a window is seen shown.
    if (!scene.windowShown || !mWindowWasShown) mLastProgress = now;
    if (!scene.windowShown) mGivingUp = false;
    mWindowWasShown = scene.windowShown;
    // Rules are looked at in order; one that fires may arm a later one only at the next look.
    std::vector<std::size_t> due;
    for (std::size_t i = 0; i < mRules.size(); ++i) {
        RuleState& state = mRules[i];
        const bool isTrue = scene.windowShown && state.rule.trigger && state.rule.trigger(scene);
        const bool edge = isTrue && !state.wasTrue;
        state.wasTrue = isTrue;
        if (!edge) continue;
        if (state.rule.times >= 0 && state.fired >= state.rule.times) continue;
        if (!state.rule.after.empty() && !HasFired(state.rule.after)) continue;
        due.push_back(i);
    }
    for (std::size_t i : due) Fire(mRules[i], scene);
    if (!due.empty()) mLastProgress = now;

    if (scene.windowShown && mPatience.count() > 0 && !mGivingUp && !mLeaving && now - mLastProgress > mPatience) {
        Say("operator: nothing happens; gives up on this test");
        GiveUp();
    }
    WatchPatience(scene, now);
    mPending.remove_if([](const plat::Timer& timer) { return !timer.IsActive(); });
    mLooking = false;
}

void Operator::WatchPatience(const Scene& scene, plat::TimePoint now)
{
    if (!mWatching || !scene.windowShown || mPatience.count() <= 0 || mGivingUp || mLeaving) {
        mPatienceTimer.Stop();
        return;
    }
    // The patience runs out once strictly more than it has passed.
    const plat::TimePoint deadline = mLastProgress + mPatience + plat::Millis(1);
    if (mPatienceTimer.IsActive() && deadline == mPatienceDeadline) return;
    mPatienceDeadline = deadline;
    const auto delay = std::chrono::ceil<plat::Millis>(deadline - now);
    // The timer only wakes the loop: the look at the end of its turn finds the patience out.
    mPatienceTimer = plat::Loop().StartOneShot(delay, [] {});
}

void Operator::Later(plat::Millis delay, std::function<void()> action)
{
    mPending.push_back(plat::Loop().StartOneShot(delay, std::move(action)));
}

void Operator::Fire(RuleState& state, const Scene& scene)
{
    ++state.fired;
    // Actions run from a timer of their own, never inside the look: an action that starts a
    // run pumps the loop for as long as the run lasts, and the operator must go on watching.
    auto action = state.rule.action;
    Later(state.rule.delay, [this, action, scene] {
        if (action) action(*this, scene);
    });
}

void Operator::GiveUp()
{
    if (mGivingUp) return;
    mGivingUp = true;
    mPatienceTimer.Stop();
    // Every box from now on (the abort confirmation) is answered yes, until the next recipe.
    mAnswersYes = true;
    Later(plat::Millis(0), [this] {
        const Scene scene = mSource->Look();
        if (scene.Usable(button::Stop)) Press(button::Stop);
    });
    Later(plat::Millis(1), [this] { Press(button::Abort); });
}

void Operator::Leave()
{
    if (mLeaving) return;
    ClearRules();
    mLeaving = true;
    mPatienceTimer.Stop();
    Say("operator: leaves; stops the test in hand and keeps what the window shows");
    // Stop is on button 201, or on button 202's face while a run goes on.
    AddRule({"leave: stop", [](const Scene& scene) { return scene.Running(); }, plat::Millis(0),
             [](Operator& self, const Scene& scene) {
                 self.Press(scene.Usable(button::Stop) ? button::Stop : button::Start);
             },
             -1, ""});
    AddRule({"leave: next", [](const Scene& scene) { return !scene.Running() && scene.Usable(button::Next); },
             plat::Millis(0), [](Operator& self, const Scene&) { self.Press(button::Next); }, -1, ""});
    Later(plat::Millis(0), [this] { Look(); });
}

int Operator::AnswerBox(const std::string& prompt, int style, const std::string& title)
{
    int answer = plat::DefaultAnswer(style);
    std::function<void(Operator&)> then;
    if (mLeaving) {
        answer = LeavingAnswer(style);
    } else if (mAnswersYes) {
        answer = plat::vbYes;
    } else {
        for (auto& habit : mBoxRules) {
            BoxRule& rule = habit.rule;
            if (rule.times == 0) continue;
            if (prompt.find(rule.promptContains) == std::string::npos) continue;
            if (title.find(rule.titleContains) == std::string::npos) continue;
            if (rule.times > 0) --rule.times;
            answer = rule.answer;
            then = habit.then;
            break;
        }
    }
    mBoxes.Add({prompt, title, style, answer});
    Say("box: " + (title.empty() ? std::string() : OneLine(title) + ": ") + OneLine(prompt) + " -> " +
        std::to_string(answer));
    // What the box asked for is done after it closed, on the next turn.
    if (then) Later(plat::Millis(0), [this, then] { then(*this); });
    return answer;
}

void Operator::HearBeep(int frequencyHz, int durationMs)
{
    mBeeps.Add({frequencyHz, durationMs});
}

} // namespace zop
