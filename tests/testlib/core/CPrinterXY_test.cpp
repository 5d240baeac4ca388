#include "testlib/core/CPrinterXY.h"

#include "platform/base/ComError.h"
#include "support/Errors.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using ztest::CPrinterXY;
using ztest::PlotAxis;

namespace {

// The window of a mapper as numbers: x min, x max, y min, y max.
std::vector<double> Window(const CPrinterXY& p)
{
    return {p.GetDataXMin(), p.GetDataXMax(), p.GetDataYMin(), p.GetDataYMax()};
}

std::vector<double> Window(float xMin, float xMax, float yMin, float yMax) { return {xMin, xMax, yMin, yMax}; }

// The tick fields of an axis: start, end, third, fourth.
std::vector<double> Ticks(const PlotAxis& a) { return {double(a.Start), double(a.End), double(a.Third), double(a.Fourth)}; }

CPrinterXY Scaled(std::vector<float> values, int32_t factor = 1)
{
    CPrinterXY p;
    p.ScaleToData(values, factor);
    return p;
}

CPrinterXY XAxis(int32_t min, int32_t max, int32_t step)
{
    CPrinterXY p;
    p.SetXAxis(min, max, step);
    return p;
}

CPrinterXY YAxis(float min, float max)
{
    CPrinterXY p;
    p.SetYAxis(min, max);
    return p;
}

// A mapper of the page rectangle (100, 50)-(1100, 550) scaled to the values.
CPrinterXY OnPage(std::vector<float> values, int32_t xStep = 1)
{
    CPrinterXY p;
    p.SetPageRect(100, 50, 1100, 550);
    p.ScaleToData(values, 1);
    p.CalcScales(xStep);
    return p;
}

// Where the four corners of the data window land: x min, x max, y min, y max on the page.
std::vector<double> Corners(const CPrinterXY& p)
{
    return {double(p.XToPage(p.GetDataXMin())), double(p.XToPage(p.GetDataXMax())),
        double(p.YToPage(p.GetDataYMin())), double(p.YToPage(p.GetDataYMax()))};
}

using ztesting::ErrorNumberOf;

} // namespace

