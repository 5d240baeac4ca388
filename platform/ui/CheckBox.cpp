#include "platform/ui/CheckBox.h"

#include "platform/ui/UiError.h"

namespace plat {

CheckBox::CheckBox() : Control("CheckBox") {}

void CheckBox::SetValue(int v)
{
    if (v < vbUnchecked || v > vbGrayed) Refuse(uierr::InvalidPropertyValue);
    if (v == mValue) return;
    mValue = v;
    Raise(Click);
}

void CheckBox::MapTexts(const TextMap& map)
{
    Control::MapTexts(map);
    if (!mCaption.empty()) mCaption = map(mCaption);
}

void CheckBox::UserClick()
{
    TakeFocusIfPossible();
    SetValue(mValue == vbChecked ? vbUnchecked : vbChecked);
}

} // namespace plat
