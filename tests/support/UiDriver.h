#pragma once

#include "host/interfaces/ITgContentPane.h"
#include "host/interfaces/ITgToolbar.h"
#include "platform/ui/CheckBox.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/Control.h"
#include "platform/ui/Grid.h"
#include "platform/ui/ListBox.h"
#include "platform/ui/ListView.h"
#include "platform/ui/OptionButton.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TabStrip.h"
#include "platform/ui/TextBox.h"
#include "platform/ui/UpDown.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

namespace ztesting {

// Raised when a test asks the driver for something no operator could do (act on a hidden or
// disabled control, pick an entry that is not there).
class UiDriverError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

// Acts on forms and controls as the operator would, through the same events: a click moves
// the focus and raises Click, typing raises KeyPress and Change per character, picking an
// entry raises Click, and so on. Before every action it checks that an operator could reach
// the control at all: it must be visible on screen and enabled, with every window above it.
class UiDriver {
public:
    // Whether an operator can reach the control now.
    static bool CanOperate(const plat::Control& control);

    // Clicks a button, check box, option button, text box or any other control.
    void Click(plat::Control& control);
    // Moves the focus to a control as tabbing into it would (GotFocus, no Click).
    void Focus(plat::Control& control);
    // Types into a text box at its caret (replacing its selection); focuses it first when it
    // does not have the focus.
    void Type(plat::TextBox& box, const std::string& text);
    // Presses one key (8 is backspace) in a text box.
    void PressKey(plat::TextBox& box, int16_t keyAscii);
    // Selects the whole text of a text box as the operator's mouse would (no events).
    void SelectAll(plat::TextBox& box);

    void Select(plat::ComboBox& combo, int index);
    void Select(plat::ComboBox& combo, const std::string& text);
    void EditText(plat::ComboBox& combo, const std::string& text);
    void Select(plat::ListBox& list, int index);
    void Check(plat::ListBox& list, int index);
    void MoveSlider(plat::Slider& slider, int position);
    void SpinUp(plat::UpDown& upDown);
    void SpinDown(plat::UpDown& upDown);
    void SelectTab(plat::TabStrip& strip, int index);
    void ClickItem(plat::ListView& view, const std::string& key);
    void CheckItem(plat::ListView& view, const std::string& key);
    void MouseDown(plat::Control& control, int16_t button, int16_t shift = 0, float x = 0, float y = 0);
    void ClickCell(plat::Grid& grid, int row, int col, int16_t button = 1);

    // The test-guide toolbar and page container: the control itself must be reachable, and so
    // must the button (visible and enabled), the menu and the selector (not locked).
    void ClickToolbarButton(host::ITgToolbar& toolbar, int32_t id);
    void ChooseToolbarStart(host::ITgToolbar& toolbar);
    void SelectStandard(host::ITgToolbar& toolbar, int32_t index);
    void SetCalculate(host::ITgToolbar& toolbar, bool calculate);
    void SelectPage(host::ITgContentPane& pane, int16_t index);
    // Closes a shown form from its frame.
    void CloseForm(plat::Form& form);

private:
    static void Require(const plat::Control& control);
    // The control behind an interface of a host control; fails when it is none.
    static plat::Control& ControlOf(plat::IUnknown& object);
};

} // namespace ztesting
