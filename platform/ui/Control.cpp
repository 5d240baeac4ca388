#include "platform/ui/Control.h"

#include "platform/ui/UiError.h"

namespace plat {

Control::Control(std::string kind) : Window(std::move(kind)) {}

void Control::SetTabIndex(int v)
{
    if (v < 0) Refuse(uierr::InvalidPropertyValue);
    mTabIndex = v;
}

std::string Control::Source() const
{
    return mName.empty() ? Kind() : Kind() + " " + mName;
}

void Control::Refuse(int32_t number) const { RaiseUiError(number, Source()); }

void Control::SetFocus()
{
    if (IsDestroyed() || !CanFocus() || !IsShownOnScreen() || !IsEnabledOnScreen()) {
        Refuse(uierr::InvalidCall);
    }
    ChangeFocus(this);
}

bool Control::HasFocus() const { return hWnd() != 0 && GetFocus() == hWnd(); }

void Control::TakeFocusIfPossible()
{
    if (!IsDestroyed() && CanFocus() && IsShownOnScreen() && IsEnabledOnScreen()) ChangeFocus(this);
}

void Control::MapTexts(const TextMap& map)
{
    if (mToolTipText.empty()) return;
    std::string mapped = map(mToolTipText);
    if (mapped != mToolTipText) mToolTipText = mapped;
}

void Control::UserClick()
{
    TakeFocusIfPossible();
    Raise(Click);
}

void Control::UserMouseDown(int16_t button, int16_t shift, float x, float y)
{
    TakeFocusIfPossible();
    Raise(MouseDown, button, shift, x, y);
    Raise(MouseUp, button, shift, x, y);
}

int16_t Control::UserKeyPress(int16_t keyAscii)
{
    Raise(KeyPress, keyAscii);
    return keyAscii;
}

} // namespace plat
