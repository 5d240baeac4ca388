// The person's console driven in-process on the virtual clock, against a window of the test's
// own making.
#include "apps/host/PersonConsole.h"
#include "support/VirtualLoop.h"

#include <gtest/gtest.h>

#include <sstream>
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

} // namespace
