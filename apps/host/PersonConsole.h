#pragma once

#include "operator/Scene.h"
#include "platform/loop/EventLoop.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace plat {
class IMessageBoxService;
class IBeepService;
}

namespace zhost {

// The person's console of an attended run: it shows on a stream, line by line, what the guide
// window shows a person (the same scene the automatic operator reads), and acts on the words
// the person types, one line at a time, and on nothing else: every button pressed, every box
// answered, every verdict and every change of the analyzer identity comes from a typed line.
// While it works it is the message-box and Beep service of the process.
class PersonConsole {
public:
    // A line longer than this is refused unread.
    static constexpr std::size_t MaxLineBytes = 4096;

    // A word for what the person does away from the window (a bench rehearsal's discharge):
    // its arguments and meaning for the help text, and an action given the words after it that
    // returns an error text, empty when it did what was asked.
    struct BenchWord {
        std::string word;
        std::string arguments;
        std::string meaning;
        std::function<std::string(const std::vector<std::string>&)> action;
    };

    // Whether the input is a terminal is asked when the console is made, unless NoteTerminal
    // asked it before for that descriptor while it named the same file.
    PersonConsole(std::shared_ptr<zop::ISceneSource> source, int inputFd, std::ostream& out);
    ~PersonConsole();
    PersonConsole(const PersonConsole&) = delete;
    PersonConsole& operator=(const PersonConsole&) = delete;

    // Asks now whether the descriptor is a terminal, for a console made on it later: a terminal
    // that hangs up no longer answers as one, so the program asks for its standard input first
    // thing, before anything can hang up.
    static void NoteTerminal(int fd);

    void AddBenchWord(BenchWord word) { mBenchWords.push_back(std::move(word)); }
    // The analyzer identity cannot be typed in this run (a rehearsal on the simulated
    // analyzer, whose unit is fixed): `unit` answers with the reason and types nothing.
    void SetFixedIdentity(std::string why) { mFixedIdentity = std::move(why); }
    // Called once when the person's input ends, so that the run can end: told whether the input
    // was a terminal that closed (hung up) rather than an end of input the person typed or piped.
    // It comes after every line read before it was heard.
    void SetOnInputEnd(std::function<void(bool hungUp)> onEnd) { mOnInputEnd = std::move(onEnd); }

    // The test whose window opens next, to name it when it does.
    void BeginTest(int32_t testId)
    {
        mTestId = testId;
        mTestBegun = true;
    }

    // Starts reading the input, looking at the window and answering boxes through the person;
    // Stop puts back the services that were there.
    void Start();
    void Stop();

    // The person leaves (end of input, Ctrl-C, a closed terminal): the test in hand is stopped,
    // never aborted, and its window left with Next, which keeps what the window shows; a box on
    // the screen is closed by the answer that confirms nothing (zop::LeavingAnswer), and every
    // window that still opens is left the same way.
    void Leave();
    bool Leaving() const { return mLeaving; }

    // One look at the window: shows what changed, then hands the next line typed ahead to the
    // loop.
    void Look();
    // Acts on one typed line, against the window as it stands now (shown first).
    void Hear(const std::string& line);

    // Called by the services this console installs.
    int AnswerBox(const std::string& prompt, int style, const std::string& title);
    void HearBeep(int frequencyHz, int durationMs);

private:
    struct OpenBox {
        std::string prompt;
        std::string title;
        int style = 0;
        int answer = 0;
    };

    // A line read and not heard yet, or in its place a line refused unread (too long).
    struct TypedLine {
        std::string text;
        std::string refusal;
    };

    void ReadInput();
    void QueueLine(TypedLine line);
    // The input is read only while no line waits to be heard: a writer that never pauses then
    // waits for the console instead of filling its memory, and the loop still gets idle.
    void ResumeReading();
    // Lines are heard one at a time, each once everything the line before set going has run
    // (the loop is idle), and only while a window or a box is there to hear them.
    void HearTypedAhead(const zop::Scene& scene);
    void Refuse(const std::string& why);
    // The words that do something now, in the order the help lists them.
    std::vector<std::string> UsableWords(const zop::Scene& scene) const;
    std::string UsableNow(const zop::Scene& scene) const;
    void PressWord(const std::string& word, const zop::Scene& scene);
    void ShowChanges(const zop::Scene& scene);
    void ShowHelp(const zop::Scene& scene);
    void LeaveWindow(const zop::Scene& scene);
    // Whether a verdict may be given: this run's wave is, or was, on the monitor while this
    // window is shown.
    bool VerdictOpen(const zop::Scene& scene) const;
    // Shows a changed instruction; a count-down's lines are thinned out.
    void ShowInstruction(const zop::Scene& scene, const zop::Scene& before);

    std::shared_ptr<zop::ISceneSource> mSource;
    int mInputFd;
    std::ostream& mOut;
    std::vector<BenchWord> mBenchWords;
    std::function<void(bool)> mOnInputEnd;
    int32_t mTestId = 0;
    // The next window shown is that test's, even when the one before closed between two looks.
    bool mTestBegun = false;

    bool mWatching = false;
    plat::FdWatch mInputWatch;
    // The console looks at the window whenever the loop has run what was due, so that every
    // change is shown as it happens and a quiet window costs nothing.
    plat::IdleWatch mLookWatch;
    std::string mInput;
    bool mSkippingLongLine = false;
    bool mInputEnded = false;
    bool mInputIsTerminal = false;
    std::deque<TypedLine> mTypedAhead; // lines read and not heard yet, oldest first
    bool mLineOnItsWay = false;          // a line handed to the loop and not heard yet
    bool mEndUnheard = false;            // the input ended after the lines typed ahead
    bool mHungUp = false;                // the input was a terminal that closed

    std::shared_ptr<plat::IMessageBoxService> mPreviousBoxes;
    std::shared_ptr<plat::IBeepService> mPreviousBeeps;
    std::vector<OpenBox*> mBoxes; // the boxes on the screen, the newest last

    std::string mFixedIdentity;
    bool mLeaving = false;
    bool mStopPressed = false; // leaving pressed Stop in the run going on
    bool mLeftWindow = false;  // leaving pressed Next in the window shown
    bool mWaveShown = false;   // this run's wave was on the monitor in the window shown
    std::optional<int> mShownOutcome; // the outcome last printed for the window shown
    plat::TimePoint mLastCountDownLine{};
    std::optional<zop::Scene> mShown; // what was last shown
    std::vector<std::string> mShownButtons;
    // Posted work checks it, so that a console gone leaves nothing behind that acts.
    std::shared_ptr<bool> mAlive;
};

} // namespace zhost
