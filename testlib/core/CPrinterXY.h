#pragma once

#include <cstdint>
#include <span>

namespace ztest {

// One axis of a plot: ten 32-bit fields in this order. The third and fourth
// fields mean different things on the two axes, so their names say only where they stand.
struct PlotAxis {
    int32_t Start = 0;  // first tick (y axis: in data units times the multiplier)
    int32_t End = 0;    // last tick (y axis: in data units times the multiplier)
    int32_t Third = 0;  // x axis: major step between labelled ticks; y axis: tick step
    int32_t Fourth = 0; // x axis: tick step; y axis: multiplier, the power of ten that makes the range whole
    int32_t Offset = 0; // page coordinate offset
    float Scale = 0.0f; // page units per data unit
    int32_t LineX1 = 0; // the axis line: x from (left, bottom) to (right, bottom),
    int32_t LineY1 = 0; // y from (left, top) to (left, bottom)
    int32_t LineX2 = 0;
    int32_t LineY2 = 0;

    bool operator==(const PlotAxis&) const = default;
};

// Maps a series of measured values onto a rectangle of a printed page: chooses the
// data window, computes a linear scale and offset per axis, rounds the axis ends to whole tick
// steps and converts data coordinates to page coordinates. Library-internal, not a component.
//
// Arithmetic follows the language: the plot's quantities are Singles (a Single combined with a
// Long or a Double literal is computed in Double and stored back as a Single), whole-number
// results rounded half to even, and every result outside its type raises Overflow (6) with the
// source "TelvoZarvikTest.CPrinterXY". A call that raises leaves the object as it was.
class CPrinterXY {
public:
    // Stores the page rectangle and sets both axis lines from it.
    void SetPageRect(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Stores the data window as given.
    void SetDataWindow(float xMin, float yMin, float xMax, float yMax);
    // Sets the data window from the values, whose first element has the index lowerIndex:
    // x from the lower index to the upper index plus 1, y over the values with zero always
    // inside and a 10 % margin, x multiplied by the factor. An empty series raises Subscript
    // out of range (9); a value that is NaN or infinite raises Invalid procedure call (5).
    void ScaleToData(std::span<const float> values, int32_t factor, int32_t lowerIndex = 0);
    // Computes both scales and offsets and both axes; the x axis from the window's ends rounded
    // inwards to whole numbers, so that every tick lies inside the page rectangle. A data
    // window of zero width or zero height (a series of equal values) or one that is not finite
    // raises Invalid procedure call (5) with a description that says so, instead of infinite
    // or NaN scales.
    void CalcScales(int32_t xStep);
    // x times the x scale plus the x offset, rounded half to even.
    int32_t XToPage(float x) const;
    // The y offset minus y times the y scale, rounded half to even: y min lands on the page
    // bottom and y max on the page top.
    int32_t YToPage(float y) const;

    PlotAxis GetXAxis() const { return mXAxis; }
    PlotAxis GetYAxis() const { return mYAxis; }
    float GetDataXMin() const { return mXMin; }
    float GetDataXMax() const { return mXMax; }
    // The y bounds of the data window, for the tests and a plotting report.
    float GetDataYMin() const { return mYMin; }
    float GetDataYMax() const { return mYMax; }

    // The x axis ends and steps: start rounded up and end rounded down to multiples of the
    // step (for negative bounds too; the other way round when min is above max), the major
    // step a whole part of the range. A step below 1 raises Invalid procedure call (5).
    void SetXAxis(int32_t min, int32_t max, int32_t step);
    // The y axis ends, step and multiplier: the multiplier makes the range (kept to four
    // decimals) whole, the ends are rounded inwards to multiples of the step, and an end that
    // lies outside min (max) times the multiplier, beyond a Single's precision, moves one step
    // inwards. A window with no multiple of the step inside gives a start past the end: no tick.
    void SetYAxis(float min, float max);
    // The first step of the series 1, 2, 5, 10, 20, 50, ... for which range / step (whole-number
    // division) is at most mostTicks; a step beyond the Long range raises Overflow.
    static int32_t TickStep(int32_t range, int32_t mostTicks);

private:
    int32_t mLeft = 0;
    int32_t mTop = 0;
    int32_t mRight = 0;
    int32_t mBottom = 0;
    float mXMin = 0.0f;
    float mYMin = 0.0f;
    float mXMax = 0.0f;
    float mYMax = 0.0f;
    PlotAxis mXAxis;
    PlotAxis mYAxis;
};

} // namespace ztest
