#include "testlib/core/CPrinterXY.h"

#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"

#include <cmath>
#include <limits>
#include <string>

namespace ztest {

namespace {

const char* const kSource = "TelvoZarvikTest.CPrinterXY";

[[noreturn]] void RaiseOverflow() { plat::RaiseRuntime(plat::rt::Overflow, kSource); }

[[noreturn]] void RaiseInvalid(const std::string& description)
{
    throw plat::ComError(plat::rt::InvalidCall, kSource, description);
}

// A Long result of whole-number arithmetic, computed in 64 bits and checked.
int32_t Long(int64_t v)
{
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max()) RaiseOverflow();
    return static_cast<int32_t>(v);
}

// A float result stored into a Long: half to even, range-checked.
int32_t ToLong(double v)
{
    try {
        return plat::CLng(v);
    } catch (const plat::ComError& e) {
        plat::RaiseRuntime(e.Number(), kSource);
    }
}

// A Double result stored into a Single, range-checked. Sums and products of two Singles are
// computed through this as well: in Double they are exact (or nearly), so the one rounding to
// Single gives the Single result, and an overflow is seen instead of becoming infinite.
float ToSingle(double v)
{
    if (std::isfinite(v) && std::fabs(v) > static_cast<double>(std::numeric_limits<float>::max())) RaiseOverflow();
    return static_cast<float>(v);
}

// v rounded up (Ceil) or down (Floor) to a multiple of a positive step. The remainder has the
// sign of the dividend, so a negative v is corrected the other way than a positive one.
int32_t CeilToMultiple(int32_t v, int32_t step)
{
    int64_t r = plat::Mod(v, step);
    int64_t m = static_cast<int64_t>(v) - r;
    if (m < v) m += step;
    return Long(m);
}

int32_t FloorToMultiple(int32_t v, int32_t step)
{
    int64_t r = plat::Mod(v, step);
    int64_t m = static_cast<int64_t>(v) - r;
    if (m > v) m -= step;
    return Long(m);
}

// The start and end of an axis on the step grid, rounded inwards: towards the other end, so up
// at the lower end and down at the upper one (the other way round for a reversed window).
int32_t StartOnGrid(int32_t start, int32_t end, int32_t step)
{
    return start <= end ? CeilToMultiple(start, step) : FloorToMultiple(start, step);
}

int32_t EndOnGrid(int32_t start, int32_t end, int32_t step)
{
    return start <= end ? FloorToMultiple(end, step) : CeilToMultiple(end, step);
}

// The quantities are Singles: a whole number within a Single's precision of a window end lies on
// it (-6.99999988, the Single -0.7 times 10, is -7), one further away lies beyond it.
double Tolerance(double edge)
{
    return std::fabs(edge) * std::numeric_limits<float>::epsilon();
}

// Whether a tick lies outside the window past one of its ends; `outward` is +1 when outside
// means above that end and -1 when it means below.
bool Beyond(int32_t tick, double edge, int outward)
{
    return outward > 0 ? tick > edge + Tolerance(edge) : tick < edge - Tolerance(edge);
}

// A window end as a whole number, rounded inwards (towards the other end).
int32_t InwardWhole(float end, float other)
{
    const double tolerance = Tolerance(end);
    return ToLong(other >= end ? std::ceil(end - tolerance) : std::floor(end + tolerance));
}

std::string Text(float v) { return plat::CStr(v); }

} // namespace

void CPrinterXY::SetPageRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    mLeft = left;
    mTop = top;
    mRight = right;
    mBottom = bottom;
    mXAxis.LineX1 = left;
    mXAxis.LineY1 = bottom;
    mXAxis.LineX2 = right;
    mXAxis.LineY2 = bottom;
    mYAxis.LineX1 = left;
    mYAxis.LineY1 = top;
    mYAxis.LineX2 = left;
    mYAxis.LineY2 = bottom;
}

void CPrinterXY::SetDataWindow(float xMin, float yMin, float xMax, float yMax)
{
    mXMin = xMin;
    mYMin = yMin;
    mXMax = xMax;
    mYMax = yMax;
}

void CPrinterXY::ScaleToData(std::span<const float> values, int32_t factor, int32_t lowerIndex)
{
    if (values.empty()) plat::RaiseRuntime(plat::rt::SubscriptOutOfRange, kSource);
    for (float v : values) {
        if (!std::isfinite(v)) RaiseInvalid("A value to plot is not a finite number: " + Text(v));
    }
    int32_t upperIndex = Long(static_cast<int64_t>(lowerIndex) + static_cast<int64_t>(values.size()) - 1);
    float xMin = static_cast<float>(lowerIndex);
    float xMax = static_cast<float>(Long(static_cast<int64_t>(upperIndex) + 1));

    float yMin = values.front();
    float yMax = values.front();
    for (float v : values) {
        if (v > yMax) yMax = v;
        if (v < yMin) yMin = v;
    }
    if (yMin > 0) yMin = 0;
    if (yMax < 0) yMax = 0;

    // The margin is a Single times a Double literal, a Double, added to Singles.
    double margin = static_cast<double>(ToSingle(static_cast<double>(yMax) - yMin)) * 0.1;
    yMax = ToSingle(yMax + margin);
    yMin = ToSingle(yMin - margin);

    xMin = ToSingle(static_cast<double>(xMin) * factor);
    xMax = ToSingle(static_cast<double>(xMax) * factor);
    SetDataWindow(xMin, yMin, xMax, yMax);
}

