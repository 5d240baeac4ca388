#include "apps/host/PersonConsole.h"

#include "operator/Operator.h"
#include "operator/recipes/SimulationRecipes.h"
#include "platform/ui/Beep.h"
#include "simulator/HandActions.h"
#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <map>
#include <poll.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace zhost {

namespace {

class ConsoleBoxes : public plat::IMessageBoxService {
public:
    explicit ConsoleBoxes(PersonConsole& console) : mConsole(console) {}
    int Show(const std::string& prompt, int style, const std::string& title) override
    {
        return mConsole.AnswerBox(prompt, style, title);
    }

private:
    PersonConsole& mConsole;
};

class ConsoleEars : public plat::IBeepService {
public:
    explicit ConsoleEars(PersonConsole& console) : mConsole(console) {}
    void Beep(int frequencyHz, int durationMs) override { mConsole.HearBeep(frequencyHz, durationMs); }

private:
    PersonConsole& mConsole;
};

struct ToolbarWord {
    const char* word;
    int button;
};
// The toolbar's buttons by the captions a person reads on them; Start, Stop and Next may also be
// the face of button 202.
constexpr ToolbarWord kToolbarWords[] = {
    {"start", zop::button::Start}, {"stop", zop::button::Stop},         {"next", zop::button::Next},
    {"previous", zop::button::Previous}, {"skip", zop::button::Skip}, {"n/a", zop::button::NotApplicable},
    {"abort", zop::button::Abort},
};

struct BoxWord {
    const char* word;
    int answer;
};
constexpr BoxWord kBoxWords[] = {{"ok", plat::vbOK},         {"cancel", plat::vbCancel}, {"abort", plat::vbAbort},
                                 {"retry", plat::vbRetry},   {"ignore", plat::vbIgnore}, {"yes", plat::vbYes},
                                 {"no", plat::vbNo}};

// The answers a box of a style offers, in the order its buttons stand.
std::vector<int> BoxAnswers(int style)
{
    switch (style & 7) {
    case plat::vbOKCancel: return {plat::vbOK, plat::vbCancel};
    case plat::vbAbortRetryIgnore: return {plat::vbAbort, plat::vbRetry, plat::vbIgnore};
    case plat::vbYesNoCancel: return {plat::vbYes, plat::vbNo, plat::vbCancel};
    case plat::vbYesNo: return {plat::vbYes, plat::vbNo};
    case plat::vbRetryCancel: return {plat::vbRetry, plat::vbCancel};
    default: return {plat::vbOK};
    }
}

const char* BoxWordOf(int answer)
{
    for (const auto& entry : kBoxWords)
        if (entry.answer == answer) return entry.word;
    return "?";
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string OneLine(std::string text)
{
    std::replace(text.begin(), text.end(), '\r', ' ');
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::istringstream in(line);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

// Well-formed UTF-8: no stray continuation byte, no overlong form, no surrogate, nothing above
// U+10FFFF.
bool IsUtf8(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        int length = 0;
        char32_t code = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2;
            code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3;
            code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(length) > text.size()) return false;
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(length);
    }
    return true;
}

// What the popup's picture stands for.
std::string PictureMeaning(const std::string& key)
{
    if (key == "TI:SHOCK") return "discharge";
    if (key == "TI:WAIT") return "wait";
    if (key == "TI:ZARVIK") return "analyzer";
    return key.empty() ? "no picture" : key;
}

std::string Joined(const std::vector<std::string>& words)
{
    std::string text;
    for (const auto& word : words) text += (text.empty() ? "" : ", ") + word;
    return text;
}

// The toolbar's words that press a button now. Once the window shows a result, Start is
// offered by button 202's menu and runs the test again: it comes last then.
std::vector<std::string> ButtonWords(const zop::Scene& scene)
{
    std::vector<std::string> words;
    for (const auto& entry : kToolbarWords) {
        const int id = entry.button;
        bool usable = scene.Usable(id);
        if (id == zop::button::Start) usable = scene.Ready();
        if (id == zop::button::Stop) usable = usable || scene.Running();
        if (id == zop::button::Next) usable = usable || scene.Done();
        if (usable) words.push_back(entry.word);
    }
    if (scene.Done()) words.push_back("start");
    return words;
}

// The buttons line: the words, and what start does when it runs the test again.
std::string ButtonsLine(const zop::Scene& scene, const std::vector<std::string>& words)
{
    if (words.empty()) return "(none)";
    std::string line = Joined(words);
    if (scene.Done()) line += " (start: run this test again)";
    return line;
}

const char* StatusWord(int status)
{
    switch (status) {
    case 1: return "passed";
    case 2: return "failed";
    case 3: return "skipped";
    default: return "not rated";
    }
}

// The numbers in a text, and the text with each number replaced by '#': the lines of one
// count-down differ in their numbers only.
std::vector<long> Numbers(const std::string& text, std::string* shape = nullptr)
{
    std::vector<long> numbers;
    std::string form;
    for (std::size_t i = 0; i < text.size();) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) {
            form.push_back(text[i++]);
            continue;
        }
        long value = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            if (value < 100000000) value = value * 10 + (text[i] - '0');
            ++i;
        }
        numbers.push_back(value);
        form.push_back('#');
    }
    if (shape) *shape = form;
    return numbers;
}