// The documented worked examples, the page mapping and negative bounds, one row each.
TEST(CPrinterXY, WorkedExamples)
{
    struct Row {
        const char* name;
        std::function<std::vector<double>()> actual;
        std::vector<double> expected;
    };
    const Row rows[] = {
        // ScaleToData: x from the lower index to the upper index plus 1, zero inside, 10 % margin.
        {"values 3, 7, 5", [] { return Window(Scaled({3, 7, 5})); }, Window(0, 3, -0.7f, 7.7f)},
        {"all negative values", [] { return Window(Scaled({-2, -4})); }, Window(0, 2, -4.4f, 0.4f)},
        {"factor multiplies x", [] { return Window(Scaled({3, 7, 5}, 10)); }, Window(0, 30, -0.7f, 7.7f)},
        {"all positive above zero", [] { return Window(Scaled({10, 20})); }, Window(0, 2, -2, 22)},

        // TickStep: the series 1, 2, 5, 10, 20, 50, ...
        {"TickStep(95, 11)", [] { return std::vector<double>{double(CPrinterXY::TickStep(95, 11))}; }, {10}},
        {"TickStep(11, 11)", [] { return std::vector<double>{double(CPrinterXY::TickStep(11, 11))}; }, {1}},
        {"TickStep(12, 11)", [] { return std::vector<double>{double(CPrinterXY::TickStep(12, 11))}; }, {2}},
        {"TickStep(84, 11)", [] { return std::vector<double>{double(CPrinterXY::TickStep(84, 11))}; }, {10}},
        {"TickStep(-5, 11)", [] { return std::vector<double>{double(CPrinterXY::TickStep(-5, 11))}; }, {1}},

        // SetXAxis: start 5, end 95, (95 - 5) / 5 = 18 steps, d 9, major step 90 \ 9 = 10.
        {"SetXAxis(3, 98, 5)", [] { return Ticks(XAxis(3, 98, 5).GetXAxis()); }, {5, 95, 10, 5}},
        {"SetXAxis(0, 3, 1)", [] { return Ticks(XAxis(0, 3, 1).GetXAxis()); }, {0, 3, 1, 1}},
        {"SetXAxis(0, 11, 1): 11 has no divisor", [] { return Ticks(XAxis(0, 11, 1).GetXAxis()); }, {0, 11, 11, 1}},
        // Negative bounds: start rounded up and end rounded down to the step grid.
        {"SetXAxis(-98, -3, 5)", [] { return Ticks(XAxis(-98, -3, 5).GetXAxis()); }, {-95, -5, 10, 5}},
        {"SetXAxis(-7, 7, 5)", [] { return Ticks(XAxis(-7, 7, 5).GetXAxis()); }, {-5, 5, 5, 5}},
        {"SetXAxis(-10, -5, 5)", [] { return Ticks(XAxis(-10, -5, 5).GetXAxis()); }, {-10, -5, 5, 5}},

        // SetYAxis: start, end, step, multiplier.
        {"SetYAxis(0, 2.5)", [] { return Ticks(YAxis(0, 2.5f).GetYAxis()); }, {0, 25, 5, 10}},
        {"SetYAxis(-0.7, 7.7)", [] { return Ticks(YAxis(-0.7f, 7.7f).GetYAxis()); }, {0, 70, 10, 10}},
        {"SetYAxis(-4.4, 0.4)", [] { return Ticks(YAxis(-4.4f, 0.4f).GetYAxis()); }, {-40, 0, 5, 10}},
        {"SetYAxis(-23, -3): negative ends inwards", [] { return Ticks(YAxis(-23, -3).GetYAxis()); }, {-22, -4, 2, 1}},
        {"SetYAxis(0, 0.0125)", [] { return Ticks(YAxis(0, 0.0125f).GetYAxis()); }, {0, 120, 20, 10000}},
        // The Single -0.7 times 100 is -69.9999988: within a Single's precision of -70, so -70 is inside.
        {"SetYAxis(-0.7, 0.35)", [] { return Ticks(YAxis(-0.7f, 0.35f).GetYAxis()); }, {-70, 30, 10, 100}},
        // Rounded to the nearest first, -0.75 gives -1: the start outside the window moves one
        // step inwards.
        {"SetYAxis(-0.75, 8.25)", [] { return Ticks(YAxis(-0.75f, 8.25f).GetYAxis()); }, {0, 8, 1, 1}},
        {"SetYAxis(8.25, -0.75): reversed", [] { return Ticks(YAxis(8.25f, -0.75f).GetYAxis()); }, {8, 0, 1, 1}},
        {"SetXAxis(5, 0, 2): reversed", [] { return Ticks(XAxis(5, 0, 2).GetXAxis()); }, {4, 0, -4, 2}},

        // Page mapping: x min to the page left, x max to the right, y min to the bottom, y max to the top.
        {"page corners for 3, 7, 5", [] { return Corners(OnPage({3, 7, 5})); }, {100, 1100, 550, 50}},
        {"page corners for -2, -4", [] { return Corners(OnPage({-2, -4})); }, {100, 1100, 550, 50}},
        {"page corners for 0.01 .. 0.04", [] { return Corners(OnPage({0.01f, 0.04f, 0.02f, 0.03f})); }, {100, 1100, 550, 50}},
        {"zero lies between bottom and top", [] {
             CPrinterXY p = OnPage({3, 7, 5});
             // 0.7 of 8.4 above the bottom: 550 - 500 * 0.7 / 8.4 = 508.33.
             return std::vector<double>{double(p.YToPage(0)), double(p.XToPage(1.5f))};
         }, {508, 600}},
        {"axes after CalcScales", [] {
             CPrinterXY p = OnPage({3, 7, 5});
             std::vector<double> v = Ticks(p.GetXAxis());
             for (double t : Ticks(p.GetYAxis())) v.push_back(t);
             return v;
         }, {0, 3, 1, 1, 0, 70, 10, 10}},
        {"axis lines from the page rectangle", [] {
             PlotAxis x = OnPage({1, 2}).GetXAxis();
             PlotAxis y = OnPage({1, 2}).GetYAxis();
             return std::vector<double>{double(x.LineX1), double(x.LineY1), double(x.LineX2), double(x.LineY2),
                 double(y.LineX1), double(y.LineY1), double(y.LineX2), double(y.LineY2)};
         }, {100, 550, 1100, 550, 100, 50, 100, 550}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.actual(), row.expected);
    }
}

