#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace host {

// One button of the test-guide toolbar, found by its numeric ID.
class ITgButton : public virtual plat::IUnknown {
public:
    virtual int32_t ID() = 0;
    virtual bool Enabled() = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // Whether the button is drawn pressed in (button 202 while a run goes on).
    virtual bool Pressed() = 0;
    // Whether the toolbar shows the button at all (the configure flags decide).
    virtual bool Visible() = 0;
    virtual std::string Caption() = 0;
};

// The status field of the toolbar: a status value drawn as a picture (0 not rated, 1 passed,
// 2 failed, 3 skipped) and a line of text.
class ITgStatusField : public virtual plat::IUnknown {
public:
    virtual int16_t Status() = 0;
    virtual void SetStatus(int16_t status) = 0;
    virtual std::string Text() = 0;
    virtual void SetText(const std::string& text) = 0;
};

// The standard chosen in the toolbar's selector, and whether its limits are shown with their
// formulas worked out.
class ITgStandardSelection : public virtual plat::IUnknown {
public:
    virtual std::string AlphaName() = 0;
    virtual std::string CompleteName() = 0;
    virtual bool Calculate() = 0;
};

// The host's test-guide toolbar ("TelvoTGCL2.XTgToolbar"): navigation buttons by numeric ID,
// a status field, a standard selector and a context menu.
//
// Run modes decide the buttons (202 is the start button, whose face also reads "Stop" and
// "Next"):
//   mode | 202 face (pressed) | 101 | 102 | 103 | 201 | 301, 302
//   0    | "Start" (no)       | on  | on  | on  | off | as configured
//   1    | "Stop" (yes)       | on  | off | off | on  | off
//   2    | "Next" (no)        | on  | on  | on  | off | as configured
// A click on a button's face sends ButtonClick with the click flag True, except the face of
// 202 reading "Start", which sends False, as does choosing "Start" from 202's drop-down menu.
//
// Events, by name through the control's extender:
//   "ButtonClick"      (button: the ITgButton object, click flag: Boolean)
//   "SizeChanged"      (none)
//   "StandardChanged"  (none): the selection changed, also when Attach makes its first one.
class ITgToolbar : public virtual plat::IUnknown {
public:
    static constexpr int32_t ButtonAbort = 101;
    static constexpr int32_t ButtonPrevious = 102;
    static constexpr int32_t ButtonNext = 103;
    static constexpr int32_t ButtonStop = 201;
    static constexpr int32_t ButtonStart = 202;
    static constexpr int32_t ButtonNA = 301;
    static constexpr int32_t ButtonSkip = 302;

    // Configure flags.
    static constexpr int32_t ShowSkip = 1;
    static constexpr int32_t ShowNA = 2;
    static constexpr int32_t ShowAbort = 4;
    // The second configure argument: 1 shows Previous, 2 shows Next.
    static constexpr int32_t ShowPrevious = 1;
    static constexpr int32_t ShowNext = 2;

    static constexpr const char* EventButtonClick = "ButtonClick";
    static constexpr const char* EventSizeChanged = "SizeChanged";
    static constexpr const char* EventStandardChanged = "StandardChanged";

    // The button of an ID; none for an ID the toolbar does not have.
    virtual std::shared_ptr<ITgButton> Button(int32_t id) = 0;
    virtual std::shared_ptr<ITgStatusField> StatusField() = 0;
    // The current standard selection; none while the selector lists nothing.
    virtual std::shared_ptr<ITgStandardSelection> CurrentStandard() = 0;

    // 0 ready (not run), 1 running, 2 ready (done); other values change nothing.
    virtual void SetRunMode(int32_t mode) = 0;
    virtual int32_t RunMode() = 0;
    // While busy the toolbar shows a run going on; while locked the standard selector and the
    // menus do not take the operator's choice.
    virtual void SetBusy(bool busy, bool lock) = 0;
    virtual bool Busy() = 0;
    virtual bool Locked() = 0;
    // Shows and hides the buttons: flags of ShowSkip, ShowNA, ShowAbort; buttons of
    // ShowPrevious, ShowNext.
    virtual void Configure(int32_t& flags, int32_t buttons) = 0;
    // Takes the element and the run context: the selector lists the run context's selected
    // standards that the element's limits hold (all of the element's standards when the run
    // context selects none), selects the first and raises StandardChanged.
    virtual void Attach(const std::shared_ptr<ITestElement>& element, const std::shared_ptr<HostTestContext>& context) = 0;
    // Opens the context menu (nothing while locked).
    virtual void ShowMenu() = 0;
    virtual float ToolbarHeight() = 0;

    // What the operator sees.
    // The standards in the selector as "alpha name" and "complete name", and which is chosen
    // (-1 for none).
    struct StandardName {
        std::string alphaName;
        std::string completeName;
    };
    virtual std::vector<StandardName> ListedStandards() = 0;
    virtual int32_t SelectedStandardIndex() = 0;
    // How often the context menu was opened.
    virtual int32_t MenuShownCount() = 0;

    // Operator actions. Each does what a person's mouse would and reports whether the toolbar
    // took it (a hidden or disabled button, a locked selector or an index outside the list
    // takes nothing).
    virtual bool UserClickButton(int32_t id) = 0;
    // Chooses "Start" from button 202's drop-down menu.
    virtual bool UserChooseStart() = 0;
    virtual bool UserSelectStandard(int32_t index) = 0;
    virtual bool UserSetCalculate(bool calculate) = 0;
};

} // namespace host