// A typed word as it is shown back: not too long.
std::string Printable(const std::string& word)
{
    constexpr std::size_t kShown = 40;
    std::string shown = word.substr(0, kShown);
    // The cut never splits a character.
    if (word.size() > kShown) {
        while (!shown.empty() && (static_cast<unsigned char>(shown.back()) & 0xC0) == 0x80) shown.pop_back();
        if (!shown.empty() && static_cast<unsigned char>(shown.back()) >= 0xC0) shown.pop_back();
        shown += "...";
    }
    return shown;
}

// Whether a terminal reports that it hung up (its other end closed).
bool HasHungUp(int fd)
{
    pollfd state{fd, POLLIN, 0};
    return ::poll(&state, 1, 0) == 1 && (state.revents & (POLLHUP | POLLERR)) != 0;
}

std::string OrNone(const std::string& text)
{
    return text.empty() ? "(none)" : text;
}

// A C0 or C1 control (U+0000-U+001F but the tab, U+007F, U+0080-U+009F) in well-formed UTF-8:
// shown back on a terminal, any of them may move its cursor or clear it.
bool HasControl(const std::string& line)
{
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto c = static_cast<unsigned char>(line[i]);
        if ((c < 0x20 && c != '\t') || c == 0x7F) return true;
        if (c == 0xC2 && i + 1 < line.size() && static_cast<unsigned char>(line[i + 1]) <= 0x9F) return true;
    }
    return false;
}

// What a descriptor was asked early: whether it was a terminal, and which file it named then, so
// that the answer is never taken for another file that got the same number since.
struct NotedInput {
    dev_t device = 0;
    ino_t inode = 0;
    bool terminal = false;
};

std::map<int, NotedInput>& NotedTerminals()
{
    static std::map<int, NotedInput> noted;
    return noted;
}

} // namespace

void PersonConsole::NoteTerminal(int fd)
{
    struct stat file {};
    if (::fstat(fd, &file) != 0) return;
    NotedTerminals()[fd] = {file.st_dev, file.st_ino, ::isatty(fd) == 1};
}

PersonConsole::PersonConsole(std::shared_ptr<zop::ISceneSource> source, int inputFd, std::ostream& out)
    : mSource(std::move(source)), mInputFd(inputFd), mOut(out), mAlive(std::make_shared<bool>(true))
{
    const auto noted = NotedTerminals().find(inputFd);
    struct stat file {};
    if (noted != NotedTerminals().end() && ::fstat(inputFd, &file) == 0 && file.st_dev == noted->second.device &&
        file.st_ino == noted->second.inode) {
        mInputIsTerminal = noted->second.terminal;
    } else {
        mInputIsTerminal = ::isatty(inputFd) == 1;
    }
}

PersonConsole::~PersonConsole()
{
    Stop();
}

