#include "tests/support/UiDriver.h"

namespace ztesting {

bool UiDriver::CanOperate(const plat::Control& control)
{
    return !control.IsDestroyed() && control.IsShownOnScreen() && control.IsEnabledOnScreen();
}

void UiDriver::Require(const plat::Control& control)
{
    if (control.IsDestroyed()) throw UiDriverError(control.Kind() + " " + control.Name() + " is destroyed");
    if (!control.IsShownOnScreen()) throw UiDriverError(control.Kind() + " " + control.Name() + " is not visible");
    if (!control.IsEnabledOnScreen()) throw UiDriverError(control.Kind() + " " + control.Name() + " is disabled");
}

void UiDriver::Click(plat::Control& control)
{
    Require(control);
    control.UserClick();
}

void UiDriver::Focus(plat::Control& control)
{
    Require(control);
    if (!control.CanFocus()) throw UiDriverError(control.Kind() + " " + control.Name() + " takes no focus");
    control.SetFocus();
}

void UiDriver::Type(plat::TextBox& box, const std::string& text)
{
    Require(box);
    if (!box.HasFocus()) box.SetFocus();
    box.UserType(text);
}

void UiDriver::PressKey(plat::TextBox& box, int16_t keyAscii)
{
    Require(box);
    if (!box.HasFocus()) box.SetFocus();
    box.UserTypeKey(keyAscii);
}

void UiDriver::SelectAll(plat::TextBox& box)
{
    Require(box);
    box.SetSelStart(0);
    box.SetSelLength(box.Length());
}

void UiDriver::Select(plat::ComboBox& combo, int index)
{
    Require(combo);
    if (index < 0 || index >= combo.ListCount()) throw UiDriverError("no entry " + std::to_string(index) + " in " + combo.Name());
    combo.UserSelect(index);
}

void UiDriver::Select(plat::ComboBox& combo, const std::string& text)
{
    Require(combo);
    if (!combo.UserSelect(text)) throw UiDriverError("no entry \"" + text + "\" in " + combo.Name());
}

void UiDriver::EditText(plat::ComboBox& combo, const std::string& text)
{
    Require(combo);
    combo.UserEditText(text);
}

void UiDriver::Select(plat::ListBox& list, int index)
{
    Require(list);
    if (index < 0 || index >= list.ListCount()) throw UiDriverError("no entry " + std::to_string(index) + " in " + list.Name());
    list.UserSelect(index);
}

void UiDriver::Check(plat::ListBox& list, int index)
{
    Require(list);
    if (index < 0 || index >= list.ListCount()) throw UiDriverError("no entry " + std::to_string(index) + " in " + list.Name());
    list.UserCheckItem(index);
}

void UiDriver::MoveSlider(plat::Slider& slider, int position)
{
    Require(slider);
    slider.UserScroll(position);
}

void UiDriver::SpinUp(plat::UpDown& upDown)
{
    Require(upDown);
    upDown.UserSpinUp();
}

void UiDriver::SpinDown(plat::UpDown& upDown)
{
    Require(upDown);
    upDown.UserSpinDown();
}

void UiDriver::SelectTab(plat::TabStrip& strip, int index)
{
    Require(strip);
    if (index < 1 || index > strip.TabCount()) throw UiDriverError("no tab " + std::to_string(index) + " in " + strip.Name());
    strip.UserSelectTab(index);
}

void UiDriver::ClickItem(plat::ListView& view, const std::string& key)
{
    Require(view);
    auto item = view.FindItem(key);
    if (!item) throw UiDriverError("no row \"" + key + "\" in " + view.Name());
    view.UserClickItem(item);
}

void UiDriver::CheckItem(plat::ListView& view, const std::string& key)
{
    Require(view);
    auto item = view.FindItem(key);
    if (!item) throw UiDriverError("no row \"" + key + "\" in " + view.Name());
    view.UserCheckItem(item);
}

void UiDriver::MouseDown(plat::Control& control, int16_t button, int16_t shift, float x, float y)
{
    Require(control);
    control.UserMouseDown(button, shift, x, y);
}

void UiDriver::ClickCell(plat::Grid& grid, int row, int col, int16_t button)
{
    Require(grid);
    if (row < 0 || row >= grid.Rows() || col < 1 || col > grid.Cols()) {
        throw UiDriverError("no cell " + std::to_string(row) + "," + std::to_string(col) + " in " + grid.Name());
    }
    grid.UserClickCell(row, col, button);
}

plat::Control& UiDriver::ControlOf(plat::IUnknown& object)
{
    auto* control = dynamic_cast<plat::Control*>(&object);
    if (!control) throw UiDriverError("the object is no control");
    return *control;
}

void UiDriver::ClickToolbarButton(host::ITgToolbar& toolbar, int32_t id)
{
    Require(ControlOf(toolbar));
    auto button = toolbar.Button(id);
    if (!button) throw UiDriverError("no toolbar button " + std::to_string(id));
    if (!button->Visible()) throw UiDriverError("toolbar button " + std::to_string(id) + " is not visible");
    if (!button->Enabled()) throw UiDriverError("toolbar button " + std::to_string(id) + " is disabled");
    toolbar.UserClickButton(id);
}

void UiDriver::ChooseToolbarStart(host::ITgToolbar& toolbar)
{
    Require(ControlOf(toolbar));
    if (!toolbar.UserChooseStart()) throw UiDriverError("the start menu cannot be used now");
}

void UiDriver::SelectStandard(host::ITgToolbar& toolbar, int32_t index)
{
    Require(ControlOf(toolbar));
    if (!toolbar.UserSelectStandard(index)) throw UiDriverError("standard " + std::to_string(index) + " cannot be chosen now");
}

void UiDriver::SetCalculate(host::ITgToolbar& toolbar, bool calculate)
{
    Require(ControlOf(toolbar));
    if (!toolbar.UserSetCalculate(calculate)) throw UiDriverError("the calculate option cannot be changed now");
}

void UiDriver::SelectPage(host::ITgContentPane& pane, int16_t index)
{
    Require(ControlOf(pane));
    if (!pane.UserSelectPage(index)) throw UiDriverError("no page " + std::to_string(index));
}

void UiDriver::CloseForm(plat::Form& form)
{
    if (form.IsUnloaded() || !form.Visible()) throw UiDriverError("form " + form.Name() + " is not shown");
    form.UserClose();
}

} // namespace ztesting
