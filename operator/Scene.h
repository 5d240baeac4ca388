#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zop {

// The buttons of the guide window's toolbar, by their IDs.
namespace button {
constexpr int Abort = 101;
constexpr int Previous = 102;
constexpr int Next = 103;
constexpr int Stop = 201;
constexpr int Start = 202; // its face reads "Start", "Stop" or "Next" by the run mode
constexpr int NotApplicable = 301;
constexpr int Skip = 302;
} // namespace button

// One row of the result view as a person reads it off the window.
struct ResultRow {
    std::string caption;
    std::string value;     // as shown, without its unit; empty while the view shows none
    std::string unit;
    std::string highLimit; // of the standard selected in the toolbar; empty when there is none
    std::string lowLimit;
    std::string status;    // "passed", "failed" or "not rated", as the row's look tells it

    bool operator==(const ResultRow&) const = default;
};

// The analyzer unit that the identity page shows, and that Next confirms.
struct AnalyzerIdentity {
    std::string type;
    std::string serial;
    std::string firmware;

    bool operator==(const AnalyzerIdentity&) const = default;
};

struct ButtonState {
    bool visible = false;
    bool enabled = false;
    bool pressed = false;
    std::string caption;
};

// What a person sees of the guide window at one moment: nothing else reaches the operator.
struct Scene {
    bool windowShown = false;
    std::string caption;
    std::map<int, ButtonState> buttons;
    std::string statusText;
    // The status the toolbar's status field shows of the result: 0 not rated, 1 passed,
    // 2 failed, 3 skipped.
    int statusValue = 0;
    bool popupVisible = false;
    std::string popupIcon;    // the picture's key, "TI:SHOCK"
    std::string popupMessage; // as shown (translated)
    bool popupFlashing = false;
    std::vector<std::string> stepLines;
    std::vector<int> highlightedSteps; // numbers of the marked step lines, from 1
    // The result view: the checklist whose verdict a person clicks (400, 500, 600, 1100), or
    // the list of measured values.
    bool checklist = false;
    std::vector<ResultRow> resultRows;
    std::string standard; // the complete name of the standard selected in the toolbar
    AnalyzerIdentity analyzer;

    const ButtonState& Button(int id) const;
    bool Usable(int id) const;
    // The run modes of the toolbar, read off button 202's face as a person reads them.
    bool Ready() const;   // "Start": nothing run yet, or the last run ended without a result
    bool Running() const; // "Stop"
    bool Done() const;    // "Next": a result is there
    // The popup shows this picture.
    bool Shows(const std::string& icon) const { return popupVisible && popupIcon == icon; }
};

// Where the operator looks and what it presses: the guide window of the process, or a fake.
class ISceneSource {
public:
    virtual ~ISceneSource() = default;
    virtual Scene Look() = 0;
    // Presses a toolbar button as a person does (the click flag False: chosen from button
    // 202's menu); false when there is no window or no such usable button.
    virtual bool Press(int buttonId, bool clickFlag) = 0;
    // Clicks the verdict of the checklist result view's first row as a person does ("Test
    // passed" or "Test fail"); false when there is no such view.
    virtual bool Judge(bool /*passed*/) { return false; }
    // Types the serial number, and the firmware when one is given, into the identity page's
    // boxes as a person does (each box emptied first); false when there is no such page.
    virtual bool TypeIdentity(const std::string& /*serial*/, const std::optional<std::string>& /*firmware*/)
    {
        return false;
    }
};

} // namespace zop