void PersonConsole::Start()
{
    if (mWatching) return;
    mWatching = true;
    mPreviousBoxes = plat::SetMessageBoxService(std::make_shared<ConsoleBoxes>(*this));
    mPreviousBeeps = plat::SetBeepService(std::make_shared<ConsoleEars>(*this));
    ResumeReading();
    mLookWatch = plat::Loop().WatchIdle([this] { Look(); });
    mOut << "zarvik-host: type help for the words you can use\n" << std::flush;
}

void PersonConsole::Stop()
{
    if (!mWatching) return;
    mWatching = false;
    mInputWatch.Stop();
    mLookWatch.Stop();
    plat::SetMessageBoxService(std::move(mPreviousBoxes));
    plat::SetBeepService(std::move(mPreviousBeeps));
}

void PersonConsole::ReadInput()
{
    // Room for more than a line: a line refused for its length may come in one read with the
    // lines before it.
    char buffer[4 * MaxLineBytes];
    const ssize_t n = ::read(mInputFd, buffer, sizeof buffer);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) return;
    if (n <= 0) {
        // A terminal that closes reads as the end of input (or fails), often before its SIGHUP
        // arrives: it is the terminal closing all the same.
        mHungUp = mInputIsTerminal && (n < 0 || HasHungUp(mInputFd));
        mInputWatch.Stop();
        mInputEnded = true;
        // A last line without its line end is a line all the same, heard before the end.
        if (!mInput.empty() && !mSkippingLongLine) QueueLine({std::move(mInput), {}});
        mInput.clear();
        // The end is heard after the lines read before it.
        mEndUnheard = true;
        return;
    }
    for (ssize_t i = 0; i < n; ++i) {
        const char c = buffer[i];
        if (c == '\n') {
            if (mSkippingLongLine) {
                mSkippingLongLine = false;
                continue;
            }
            std::string line = std::move(mInput);
            mInput.clear();
            // Lines that arrive together (a paste, a pipe) are not heard here, against the
            // window as it was before the first of them acted: HearTypedAhead hands them on one
            // at a time.
            QueueLine({std::move(line), {}});
            continue;
        }
        if (mSkippingLongLine) continue;
        mInput.push_back(c);
        if (mInput.size() > MaxLineBytes) {
            mInput.clear();
            mSkippingLongLine = true;
            // Its refusal is told in its turn, after the lines before it.
            QueueLine({{}, "a line longer than " + std::to_string(MaxLineBytes) + " bytes is refused"});
        }
    }
    if (!mTypedAhead.empty()) mInputWatch.Stop();
}

void PersonConsole::QueueLine(TypedLine line)
{
    if (!line.text.empty() && line.text.back() == '\r') line.text.pop_back();
    mTypedAhead.push_back(std::move(line));
}

void PersonConsole::ResumeReading()
{
    if (mWatching && !mInputEnded && mTypedAhead.empty() && !mInputWatch.IsActive())
        mInputWatch = plat::Loop().WatchFd(mInputFd, [this] { ReadInput(); });
}

void PersonConsole::HearTypedAhead(const zop::Scene& scene)
{
    if (mLineOnItsWay || !mWatching) return;
    // A box that was answered closes first: what the next line presses must not run inside it.
    if (std::any_of(mBoxes.begin(), mBoxes.end(), [](const OpenBox* box) { return box->answer != 0; })) return;
    std::weak_ptr<bool> alive = mAlive;
    // Lines typed before the person left are not acted on: leaving has its own presses.
    if (mLeaving) mTypedAhead.clear();
    if (!mTypedAhead.empty()) {
        // A line waits for a window, or a box, to act on: one typed while the next test's window
        // is not yet open is heard by that window, once it has been shown.
        if (!scene.windowShown && mBoxes.empty()) return;
        TypedLine line = std::move(mTypedAhead.front());
        mTypedAhead.pop_front();
        mLineOnItsWay = true;
        ResumeReading();
        // Heard from a turn of its own, never inside this look: a line that starts a run pumps
        // the loop for as long as the run lasts, and the console must go on looking meanwhile.
        plat::Loop().Post([this, alive, line = std::move(line)] {
            if (!alive.lock()) return;
            mLineOnItsWay = false;
            if (!mWatching) return;
            if (line.refusal.empty()) {
                Hear(line.text);
            } else {
                Refuse(line.refusal);
            }
        });
        return;
    }
    ResumeReading();
    if (!mEndUnheard) return;
    mEndUnheard = false;
    mOut << (mHungUp ? "zarvik-host: the terminal closed; stopping the test\n"
                     : "zarvik-host: end of input; stopping the test\n")
         << std::flush;
    plat::Loop().Post([this, alive] {
        if (alive.lock() && mOnInputEnd) mOnInputEnd(mHungUp);
    });
}

