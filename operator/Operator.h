#pragma once

#include "operator/Scene.h"
#include "platform/loop/EventLoop.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace plat {
class IMessageBoxService;
class IBeepService;
}

namespace zop {

class Operator;

// One habit of the operator: when the trigger becomes true (it was false at the look before,
// or this is the first look), the action runs after the delay. A rule fires at most `times`
// times (-1: without limit) and, when `after` names another rule, only once that one fired.
struct Rule {
    std::string name;
    std::function<bool(const Scene&)> trigger;
    plat::Millis delay{0};
    std::function<void(Operator&, const Scene&)> action;
    int times = -1;
    std::string after;
};

// How the operator answers a message box: the first rule whose texts occur in the box's
// prompt and title (an empty text matches every box) gives the answer.
struct BoxRule {
    std::string promptContains;
    std::string titleContains;
    int answer = 0;
    int times = -1;
};

// A message box as the operator saw it, with the answer given.
struct BoxSeen {
    std::string prompt;
    std::string title;
    int style = 0;
    int answer = 0;
};

struct BeepHeard {
    int frequencyHz = 0;
    int durationMs = 0;
};

// The latest records of one kind, at most a fixed number of them: a host that runs sessions all
// day keeps what its last runs showed, not everything since it started. Total counts them all.
template <class T>
class Recent {
public:
    explicit Recent(std::size_t capacity) : mCapacity(capacity) {}

    void Add(T item)
    {
        if (mCapacity == 0) return;
        if (mItems.size() == mCapacity) mItems.pop_front();
        mItems.push_back(std::move(item));
        ++mTotal;
    }
    std::size_t size() const { return mItems.size(); }
    bool empty() const { return mItems.empty(); }
    const T& operator[](std::size_t i) const { return mItems[i]; }
    const T& front() const { return mItems.front(); }
    const T& back() const { return mItems.back(); }
    auto begin() const { return mItems.begin(); }
    auto end() const { return mItems.end(); }
    std::size_t Capacity() const { return mCapacity; }
    uint64_t Total() const { return mTotal; }

private:
    std::size_t mCapacity;
    std::deque<T> mItems;
    uint64_t mTotal = 0;
};

// How a box closes when whoever acts in the window leaves: by the answer that confirms nothing
// and asks for nothing more (No to a question, Cancel where the box has it, Abort of
// abort-retry-ignore, OK of a plain message).
int LeavingAnswer(int style);

// The automatic operator: it watches the guide window as a person does and acts by its rules:
// it presses toolbar buttons, answers message boxes and performs physical actions (discharging
// a defibrillator into the analyzer, charging it, attaching a pacemaker), which its owner
// supplies as callbacks, so the operator itself knows no analyzer. It also hears the beeps.
// While it works it is the message-box and Beep service of the process.
//
// The window only changes in handlers of the event loop, so the operator looks whenever the
// loop has run what was due and is about to wait (at any nesting depth), and at the deadline of
// its patience; it never polls. A run costs as many looks as it has turns.
class Operator {
public:
    // How many boxes and beeps the operator remembers (the latest ones).
    static constexpr std::size_t RecordsKept = 256;

    explicit Operator(std::shared_ptr<ISceneSource> source);
    ~Operator();
    Operator(const Operator&) = delete;
    Operator& operator=(const Operator&) = delete;

    void AddRule(Rule rule);
    // Forgets the rules of that name (a recipe that replaces a shared habit).
    void RemoveRule(const std::string& name);
    void AddBoxRule(BoxRule rule);
    // The same, and what the box asked for: done once the box is answered, from the loop (on
    // the next turn), never inside the box.
    void AddBoxRule(BoxRule rule, std::function<void(Operator&)> then);
    // Forgets every rule and box rule (before the next test's recipe).
    void ClearRules();

    // The physical actions the operator can perform, by name ("discharge" with joules).
    using Physical = std::function<void(double)>;
    void SetPhysical(const std::string& name, Physical action) { mPhysical[name] = std::move(action); }
    // Performs one; false when nobody supplied it (the operator then only says so).
    bool Perform(const std::string& name, double amount);

    // Presses a toolbar button and says so in the log, by the caption the button shows
    // ("presses Start").
    bool Press(int buttonId, bool clickFlag = true);
    // Clicks "Test passed" (or "Test fail") in the checklist result view and says so.
    bool Judge(bool passed);

    // Where the operator says what it sees and does: each instruction as it appears, each box
    // answered, each physical action; one line each.
    void SetLog(std::function<void(const std::string&)> log) { mLog = std::move(log); }
    void Say(const std::string& line) const;

    // How long the operator waits, while a window is shown and none of its rules fires, before
    // it gives up on the test: it presses Stop and then Abort and confirms. Zero: never.
    void SetPatience(plat::Millis patience) { mPatience = patience; }

    // Ends the test in hand as a person who wants out does: Stop, then Abort, confirmed. Safe
    // from a signal handler's posted event; a second call does nothing until the window is
    // gone.
    void GiveUp();

    // Leaves as a person who wants out does (Ctrl-C at the bench): the test in hand is stopped,
    // never aborted, and its window is left with Next, which keeps what the window shows; a box
    // is closed by the answer that confirms nothing. Every window that still opens is left the
    // same way. Safe from a signal handler's posted event.
    void Leave();
    bool Leaving() const { return mLeaving; }

    // Starts watching (and answering boxes, hearing beeps); Stop puts back the services that
    // were there.
    void Start();
    void Stop();

    // Looks once now and fires what is due.
    void Look();
    // How many times the operator has looked since it was made.
    uint64_t Looks() const { return mLooks; }

    // The latest boxes answered and beeps heard, oldest first.
    const Recent<BoxSeen>& Boxes() const { return mBoxes; }
    const Recent<BeepHeard>& Beeps() const { return mBeeps; }

    // Called by the services this operator installs.
    int AnswerBox(const std::string& prompt, int style, const std::string& title);
    void HearBeep(int frequencyHz, int durationMs);

private:
    struct RuleState {
        Rule rule;
        bool wasTrue = false;
        int fired = 0;
    };
    bool HasFired(const std::string& name) const;
    void Fire(RuleState& state, const Scene& scene);

    void Later(plat::Millis delay, std::function<void()> action);
    // Keeps a wake-up at the moment the patience runs out, so that the look then can give up.
    void WatchPatience(const Scene& scene, plat::TimePoint now);

    std::shared_ptr<ISceneSource> mSource;
    std::vector<RuleState> mRules;
    struct BoxHabit {
        BoxRule rule;
        std::function<void(Operator&)> then;
    };
    std::vector<BoxHabit> mBoxRules;
    std::map<std::string, Physical> mPhysical;
    std::function<void(const std::string&)> mLog;
    std::list<plat::Timer> mPending;
    plat::IdleWatch mIdleWatch;
    plat::Timer mPatienceTimer;
    plat::TimePoint mPatienceDeadline{};
    bool mWatching = false;
    bool mLooking = false;
    uint64_t mLooks = 0;
    std::shared_ptr<plat::IMessageBoxService> mPreviousBoxes;
    std::shared_ptr<plat::IBeepService> mPreviousBeeps;
    Recent<BoxSeen> mBoxes{RecordsKept};
    Recent<BeepHeard> mBeeps{RecordsKept};
    std::string mLastInstruction;
    plat::Millis mPatience{0};
    plat::TimePoint mLastProgress{};
    bool mWindowWasShown = false;
    bool mGivingUp = false;
    bool mAnswersYes = false;
    bool mLeaving = false;
};

} // namespace zop
