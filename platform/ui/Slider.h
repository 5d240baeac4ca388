#pragma once

#include "platform/ui/Control.h"

namespace plat {

// A slider (track bar). Value always lies in Min..Max: a value outside raises 380, and a
// range that would exclude it moves it quietly to the nearer end. A different Value raises Change,
// whether code or the operator moved it; the operator's drag raises Scroll first.
class Slider : public Control {
public:
    Slider();

    int Min() const { return mMin; }
    void SetMin(int v);  // above Max: 380
    int Max() const { return mMax; }
    void SetMax(int v);  // below Min: 380
    int Value() const { return mValue; }
    void SetValue(int v);
    int SmallChange() const { return mSmallChange; }
    void SetSmallChange(int v);
    int LargeChange() const { return mLargeChange; }
    void SetLargeChange(int v);
    int TickFrequency() const { return mTickFrequency; }
    void SetTickFrequency(int v);

    bool CanFocus() const override { return true; }

    Event<> Scroll;
    Event<> Change;

    // The operator drags the thumb to a position; the track stops it at its ends.
    void UserScroll(int position);

private:
    void ClampValue();

    int mMin = 0;
    int mMax = 10;
    int mValue = 0;
    int mSmallChange = 1;
    int mLargeChange = 5;
    int mTickFrequency = 1;
};

} // namespace plat