void PersonConsole::Refuse(const std::string& why)
{
    mOut << "zarvik-host: " << why << "; nothing was pressed\n" << std::flush;
}

std::vector<std::string> PersonConsole::UsableWords(const zop::Scene& scene) const
{
    std::vector<std::string> words;
    if (!mBoxes.empty()) {
        for (int answer : BoxAnswers(mBoxes.back()->style)) words.push_back(BoxWordOf(answer));
    } else if (scene.windowShown) {
        words = ButtonWords(scene);
        if (VerdictOpen(scene)) {
            words.push_back("pass");
            words.push_back("fail");
        }
        if (mFixedIdentity.empty()) words.push_back("unit");
    }
    for (const auto& bench : mBenchWords) words.push_back(bench.word);
    words.push_back("help");
    return words;
}

bool PersonConsole::VerdictOpen(const zop::Scene& scene) const
{
    return scene.windowShown && scene.checklist && !scene.resultRows.empty() &&
           (mWaveShown || zop::WaveOnMonitor(scene));
}

std::string PersonConsole::UsableNow(const zop::Scene& scene) const
{
    return "usable now: " + Joined(UsableWords(scene));
}

void PersonConsole::Hear(const std::string& line)
{
    if (!IsUtf8(line)) return Refuse("a line that is not UTF-8 is refused");
    // What a line holds is shown back and typed into the window: nothing in it may move a
    // terminal's cursor.
    if (HasControl(line)) return Refuse("a line with control characters is refused");
    const std::vector<std::string> words = Words(line);
    if (words.empty()) return;
    std::string verb = Lower(words.front());
    if (verb == "na") verb = "n/a";
    // The window as it stands now is shown before the line acts on it.
    const zop::Scene scene = mSource->Look();
    ShowChanges(scene);
    const std::vector<std::string> usable = UsableWords(scene);
    const bool isUsable = std::find(usable.begin(), usable.end(), verb) != usable.end();

    if (verb == "help") return ShowHelp(scene);
    for (const auto& bench : mBenchWords) {
        if (verb != bench.word) continue;
        const std::string said = bench.action({words.begin() + 1, words.end()});
        if (!said.empty()) mOut << "zarvik-host: " << said << '\n' << std::flush;
        return;
    }
    if (mBenchWords.empty() && zsim::IsHandWord(verb)) {
        mOut << "zarvik-host: '" << verb << "' is done at the analyzer, not here (when you rehearse with "
             << "zarvik-sim, type it in zarvik-sim's terminal); nothing was pressed\n"
             << std::flush;
        return;
    }
    if (verb == "unit" && !mFixedIdentity.empty()) {
        mOut << "zarvik-host: " << mFixedIdentity << "; nothing was typed\n" << std::flush;
        return;
    }
    const bool known = std::any_of(std::begin(kToolbarWords), std::end(kToolbarWords),
                                   [&](const ToolbarWord& entry) { return verb == entry.word; }) ||
                       std::any_of(std::begin(kBoxWords), std::end(kBoxWords),
                                   [&](const BoxWord& entry) { return verb == entry.word; }) ||
                       verb == "pass" || verb == "fail" || verb == "unit";
    if (!isUsable) {
        const bool waitsForWave = (verb == "pass" || verb == "fail") && mBoxes.empty() && scene.checklist;
        mOut << "zarvik-host: '" << Printable(words.front()) << "' "
             << (waitsForWave ? "does nothing now: the verdict waits for this run's wave on the monitor"
                 : known      ? "does nothing now"
                              : "is no word here")
             << "; " << UsableNow(scene) << '\n'
             << std::flush;
        return;
    }
    if (!mBoxes.empty()) {
        for (const auto& entry : kBoxWords) {
            if (verb != entry.word) continue;
            mOut << "you answer " << verb << '\n' << std::flush;
            mBoxes.back()->answer = entry.answer;
        }
        return;
    }
    if (verb == "pass" || verb == "fail") {
        mOut << "you judge the wave " << (verb == "pass" ? "passed" : "failed") << '\n' << std::flush;
        if (!mSource->Judge(verb == "pass")) mOut << "zarvik-host: the window shows no verdict to give\n" << std::flush;
        return;
    }
    if (verb == "unit") {
        if (words.size() < 2 || words.size() > 3) {
            mOut << "zarvik-host: unit needs SERIAL [FIRMWARE]; nothing was typed\n" << std::flush;
            return;
        }
        std::optional<std::string> firmware;
        if (words.size() == 3) firmware = words[2];
        mOut << "you type the serial number" << (firmware ? " and the firmware" : "") << '\n' << std::flush;
        if (!mSource->TypeIdentity(words[1], firmware))
            mOut << "zarvik-host: the window shows no analyzer identity page\n" << std::flush;
        return;
    }
    PressWord(verb, scene);
}

