// The person's console driven in-process on the virtual clock, against a window of the test's
// own making.
#include "apps/host/PersonConsole.h"
#include "support/VirtualLoop.h"

#include "platform/ui/MessageBox.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sstream>
#include <stdlib.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

class StillWindow : public zop::ISceneSource {
public:
    zop::Scene scene;
    zop::Scene Look() override { return scene; }
    bool Press(int, bool) override { return false; }
};

std::vector<std::string> LinesStartingWith(const std::string& text, const std::string& head)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(head, 0) == 0) lines.push_back(line.substr(head.size()));
    }
    return lines;
}

// A count-down is shown every ten seconds and at each of its last five, however close the last
// ones come to the line before them.
TEST(PersonConsole, ACountDownShowsALineEveryTenSecondsAndEachOfItsLastFive)
{
    ztesting::VirtualLoop loop;
    int input[2];
    ASSERT_EQ(::pipe(input), 0);
    auto window = std::make_shared<StillWindow>();
    window->scene.windowShown = true;
    window->scene.caption = "Battery capacity";
    std::ostringstream out;
    {
        zhost::PersonConsole console(window, input[0], out);
        console.BeginTest(900);
        console.Start();
        window->scene.popupVisible = true;
        window->scene.popupIcon = "TI:WAIT";
        for (int left = 30; left >= 0; --left) {
            window->scene.popupMessage = "Please wait " + std::to_string(left) + " s.";
            loop.FastForwardBy(1s);
        }
        console.Stop();
    }
    ::close(input[0]);
    ::close(input[1]);
    const std::vector<std::string> expected{"Please wait 30 s.", "Please wait 20 s.", "Please wait 10 s.",
                                            "Please wait 5 s.",  "Please wait 4 s.",  "Please wait 3 s.",
                                            "Please wait 2 s.",  "Please wait 1 s.",  "Please wait 0 s."};
    EXPECT_EQ(LinesStartingWith(out.str(), "instruction (wait): "), expected) << out.str();
}

// A window whose buttons the test sets, that records every press and every typed identity; a
// press may do more (open a box, as abort does).
class TestWindow : public zop::ISceneSource {
public:
    zop::Scene scene;
    std::vector<int> presses;
    std::vector<std::string> typedSerials;
    std::function<void(int)> onPress;

    zop::Scene Look() override { return scene; }
    bool Press(int id, bool) override
    {
        presses.push_back(id);
        if (onPress) onPress(id);
        return true;
    }
    bool TypeIdentity(const std::string& serial, const std::optional<std::string>&) override
    {
        typedSerials.push_back(serial);
        return true;
    }

    // A test's window before its first run: Start, Next, Skip and Abort usable.
    void ShowReady(const std::string& caption)
    {
        scene = {};
        scene.windowShown = true;
        scene.caption = caption;
        scene.buttons[zop::button::Start] = {true, true, false, "Start"};
        for (int id : {zop::button::Next, zop::button::Skip, zop::button::Abort})
            scene.buttons[id] = {true, true, false, ""};
    }
};

// Whether the texts stand in the output in this order.
::testing::AssertionResult InOrder(const std::string& text, const std::vector<std::string>& parts)
{
    std::size_t from = 0;
    for (const auto& part : parts) {
        const auto at = text.find(part, from);
        if (at == std::string::npos)
            return ::testing::AssertionFailure() << "'" << part << "' missing (in its order) in:\n" << text;
        from = at + part.size();
    }
    return ::testing::AssertionSuccess();
}

// The console on a pipe the test writes as the person types, over a window of the test's.
class ConsoleOnAPipe : public ztesting::VirtualLoopTest {
protected:
    ConsoleOnAPipe()
    {
        mWindow->ShowReady("Energy measurement");
        Restart();
        mConsole->BeginTest(100);
    }
    ~ConsoleOnAPipe() override { Close(); }

    // A new console on a new pipe, not started.
    void Restart()
    {
        Close();
        mOut.str("");
        mEnded.clear();
        ASSERT_EQ(::pipe2(mPipe, O_CLOEXEC), 0);
        mConsole = std::make_unique<zhost::PersonConsole>(mWindow, mPipe[0], mOut);
        mConsole->SetOnInputEnd([this](bool hungUp) { mEnded = hungUp ? "hung up" : "ended"; });
    }
    void Close()
    {
        mConsole.reset();
        if (mPipe[0] >= 0) ::close(mPipe[0]);
        mPipe[0] = -1;
        EndInput();
    }

