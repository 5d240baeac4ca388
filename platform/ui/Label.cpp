#include "platform/ui/Label.h"

#include "platform/ui/UiError.h"

namespace plat {

Label::Label() : Control("Label") { SetTabStop(false); }

void Label::SetCaption(const std::string& v)
{
    if (v == mCaption) return;
    mCaption = v;
    Raise(Change);
}

void Label::SetAlignment(int v)
{
    if (v < 0 || v > 2) Refuse(uierr::InvalidPropertyValue);
    mAlignment = v;
}

void Label::SetBackStyle(int v)
{
    if (v < 0 || v > 1) Refuse(uierr::InvalidPropertyValue);
    mBackStyle = v;
}

void Label::MapTexts(const TextMap& map)
{
    Control::MapTexts(map);
    if (!mCaption.empty()) SetCaption(map(mCaption));
}

} // namespace plat