void PersonConsole::PressWord(const std::string& word, const zop::Scene& scene)
{
    for (const auto& entry : kToolbarWords) {
        if (word != entry.word) continue;
        int id = entry.button;
        // Stop and Next are on button 202's face too; its own button is the one pressed when
        // that is usable.
        if (id == zop::button::Stop && !scene.Usable(id)) id = zop::button::Start;
        if (id == zop::button::Next && !scene.Usable(id)) id = zop::button::Start;
        if (id == zop::button::Start && scene.Done()) {
            // The window shows a result: its menu's Start runs the test again.
            mWaveShown = false;
            mOut << "you choose start from the menu: the test runs again\n" << std::flush;
            if (!mSource->Press(id, false)) mOut << "zarvik-host: the toolbar did not take start\n" << std::flush;
            return;
        }
        // A run that starts puts its own wave on the monitor before it may be judged.
        if (id == zop::button::Start && word == "start") mWaveShown = false;
        mOut << "you press " << word << '\n' << std::flush;
        if (!mSource->Press(id, true)) mOut << "zarvik-host: the toolbar did not take " << word << '\n' << std::flush;
        return;
    }
}

int PersonConsole::AnswerBox(const std::string& prompt, int style, const std::string& title)
{
    mOut << "box: " << (title.empty() ? std::string() : OneLine(title) + ": ") << OneLine(prompt) << '\n';
    if (mLeaving) {
        const int answer = zop::LeavingAnswer(style);
        mOut << "box closed with " << BoxWordOf(answer) << " (leaving)\n" << std::flush;
        return answer;
    }
    std::vector<std::string> answers;
    for (int answer : BoxAnswers(style)) answers.push_back(BoxWordOf(answer));
    mOut << "answer with: " << Joined(answers) << '\n' << std::flush;
    OpenBox box{prompt, title, style, 0};
    mBoxes.push_back(&box);
    struct Closing {
        std::vector<OpenBox*>& boxes;
        OpenBox* box;
        ~Closing() { boxes.erase(std::remove(boxes.begin(), boxes.end(), box), boxes.end()); }
    } closing{mBoxes, &box};
    plat::Loop().RunUntil([&] { return box.answer != 0; });
    return box.answer;
}

void PersonConsole::HearBeep(int frequencyHz, int durationMs)
{
    mOut << "beep: " << frequencyHz << " Hz for " << durationMs << " ms\n" << std::flush;
}

void PersonConsole::Leave()
{
    if (mLeaving) return;
    mLeaving = true;
    mOut << "zarvik-host: leaving: the test in hand is stopped, and what its window shows is kept\n";
    for (OpenBox* box : mBoxes) {
        if (box->answer == 0) {
            box->answer = zop::LeavingAnswer(box->style);
            mOut << "box closed with " << BoxWordOf(box->answer) << " (leaving)\n";
        }
    }
    mOut << std::flush;
    LeaveWindow(mSource->Look());
}