// Every tick from the start to the end of each axis lands inside the page rectangle
// (100, 50)-(1100, 550), whichever way the window runs and however narrow it is.
TEST(CPrinterXY, EveryTickLiesInsideThePage)
{
    struct Row {
        const char* name;
        std::function<void(CPrinterXY&)> window;
        int xTicks;
        int yTicks;
    };
    auto window = [](float xMin, float yMin, float xMax, float yMax) {
        return [=](CPrinterXY& p) { p.SetDataWindow(xMin, yMin, xMax, yMax); };
    };
    const Row rows[] = {
        // One value 7.5: y from -0.75 to 8.25; rounded to the nearest, the axis started at -1.
        {"one value 7.5", [](CPrinterXY& p) { p.ScaleToData(std::vector<float>{7.5f}, 1); }, 2, 9},
        {"values 3, 7, 5", [](CPrinterXY& p) { p.ScaleToData(std::vector<float>{3, 7, 5}, 1); }, 4, 8},
        {"x from -0.6 to 3.4", window(-0.6f, 0, 3.4f, 10), 4, 11},
        {"x reversed, from 3.4 to -0.6", window(3.4f, 0, -0.6f, 10), 4, 11},
        {"y reversed, from 8.25 to -0.75", window(0, 8.25f, 3, -0.75f), 4, 9},
        {"a negative factor reverses x", [](CPrinterXY& p) { p.ScaleToData(std::vector<float>{3, 7, 5}, -1); }, 4, 8},
        {"a narrow window around a tick", window(0, 0.99999f, 1, 1.00001f), 2, 1},
        {"a narrow window between two ticks", window(0, 1.00001f, 1, 1.00002f), 2, 0},
        {"a narrow window between two ticks, reversed", window(0, 1.00002f, 1, 1.00001f), 2, 0},
        {"ends just past whole numbers", window(-0.5f, -2.5f, 2.5f, 6.5f), 3, 9},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CPrinterXY p;
        p.SetPageRect(100, 50, 1100, 550);
        row.window(p);
        p.CalcScales(1);
        const PlotAxis x = p.GetXAxis();
        const PlotAxis y = p.GetYAxis();
        // The ticks from start to end in the direction the window runs.
        auto ticks = [](int32_t start, int32_t end, int32_t step, bool rising) {
            std::vector<int32_t> all;
            for (int32_t t = start; rising ? t <= end : t >= end; t += rising ? step : -step) all.push_back(t);
            return all;
        };
        const std::vector<int32_t> xs = ticks(x.Start, x.End, x.Fourth, p.GetDataXMin() <= p.GetDataXMax());
        const std::vector<int32_t> ys = ticks(y.Start, y.End, y.Third, p.GetDataYMin() <= p.GetDataYMax());
        EXPECT_EQ(static_cast<int>(xs.size()), row.xTicks) << x.Start << " .. " << x.End;
        EXPECT_EQ(static_cast<int>(ys.size()), row.yTicks) << y.Start << " .. " << y.End;
        for (int32_t t : xs) {
            const int32_t page = p.XToPage(static_cast<float>(t));
            EXPECT_TRUE(page >= 100 && page <= 1100) << "x tick " << t << " at " << page;
        }
        for (int32_t t : ys) {
            const int32_t page = p.YToPage(static_cast<float>(t) / static_cast<float>(y.Fourth));
            EXPECT_TRUE(page >= 50 && page <= 550) << "y tick " << t << " at " << page;
        }
    }
}

// With a scale of 1 and the offsets 0 and 10, the page coordinate is the data coordinate
// rounded half to even; a coordinate that is not a number has no page position.
TEST(CPrinterXY, PagePositionsRoundHalfToEvenAndNaNHasNone)
{
    CPrinterXY p;
    p.SetPageRect(0, 0, 10, 10);
    p.SetDataWindow(0, 0, 10, 10);
    p.CalcScales(1);
    const std::pair<float, int32_t> xs[] = {{2.5f, 2}, {3.5f, 4}, {-2.5f, -2}, {0.5f, 0}, {2.51f, 3}};
    for (const auto& [x, page] : xs) EXPECT_EQ(p.XToPage(x), page) << x;
    // y 0.5 is 9.5 down from the top edge, y 1.5 is 8.5.
    const std::pair<float, int32_t> ys[] = {{0.5f, 10}, {1.5f, 8}, {-0.5f, 10}, {10.5f, 0}};
    for (const auto& [y, page] : ys) EXPECT_EQ(p.YToPage(y), page) << y;
    EXPECT_EQ(ErrorNumberOf([&] { p.XToPage(std::nanf("")); }), plat::rt::Overflow);
    EXPECT_EQ(ErrorNumberOf([&] { p.YToPage(std::nanf("")); }), plat::rt::Overflow);
}

TEST(CPrinterXY, ScalesAndOffsetsMapTheWindowOntoThePage)
{
    CPrinterXY p = OnPage({3, 7, 5});
    // x scale = 1000 / 3, offset = 100 - scale * 0 = 100.
    EXPECT_FLOAT_EQ(p.GetXAxis().Scale, 1000.0f / 3.0f);
    EXPECT_EQ(p.GetXAxis().Offset, 100);
    // y scale = 500 / 8.4, offset = scale * (-0.7) + 550 = 508.33, rounded to 508.
    EXPECT_NEAR(p.GetYAxis().Scale, 500.0 / 8.4, 1e-4);
    EXPECT_EQ(p.GetYAxis().Offset, 508);
}