void CPrinterXY::CalcScales(int32_t xStep)
{
    // A window that cannot be scaled is refused with a clear error
    // instead of giving infinite or NaN scales.
    if (!std::isfinite(mXMin) || !std::isfinite(mXMax) || !std::isfinite(mYMin) || !std::isfinite(mYMax)) {
        RaiseInvalid("The data window is not finite: the plot cannot be scaled");
    }
    float width = ToSingle(static_cast<double>(mXMax) - mXMin);
    float height = ToSingle(static_cast<double>(mYMax) - mYMin);
    if (width == 0) {
        RaiseInvalid("The data window has zero width (x min = x max = " + Text(mXMin) +
                     "): the plot cannot be scaled; give distinct x bounds");
    }
    if (height == 0) {
        RaiseInvalid("The data window has zero height (y min = y max = " + Text(mYMin) +
                     "): the plot cannot be scaled; give distinct y bounds");
    }

    const PlotAxis oldX = mXAxis;
    const PlotAxis oldY = mYAxis;
    try {
        PlotAxis x = mXAxis;
        PlotAxis y = mYAxis;
        x.Scale = ToSingle(Long(static_cast<int64_t>(mRight) - mLeft) / static_cast<double>(width));
        x.Offset = ToLong(mLeft - static_cast<double>(ToSingle(static_cast<double>(x.Scale) * mXMin)));
        y.Scale = ToSingle(Long(static_cast<int64_t>(mBottom) - mTop) / static_cast<double>(height));
        y.Offset = ToLong(static_cast<double>(ToSingle(static_cast<double>(y.Scale) * mYMin)) + mBottom);
        mXAxis = x;
        mYAxis = y;
        // The ends rounded inwards, so that the end ticks lie inside the window: rounded to the
        // nearest whole number, -0.6 would start the axis at -1, left of the page.
        SetXAxis(InwardWhole(mXMin, mXMax), InwardWhole(mXMax, mXMin), xStep);
        SetYAxis(mYMin, mYMax);
    } catch (...) {
        mXAxis = oldX;
        mYAxis = oldY;
        throw;
    }
}

int32_t CPrinterXY::XToPage(float x) const
{
    return ToLong(static_cast<double>(ToSingle(static_cast<double>(x) * mXAxis.Scale)) + mXAxis.Offset);
}

int32_t CPrinterXY::YToPage(float y) const
{
    return ToLong(mYAxis.Offset - static_cast<double>(ToSingle(static_cast<double>(y) * mYAxis.Scale)));
}

void CPrinterXY::SetXAxis(int32_t min, int32_t max, int32_t step)
{
    if (step < 1) RaiseInvalid("The x tick step must be at least 1, not " + std::to_string(step));
    // Both ends are rounded inwards to the step grid for negative
    // bounds too; the remainder alone would move a negative start down and a negative end up.
    int32_t start = StartOnGrid(min, max, step);
    int32_t end = EndOnGrid(min, max, step);
    int32_t span = Long(static_cast<int64_t>(end) - start);
    int32_t n = ToLong(static_cast<double>(span) / step);
    int32_t d = 1;
    if (n > 1) {
        for (int32_t k = 9; k >= 2; --k) {
            if (plat::Mod(n, k) == 0) {
                d = k;
                break;
            }
        }
    }
    mXAxis.Start = start;
    mXAxis.End = end;
    mXAxis.Third = span / d;
    mXAxis.Fourth = step;
}

void CPrinterXY::SetYAxis(float min, float max)
{
    // The range kept to four decimals, then made whole by powers of ten. Each round keeps four
    // decimals, so the loop ends after at most four turns; the multiplier is checked all the same.
    double r = plat::Round(ToSingle(static_cast<double>(max) - min), 4);
    int32_t multiplier = 1;
    while (r != std::floor(r)) {
        r = plat::Round(r * 10, 4);
        multiplier = Long(static_cast<int64_t>(multiplier) * 10);
    }
    const double lowEdge = static_cast<double>(min) * multiplier;
    const double highEdge = static_cast<double>(max) * multiplier;
    int32_t low = ToLong(lowEdge);
    int32_t high = ToLong(highEdge);
    int32_t step = TickStep(Long(static_cast<int64_t>(high) - low), 11);
    int32_t start = StartOnGrid(low, high, step);
    int32_t end = EndOnGrid(low, high, step);
    // Rounding the ends to the nearest whole number first can leave an end tick up to half a
    // unit outside the window (a window from -0.75 would start at -1, below the page): such an
    // end moves one step inwards.
    const bool rising = min <= max;
    if (Beyond(start, lowEdge, rising ? -1 : 1)) start = Long(static_cast<int64_t>(start) + (rising ? step : -step));
    if (Beyond(end, highEdge, rising ? 1 : -1)) end = Long(static_cast<int64_t>(end) - (rising ? step : -step));
    mYAxis.Start = start;
    mYAxis.End = end;
    mYAxis.Third = step;
    mYAxis.Fourth = multiplier;
}

int32_t CPrinterXY::TickStep(int32_t range, int32_t mostTicks)
{
    for (int64_t power = 1;; power *= 10) {
        for (int64_t m : {1, 2, 5}) {
            int64_t step = m * power;
            if (step > std::numeric_limits<int32_t>::max()) RaiseOverflow();
            if (range / step <= mostTicks) return static_cast<int32_t>(step);
        }
    }
}

} // namespace ztest
