#include "platform/ui/Frame.h"

#include "platform/ui/UiError.h"

namespace plat {

Frame::Frame() : Control("Frame") { SetTabStop(false); }

void Frame::SetBorderStyle(int v)
{
    if (v < 0 || v > 1) Refuse(uierr::InvalidPropertyValue);
    mBorderStyle = v;
}

void Frame::MapTexts(const TextMap& map)
{
    Control::MapTexts(map);
    if (!mCaption.empty()) mCaption = map(mCaption);
}

} // namespace plat
