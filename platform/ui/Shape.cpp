#include "platform/ui/Shape.h"

#include "platform/ui/UiError.h"

namespace plat {

Shape::Shape() : Control("Shape")
{
    SetTabStop(false);
    SetBackColor(color::WindowBackground);
}

void Shape::SetShapeKind(int v)
{
    if (v < 0 || v > 5) Refuse(uierr::InvalidPropertyValue);
    mShape = v;
}

void Shape::SetBackStyle(int v)
{
    if (v < 0 || v > 1) Refuse(uierr::InvalidPropertyValue);
    mBackStyle = v;
}

void Shape::SetFillStyle(int v)
{
    if (v < 0 || v > 7) Refuse(uierr::InvalidPropertyValue);
    mFillStyle = v;
}

void Shape::SetBorderWidth(int v)
{
    if (v < 1 || v > 8192) Refuse(uierr::InvalidPropertyValue);
    mBorderWidth = v;
}

} // namespace plat
