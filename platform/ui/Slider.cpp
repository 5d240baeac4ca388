#include "platform/ui/Slider.h"

#include "platform/ui/UiError.h"

#include <algorithm>

namespace plat {

Slider::Slider() : Control("Slider") {}

void Slider::SetMin(int v)
{
    if (v > mMax) Refuse(uierr::InvalidPropertyValue);
    mMin = v;
    ClampValue();
}

void Slider::SetMax(int v)
{
    if (v < mMin) Refuse(uierr::InvalidPropertyValue);
    mMax = v;
    ClampValue();
}

// A new range moves the value into it quietly: configuring a control is no change of value.
void Slider::ClampValue() { mValue = std::clamp(mValue, mMin, mMax); }

void Slider::SetValue(int v)
{
    if (v < mMin || v > mMax) Refuse(uierr::InvalidPropertyValue);
    if (v == mValue) return;
    mValue = v;
    Raise(Change);
}

void Slider::SetSmallChange(int v)
{
    if (v < 0) Refuse(uierr::InvalidPropertyValue);
    mSmallChange = v;
}

void Slider::SetLargeChange(int v)
{
    if (v < 0) Refuse(uierr::InvalidPropertyValue);
    mLargeChange = v;
}

void Slider::SetTickFrequency(int v)
{
    if (v < 0) Refuse(uierr::InvalidPropertyValue);
    mTickFrequency = v;
}

void Slider::UserScroll(int position)
{
    TakeFocusIfPossible();
    int v = std::clamp(position, mMin, mMax);
    if (v == mValue) return;
    mValue = v;
    Raise(Scroll);
    Raise(Change);
}

} // namespace plat