    void Type(const std::string& bytes)
    {
        ASSERT_EQ(::write(mPipe[1], bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    void EndInput()
    {
        if (mPipe[1] >= 0) ::close(mPipe[1]);
        mPipe[1] = -1;
    }
    // Lets the console read and hear what was typed.
    void Settle() { FastForwardBy(1s); }
    std::string Out() const { return mOut.str(); }

    int mPipe[2] = {-1, -1};
    std::shared_ptr<TestWindow> mWindow = std::make_shared<TestWindow>();
    std::ostringstream mOut;
    std::unique_ptr<zhost::PersonConsole> mConsole;
    std::string mEnded;
};

constexpr const char* kControlRefused = "a line with control characters is refused; nothing was pressed\n";

// Each line is heard in the order it came, whatever it is: a refusal takes the place of the line
// it refuses, a last line without its line end is heard before the end of the input, and a line
// with a C0 or C1 control (a terminal acts on either: "\xc2\x9b" starts a command as ESC [
// does) presses and types nothing.
TEST_F(ConsoleOnAPipe, EveryLineIsHeardInItsPlace)
{
    const std::string tooLong = std::string(5000, 'x');
    struct Case {
        const char* name;
        std::string typed;
        bool end;
        std::vector<std::string> shown; // in this order
        std::vector<int> presses;
    };
    const std::vector<Case> cases{
        {"a refusal in its place", "help\n" + tooLong + " start\nskip\n", false,
         {"usable now:", "a line longer than 4096 bytes is refused", "you press skip"}, {zop::button::Skip}},
        {"a refusal before the line after it", tooLong + "\nhelp\n", false,
         {"a line longer than 4096 bytes is refused", "usable now:"}, {}},
        {"a last line without its line end", "skip", true, {"you press skip", "end of input"}, {zop::button::Skip}},
        {"a last line ended by a carriage return only", "skip\r", true, {"you press skip", "end of input"},
         {zop::button::Skip}},
        {"an over-long last line without its line end", "help\n" + tooLong, true,
         {"usable now:", "a line longer than 4096 bytes is refused", "end of input"}, {}},
        {"C0: ESC [ 2 J", "\x1b[2Jstart\n", false, {kControlRefused}, {}},
        {"C1: CSI 2 J", "\xc2\x9b"
                        "2J\n",
         false, {kControlRefused}, {}},
        {"C1: U+0080 in a word", "st\xc2\x80"
                                 "art\n",
         false, {kControlRefused}, {}},
        {"C1: U+009F in a serial", "unit SN\xc2\x9f"
                                   "1\n",
         false, {kControlRefused}, {}},
        {"C1 then a word", "\xc2\x85skip\nskip\n", false, {kControlRefused, "you press skip"}, {zop::button::Skip}},
        {"U+00A0 is no control", "\xc2\xa0\n", false, {"is no word here"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        mWindow->presses.clear();
        mWindow->typedSerials.clear();
        Restart();
        mConsole->Start();
        Type(c.typed);
        if (c.end) EndInput();
        Settle();
        EXPECT_TRUE(InOrder(Out(), c.shown));
        EXPECT_EQ(mWindow->presses, c.presses) << Out();
        EXPECT_TRUE(mWindow->typedSerials.empty()) << Out();
        EXPECT_EQ(mEnded, c.end ? "ended" : "") << Out();
    }
}

// A line typed while no window is open (between two tests) is heard by the next window, once
// that was shown, and never by no window at all.
TEST_F(ConsoleOnAPipe, ALineTypedBetweenTwoTestsWaitsForTheNextWindow)
{
    mConsole->Start();
    Settle();
    mWindow->scene = {};
    Settle();
    Type("start\n");
    Settle();
    EXPECT_TRUE(mWindow->presses.empty()) << Out();
    EXPECT_EQ(Out().find("'start'"), std::string::npos) << Out();
    mConsole->BeginTest(200);
    mWindow->ShowReady("Pulse width");
    Settle();
    EXPECT_EQ(mWindow->presses, std::vector<int>{zop::button::Start}) << Out();
    EXPECT_TRUE(InOrder(Out(), {"== test 200: Pulse width ==", "buttons: start", "you press start"}));
}

// The person who leaves (a signal) leaves with Next alone: lines typed ahead that wait for the
// next window press nothing.
TEST_F(ConsoleOnAPipe, LinesTypedAheadPressNothingOnceThePersonLeaves)
{
    mConsole->Start();
    Settle();
    mWindow->scene = {};
    Type("start\nskip\nabort\n");
    Settle();
    mConsole->Leave();
    mConsole->BeginTest(200);
    mWindow->ShowReady("Pulse width");
    Settle();
    EXPECT_EQ(mWindow->presses, std::vector<int>{zop::button::Next}) << Out();
    EXPECT_EQ(Out().find("you press"), std::string::npos) << Out();
}

// A box answered while a wait inside it still runs (the window waits for the analyzer's reply)
// is still on the screen: the next line typed acts once it has closed, on the window, never on
// the answered box.
TEST_F(ConsoleOnAPipe, TheLineAfterABoxsAnswerWaitsUntilTheBoxHasClosed)
{
    bool inAbort = false;
    std::vector<int> pressedInsideTheBox;
    plat::Timer reply;
    mWindow->onPress = [&](int id) {
        if (inAbort) pressedInsideTheBox.push_back(id);
        if (id != zop::button::Abort) return;
        inAbort = true;
        // While the box waits, the window waits a second for a reply; the person answers and
        // types on meanwhile.
        reply = plat::Loop().StartOneShot(0ms, [&] {
            Type("yes\nskip\n");
            bool replied = false;
            plat::Timer second = plat::Loop().StartOneShot(1s, [&] { replied = true; });
            plat::Loop().RunUntil([&] { return replied; });
        });
        plat::MsgBox("Do you really want to abort the test?", plat::vbYesNo, "Test guide");
        inAbort = false;
    };
    mConsole->Start();
    Type("abort\n");
    FastForwardBy(5s);
    EXPECT_TRUE(pressedInsideTheBox.empty()) << Out();
    EXPECT_EQ(mWindow->presses, (std::vector<int>{zop::button::Abort, zop::button::Skip})) << Out();
    EXPECT_TRUE(InOrder(Out(), {"answer with: yes, no", "you answer yes", "you press skip"}));
    EXPECT_EQ(Out().find("'skip' does nothing now"), std::string::npos) << Out();
    mConsole->Stop();
}

// A new test's window shows no outcome before its own run ends, whatever the window before showed.
TEST_F(ConsoleOnAPipe, ANewWindowShowsNoOutcomeOfTheWindowBefore)
{
    mConsole->Start();
    Settle();
    mWindow->scene.buttons[zop::button::Start].caption = "Stop";
    Settle();
    mWindow->scene.buttons[zop::button::Start].caption = "Next";
    mWindow->scene.statusValue = 1;
    Settle();
    ASSERT_TRUE(InOrder(Out(), {"outcome: test 100 passed"}));
    mConsole->BeginTest(200);
    mWindow->ShowReady("Pulse width");
    Settle();
    EXPECT_TRUE(InOrder(Out(), {"== test 200: Pulse width ==", "buttons: start"}));
    EXPECT_EQ(Out().find("outcome: test 200"), std::string::npos) << Out();
}

// A terminal that closed before the console was made (while the run started up) is the terminal
// closing, as long as it was asked early whether the input is a terminal.
TEST(PersonConsole, ATerminalThatClosedDuringTheStartUpIsHeardAsClosed)
{
    ztesting::VirtualLoop loop;
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const int slave = ::open(::ptsname(master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(slave, 0);
    zhost::PersonConsole::NoteTerminal(slave);
    ::close(master);
    auto window = std::make_shared<TestWindow>();
    window->ShowReady("Energy measurement");
    std::ostringstream out;
    std::string ended;
    {
        zhost::PersonConsole console(window, slave, out);
        console.SetOnInputEnd([&](bool hungUp) { ended = hungUp ? "hung up" : "ended"; });
        console.BeginTest(100);
        console.Start();
        loop.FastForwardBy(1s);
        console.Stop();
    }
    ::close(slave);
    EXPECT_EQ(ended, "hung up") << out.str();
    EXPECT_NE(out.str().find("the terminal closed"), std::string::npos) << out.str();
}

} // namespace