TEST(CPrinterXY, ZeroHeightOrWidthWindowIsAClearError)
{
    // A series of zeros gives a window of zero height.
    CPrinterXY p;
    p.SetPageRect(0, 0, 1000, 500);
    p.ScaleToData(std::vector<float>{0, 0, 0}, 1);
    EXPECT_EQ(p.GetDataYMin(), 0.0f);
    EXPECT_EQ(p.GetDataYMax(), 0.0f);
    const PlotAxis before = p.GetYAxis();
    std::string description;
    EXPECT_EQ(ErrorNumberOf([&] { p.CalcScales(1); }, &description), plat::rt::InvalidCall);
    EXPECT_NE(description.find("zero height"), std::string::npos) << description;
    EXPECT_EQ(p.GetYAxis(), before);

    p.SetDataWindow(2, 0, 2, 5);
    EXPECT_EQ(ErrorNumberOf([&] { p.CalcScales(1); }, &description), plat::rt::InvalidCall);
    EXPECT_NE(description.find("zero width"), std::string::npos) << description;

    p.SetDataWindow(0, 0, std::numeric_limits<float>::infinity(), 5);
    EXPECT_EQ(ErrorNumberOf([&] { p.CalcScales(1); }, &description), plat::rt::InvalidCall);
    EXPECT_NE(description.find("not finite"), std::string::npos) << description;
}

TEST(CPrinterXY, EveryIntegerOverflowRaisesOverflow)
{
    struct Row {
        const char* name;
        std::function<void()> call;
    };
    const Row rows[] = {
        {"page width beyond a Long", [] {
             CPrinterXY p;
             p.SetPageRect(INT_MIN, 0, INT_MAX, 100);
             p.SetDataWindow(0, 0, 1, 1);
             p.CalcScales(1);
         }},
        {"offset beyond a Long", [] {
             CPrinterXY p;
             p.SetPageRect(0, 0, 1000000, 1000);
             p.SetDataWindow(-1e9f, 0, -1e9f + 64, 1);
             p.CalcScales(1);
         }},
        {"x bound beyond a Long", [] {
             CPrinterXY p;
             p.SetPageRect(0, 0, 1000, 1000);
             p.SetDataWindow(0, 0, 3e9f, 1);
             p.CalcScales(1);
         }},
        {"XToPage far outside", [] {
             CPrinterXY p = OnPage({3, 7, 5});
             p.XToPage(1e30f);
         }},
        {"YToPage far outside", [] {
             CPrinterXY p = OnPage({3, 7, 5});
             p.YToPage(-1e30f);
         }},
        {"SetXAxis start beyond a Long", [] { CPrinterXY().SetXAxis(INT_MAX - 1, INT_MAX, 5); }},
        {"SetXAxis end below a Long", [] { CPrinterXY().SetXAxis(INT_MIN, INT_MIN + 1, 5); }},
        {"SetXAxis range beyond a Long", [] { CPrinterXY().SetXAxis(INT_MIN, INT_MAX, 1); }},
        {"SetYAxis bound beyond a Long", [] { CPrinterXY().SetYAxis(0, 3e9f); }},
        {"SetYAxis range beyond a Long", [] { CPrinterXY().SetYAxis(-2e9f, 2e9f); }},
        {"TickStep beyond a Long", [] { CPrinterXY::TickStep(INT_MAX, 0); }},
        {"ScaleToData upper index beyond a Long", [] { CPrinterXY().ScaleToData(std::vector<float>{1, 2}, 1, INT_MAX); }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ErrorNumberOf(row.call), plat::rt::Overflow);
    }
}

TEST(CPrinterXY, AFailedCalcScalesLeavesTheAxesAsTheyWere)
{
    CPrinterXY p = OnPage({3, 7, 5});
    const PlotAxis x = p.GetXAxis();
    const PlotAxis y = p.GetYAxis();
    p.SetDataWindow(0, 0, 3e9f, 1);
    EXPECT_EQ(ErrorNumberOf([&] { p.CalcScales(1); }), plat::rt::Overflow);
    EXPECT_EQ(p.GetXAxis(), x);
    EXPECT_EQ(p.GetYAxis(), y);
}

TEST(CPrinterXY, BadArgumentsAreClearErrors)
{
    EXPECT_EQ(ErrorNumberOf([] { CPrinterXY().SetXAxis(0, 10, 0); }), plat::rt::InvalidCall);
    EXPECT_EQ(ErrorNumberOf([] { CPrinterXY().SetXAxis(0, 10, -5); }), plat::rt::InvalidCall);
    EXPECT_EQ(ErrorNumberOf([] { CPrinterXY().ScaleToData(std::vector<float>{}, 1); }), plat::rt::SubscriptOutOfRange);
    EXPECT_EQ(ErrorNumberOf([] { CPrinterXY().ScaleToData(std::vector<float>{1, std::nanf("")}, 1); }), plat::rt::InvalidCall);
}
