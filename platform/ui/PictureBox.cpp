#include "platform/ui/PictureBox.h"

#include "platform/ui/UiError.h"

namespace plat {

PictureBox::PictureBox() : Control("PictureBox") {}

void PictureBox::SetBorderStyle(int v)
{
    if (v < 0 || v > 1) Refuse(uierr::InvalidPropertyValue);
    mBorderStyle = v;
}

} // namespace plat