void PersonConsole::LeaveWindow(const zop::Scene& scene)
{
    if (!scene.Running()) mStopPressed = false;
    if (!scene.windowShown) mLeftWindow = false;
    if (!mLeaving || !scene.windowShown || !mBoxes.empty()) return;
    // The run going on is stopped; a window at rest is left with Next, as the person leaves a
    // finished test. Each press from a turn of its own, after a box that may still be open closed.
    int press = 0;
    if (scene.Running() && !mStopPressed) {
        mStopPressed = true;
        press = scene.Usable(zop::button::Stop) ? zop::button::Stop : zop::button::Start;
    } else if (!scene.Running() && scene.Usable(zop::button::Next) && !mLeftWindow) {
        mLeftWindow = true;
        press = zop::button::Next;
    }
    if (press == 0) return;
    std::weak_ptr<bool> alive = mAlive;
    plat::Loop().Post([this, alive, press] {
        if (!alive.lock()) return;
        mOut << "leaving: " << (press == zop::button::Next ? "next" : "stop") << " pressed\n" << std::flush;
        mSource->Press(press, true);
    });
}

void PersonConsole::ShowHelp(const zop::Scene& scene)
{
    mOut << "words (upper or lower case):\n"
            "  start, stop, next, previous, skip, n/a (or na), abort\n"
            "                          press that button of the toolbar; once the window shows\n"
            "                          a result, start runs this test again\n"
            "  pass, fail              your verdict on the wave, once it is on the monitor\n"
            "  ok, cancel, yes, no, retry, abort, ignore\n"
            "                          answer the message box on the screen\n"
            "  unit SERIAL [FIRMWARE]  type the analyzer's serial number (and firmware)"
         << (mFixedIdentity.empty() ? "" : "; not in this run") << '\n';
    for (const auto& bench : mBenchWords) {
        std::string head = "  " + bench.word + (bench.arguments.empty() ? "" : " " + bench.arguments);
        // A long head puts its meaning on the next line, under the others.
        mOut << head << (head.size() < 26 ? std::string(26 - head.size(), ' ') : "\n" + std::string(26, ' '))
             << bench.meaning << '\n';
    }
    if (mBenchWords.empty())
        mOut << "  discharge, charge, pacemaker, adapter are done at the analyzer, not here\n";
    mOut << "  help                    show this text\n"
            "end of input or Ctrl-C stops the test in hand, keeps what its window shows and ends\n"
            "the run\n";
    if (scene.Done()) mOut << "start: run this test again\n";
    if (VerdictOpen(scene)) mOut << "watch the monitor, then type pass or fail\n";
    mOut
         << UsableNow(scene) << '\n'
         << std::flush;
}

void PersonConsole::Look()
{
    const zop::Scene scene = mSource->Look();
    LeaveWindow(scene);
    ShowChanges(scene);
    HearTypedAhead(scene);
}

void PersonConsole::ShowInstruction(const zop::Scene& scene, const zop::Scene& before)
{
    if (!scene.popupVisible) {
        if (before.popupVisible) mOut << "instruction closed\n";
        return;
    }
    if (before.popupVisible && scene.popupMessage == before.popupMessage && scene.popupIcon == before.popupIcon) return;
    // A count-down changes its numbers only: one line every 10 seconds, and each of the last five.
    std::string shape;
    std::string shapeBefore;
    const std::vector<long> numbers = Numbers(scene.popupMessage, &shape);
    const std::vector<long> numbersBefore = Numbers(before.popupMessage, &shapeBefore);
    const bool countDown = before.popupVisible && scene.popupIcon == before.popupIcon && shape == shapeBefore &&
                           numbers.size() == numbersBefore.size() && !numbers.empty();
    const plat::TimePoint now = plat::Loop().Now();
    if (countDown) {
        long count = numbers.back();
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            if (numbers[i] != numbersBefore[i]) {
                count = numbers[i];
                break;
            }
        }
        if (count > 5 && now - mLastCountDownLine < std::chrono::seconds(10)) return;
    }
    mLastCountDownLine = now;
    mOut << "instruction (" << PictureMeaning(scene.popupIcon) << "): " << OneLine(scene.popupMessage) << '\n';
    // A box that waits for an answer is not scrolled away by the count-down.
    if (countDown && !mBoxes.empty()) {
        std::vector<std::string> answers;
        for (int answer : BoxAnswers(mBoxes.back()->style)) answers.push_back(BoxWordOf(answer));
        mOut << "the box still waits; answer with: " << Joined(answers) << '\n';
    }
}

void PersonConsole::ShowChanges(const zop::Scene& scene)
{
    static const zop::Scene nothing;
    const bool opened = scene.windowShown && (mTestBegun || !(mShown && mShown->windowShown));
    if (opened) mTestBegun = false;
    const zop::Scene& before = opened || !mShown ? nothing : *mShown;
    if (!scene.windowShown) {
        mShown = scene;
        return;
    }
    std::ostream& out = mOut;
    if (opened) {
        out << "== test " << mTestId << ": " << OneLine(scene.caption) << " ==\n";
        mWaveShown = false;
        mShownOutcome.reset();
    }
    if (scene.stepLines != before.stepLines || scene.highlightedSteps != before.highlightedSteps) {
        out << "steps (> marks the step in hand):\n";
        for (std::size_t i = 0; i < scene.stepLines.size(); ++i) {
            const int number = static_cast<int>(i) + 1;
            const bool marked = std::find(scene.highlightedSteps.begin(), scene.highlightedSteps.end(), number) !=
                                scene.highlightedSteps.end();
            const std::string text = OneLine(scene.stepLines[i]);
            if (text.empty() && !marked) continue;
            // Most instructions carry their number already.
            const std::string numbered = std::to_string(number) + ".";
            out << (marked ? "  > " : "    ") << (text.rfind(numbered, 0) == 0 ? "" : numbered + " ") << text << '\n';
        }
    }
    if (scene.statusText != before.statusText)
        out << "status: " << (scene.statusText.empty() ? "(cleared)" : OneLine(scene.statusText)) << '\n';
    ShowInstruction(scene, before);
    if (scene.resultRows != before.resultRows || scene.standard != before.standard) {
        out << "result" << (scene.standard.empty() ? std::string() : " (" + scene.standard + ")") << ":\n";
        for (const auto& row : scene.resultRows) {
            out << "  " << OneLine(row.caption) << ": ";
            if (!scene.checklist) {
                out << OrNone(row.value) << (row.unit.empty() || row.value.empty() ? "" : " " + row.unit);
                if (!row.lowLimit.empty() || !row.highLimit.empty())
                    out << " (low " << OrNone(row.lowLimit) << ", high " << OrNone(row.highLimit) << ")";
                out << ", ";
            }
            out << row.status << '\n';
        }
    }
    if (scene.analyzer != before.analyzer)
        out << "analyzer: " << OrNone(scene.analyzer.type) << ", serial " << OrNone(scene.analyzer.serial)
            << ", firmware " << OrNone(scene.analyzer.firmware) << '\n';
    if (scene.Running()) {
        // A run that starts again puts a new wave on the monitor before it may be judged.
        const bool onMonitor = zop::WaveOnMonitor(scene);
        if (onMonitor && !mWaveShown && scene.checklist)
            out << "the wave is on the monitor: watch the monitor, then type pass or fail\n";
        mWaveShown = onMonitor;
    }
    // The outcome when a run ends, and again when a verdict given after the run changes it.
    if ((!opened && before.Running() && !scene.Running()) ||
        (mShownOutcome && !scene.Running() && *mShownOutcome != scene.statusValue)) {
        out << "outcome: test " << mTestId << " " << StatusWord(scene.statusValue) << '\n';
        mShownOutcome = scene.statusValue;
    }
    std::vector<std::string> words = ButtonWords(scene);
    if (words != mShownButtons || opened) out << "buttons: " << ButtonsLine(scene, words) << '\n';
    mShownButtons = words;
    out << std::flush;
    mShown = scene;
}

} // namespace zhost
