#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "support/Errors.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

using plat::ComError;
using plat::Variant;

namespace {

// The error number that a call raises, or 0 when it raises nothing.
using ztesting::ErrorNumberOf;

constexpr int32_t kOverflow = plat::rt::Overflow;
constexpr int32_t kMismatch = plat::rt::TypeMismatch;
constexpr int32_t kNull = plat::rt::InvalidUseOfNull;

} // namespace

TEST(Val, ReadsTheLeadingNumber)
{
    struct Row {
        const char* text;
        double expected;
    };
    const Row rows[] = {
        {"  12.5abc", 12.5},
        {"\t-3", -3},
        {"\n\t 7 J", 7},
        {"abc", 0},
        {"", 0},
        {".5", 0.5},
        {"5.", 5},
        {".", 0},
        {"-", 0},
        {"+4", 4},
        {"--3", 0},
        {"- 3", -3},          // blanks are skipped wherever they stand, as the language does
        {"1 234", 1234},
        {"1e3", 1000},
        {"1E-2", 0.01},
        {"2.5e+1x", 25},
        {"1e", 1},            // an exponent counts only when it is complete
        {"1e+", 1},
        {"1ex", 1},
        {"1.2.3", 1.2},
        {"&H10", 0},          // only decimal numbers are read
        {"12,5", 12},         // "," is never a decimal point
        {"0.075\r\n", 0.075}, // the reply's line end stops reading
        {"NOSYNC", 0},
        {"1e-400", 0},        // too small for a Double: 0
        {"000123", 123},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(plat::Val(row.text), row.expected);
    }
}

TEST(Val, ANumberBeyondTheDoubleRangeOverflows)
{
    EXPECT_EQ(ErrorNumberOf([] { plat::Val("1e400"); }), kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { plat::Val("-9e99999999999999999999"); }), kOverflow);
}

TEST(WholeNumbers, RoundHalfToEvenAndCheckTheRange)
{
    struct Row {
        double value;
        int32_t cint; // or the error number when cintError
        bool cintError;
        int32_t clng;
        bool clngError;
    };
    const Row rows[] = {
        {0.5, 0, false, 0, false},
        {1.5, 2, false, 2, false},
        {2.5, 2, false, 2, false},
        {-2.5, -2, false, -2, false},
        {-3.5, -4, false, -4, false},
        {2.5000001, 3, false, 3, false},
        {-0.4, 0, false, 0, false},
        {32767.4, 32767, false, 32767, false},
        {32767.5, kOverflow, true, 32768, false},
        {-32768.5, -32768, false, -32768, false},
        {-32769.5, kOverflow, true, -32770, false},
        {2147483646.5, kOverflow, true, 2147483646, false},
        {2147483647.5, kOverflow, true, kOverflow, true},
        {-2147483648.5, kOverflow, true, -2147483647 - 1, false},
        {-2147483649.0, kOverflow, true, kOverflow, true},
        {1e300, kOverflow, true, kOverflow, true},
        {std::numeric_limits<double>::quiet_NaN(), kOverflow, true, kOverflow, true},
        {std::numeric_limits<double>::infinity(), kOverflow, true, kOverflow, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        if (row.cintError) {
            EXPECT_EQ(ErrorNumberOf([&] { plat::CInt(row.value); }), row.cint);
        } else {
            EXPECT_EQ(plat::CInt(row.value), row.cint);
        }
        if (row.clngError) {
            EXPECT_EQ(ErrorNumberOf([&] { plat::CLng(row.value); }), row.clng);
        } else {
            EXPECT_EQ(plat::CLng(row.value), row.clng);
        }
    }
}

TEST(WholeNumbers, ConvertVariantsOfEveryKind)
{
    struct Row {
        const char* name;
        Variant value;
        int32_t expected; // the result, or the error number when error
        bool error;
    };
    const Row rows[] = {
        {"Empty", Variant(), 0, false},
        {"Null", Variant::Null(), kNull, true},
        {"True", Variant(true), -1, false},
        {"False", Variant(false), 0, false},
        {"Integer", Variant(int16_t{-7}), -7, false},
        {"Long 40000", Variant(40000), 40000, false},
        {"Single 2.5", Variant(2.5f), 2, false},
        {"Double 3.5", Variant(3.5), 4, false},
        {"text 12.5", Variant("12.5"), 12, false},
        {"text blanks", Variant("  13.5 "), 14, false},
        {"text exponent", Variant("1e3"), 1000, false},
        {"text 12abc", Variant("12abc"), kMismatch, true},
        {"text empty", Variant(""), kMismatch, true},
        {"text True", Variant("True"), kMismatch, true},
        {"array", Variant(plat::VariantArray::OneDim(0, 1)), kMismatch, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.error) {
            EXPECT_EQ(ErrorNumberOf([&] { plat::CLng(row.value); }), row.expected);
        } else {
            EXPECT_EQ(plat::CLng(row.value), row.expected);
        }
    }
    EXPECT_EQ(ErrorNumberOf([] { plat::CInt(Variant(40000)); }), kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { plat::CInt(Variant("32768")); }), kOverflow);
    EXPECT_EQ(plat::CInt(Variant("-32768")), -32768);
}

TEST(Floats, StrictConversionsReadTextsInFull)
{
    struct Row {
        const char* name;
        Variant value;
        double expected; // or the error number when error
        bool error;
    };
    const Row rows[] = {
        {"Empty", Variant(), 0, false},
        {"Null", Variant::Null(), kNull, true},
        {"True", Variant(true), -1, false},
        {"Long", Variant(40000), 40000, false},
        {"Single", Variant(0.5f), 0.5, false},
        {"text", Variant("12.25"), 12.25, false},
        {"text with blanks", Variant(" 12 "), 12, false},
        {"text with line end", Variant("7.5\r\n"), 7.5, false},
        {"signed text", Variant("+4"), 4, false},
        {"exponent", Variant("-2.5E-3"), -0.0025, false},
        {"leading point", Variant(".5"), 0.5, false},
        {"12abc", Variant("12abc"), kMismatch, true},
        {"empty text", Variant(""), kMismatch, true},
        {"blank text", Variant("  "), kMismatch, true},
        {"NOSYNC", Variant("NOSYNC"), kMismatch, true},
        {"comma", Variant("12,5"), kMismatch, true},
        {"incomplete exponent", Variant("1e"), kMismatch, true},
        {"two points", Variant("1.2.3"), kMismatch, true},
        {"hexadecimal", Variant("&H10"), kMismatch, true},
        {"inner blank", Variant("1 2"), kMismatch, true},
        {"array", Variant(plat::VariantArray::OneDim(0, 1)), kMismatch, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.error) {
            EXPECT_EQ(ErrorNumberOf([&] { plat::CDbl(row.value); }), static_cast<int32_t>(row.expected));
            EXPECT_EQ(ErrorNumberOf([&] { plat::CSng(row.value); }), static_cast<int32_t>(row.expected));
        } else {
            EXPECT_EQ(plat::CDbl(row.value), row.expected);
            EXPECT_EQ(plat::CSng(row.value), static_cast<float>(row.expected));
        }
    }
}

TEST(Floats, SingleRangeIsChecked)
{
    EXPECT_EQ(ErrorNumberOf([] { plat::CSng(Variant(1e39)); }), kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { plat::CSng(Variant("-1e39")); }), kOverflow);
    EXPECT_EQ(ErrorNumberOf([] { plat::CDbl(Variant("1e309")); }), kOverflow);
    EXPECT_EQ(plat::CSng(Variant(1e-50)), 0.0f);
    EXPECT_EQ(plat::CSng(Variant(static_cast<double>(FLT_MAX))), FLT_MAX);
    // A text is read straight into a Single, not through a Double.
    EXPECT_EQ(plat::CSng(Variant("0.1")), 0.1f);
    EXPECT_EQ(plat::CSng(Variant("3.4028235e38")), FLT_MAX);
    // A Double becomes the nearest Single as a text does: the largest Single's shortest text
    // read as a Double is that Single, and only what rounds beyond it overflows.
    const double firstBeyond = 0x1.ffffffp+127;
    for (const Variant& largest : {Variant(3.4028235e38), Variant(std::nextafter(firstBeyond, 0.0)), Variant("3.4028235e38")}) {
        EXPECT_EQ(plat::CSng(largest), FLT_MAX) << plat::CStr(largest);
        EXPECT_EQ(plat::CSng(Variant(-plat::CDbl(largest))), -FLT_MAX) << plat::CStr(largest);
    }
    for (const Variant& beyond : {Variant(firstBeyond), Variant(-firstBeyond), Variant("3.4028236e38")}) {
        EXPECT_EQ(ErrorNumberOf([&] { plat::CSng(beyond); }), kOverflow) << plat::CStr(beyond);
    }
}

TEST(Booleans, ConvertAndShowAsTrueAndFalse)
{
    struct Row {
        const char* name;
        Variant value;
        int expected; // 1 True, 0 False, or the error number
    };
    const Row rows[] = {
        {"Empty", Variant(), 0},
        {"True text", Variant("True"), 1},
        {"false any case", Variant("fALSE"), 0},
        {"true with blanks", Variant(" true "), 1},
        {"numeric text", Variant("2"), 1},
        {"zero text", Variant("0.0"), 0},
        {"number", Variant(-0.5), 1},
        {"zero", Variant(0), 0},
        {"yes", Variant("yes"), kMismatch},
        {"Null", Variant::Null(), kNull},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.expected > 1) {
            EXPECT_EQ(ErrorNumberOf([&] { plat::CBool(row.value); }), row.expected);
        } else {
            EXPECT_EQ(plat::CBool(row.value), row.expected == 1);
        }
    }
    EXPECT_EQ(plat::CStr(Variant(true)), "True");
    EXPECT_EQ(plat::CStr(Variant(false)), "False");
    EXPECT_EQ(plat::CStr(true), "True");
    EXPECT_EQ(plat::CStr("text"), "text");
}

TEST(Texts, SingleShowsAtMostSevenDigits)
{
    struct Row {
        float value;
        const char* expected;
    };
    const Row rows[] = {
        {0.1f, "0.1"},
        {1.0f / 3.0f, "0.3333333"},
        {2.0f / 3.0f, "0.6666667"},
        {-2.5f, "-2.5"},
        {0.0f, "0"},
        {-0.0f, "0"},
        {7.7f, "7.7"},
        {100.0f, "100"},
        {1234567.0f, "1234567"},
        {12345678.0f, "1.234568E+07"},
        {1e20f, "1E+20"},
        {0.0001f, "0.0001"},
        {0.00001f, "1E-05"},
        {1e-7f, "1E-07"},
        {-2.5e-7f, "-2.5E-07"},
        {FLT_MAX, "3.402823E+38"},
        {16777216.0f, "1.677722E+07"},
        {std::numeric_limits<float>::infinity(), "Inf"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(plat::CStr(row.value), row.expected);
        EXPECT_EQ(plat::CStr(Variant(row.value)), row.expected);
    }
}

TEST(Texts, SingleTextReadsBackToTheSameSingle)
{
    // Every Single whose shortest text fits in seven digits comes back unchanged.
    const float values[] = {0.1f, 0.2f, 0.3f, 1.1f, 4.2f, 7.7f, -0.7f, 359.9f, 1e-3f, 123456.7f, 3.0e-30f};
    for (float value : values) {
        SCOPED_TRACE(value);
        EXPECT_EQ(plat::CSng(Variant(plat::CStr(value))), value);
    }
}

TEST(Texts, DoubleShowsAtMostFifteenDigits)
{
    struct Row {
        double value;
        const char* expected;
    };
    const Row rows[] = {
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3.0, "0.333333333333333"},
        {2.675, "2.675"},
        {-1234.5, "-1234.5"},
        {123456789012345.0, "123456789012345"},
        {1e15, "1E+15"},
        {1e20, "1E+20"},
        {1.5e100, "1.5E+100"},
        {0.0001, "0.0001"},
        {1e-5, "1E-05"},
        {-2.5e-7, "-2.5E-07"},
        {static_cast<double>(0.1f), "0.100000001490116"},
        {DBL_MAX, "1.79769313486232E+308"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.expected);
        EXPECT_EQ(plat::CStr(row.value), row.expected);
        EXPECT_EQ(plat::CStr(Variant(row.value)), row.expected);
    }
}

TEST(Texts, OtherKinds)
{
    EXPECT_EQ(plat::CStr(Variant()), "");
    EXPECT_EQ(plat::CStr(Variant(int16_t{-12})), "-12");
    EXPECT_EQ(plat::CStr(Variant(-2147483647 - 1)), "-2147483648");
    EXPECT_EQ(plat::CStr(Variant("as is ")), "as is ");
    EXPECT_EQ(ErrorNumberOf([] { plat::CStr(Variant::Null()); }), kNull);
    EXPECT_EQ(ErrorNumberOf([] { plat::CStr(Variant(plat::VariantArray::OneDim(0, 1))); }), kMismatch);
}

TEST(Mod, RemainderHasTheSignOfTheDividend)
{
    struct Row {
        int32_t a, b, expected;
    };
    const Row rows[] = {
        {7, 5, 2}, {-7, 5, -2}, {7, -5, 2}, {-7, -5, -2}, {10, 5, 0}, {-2147483647 - 1, -1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.a) + " mod " + std::to_string(row.b));
        EXPECT_EQ(plat::Mod(row.a, row.b), row.expected);
    }
    EXPECT_EQ(ErrorNumberOf([] { plat::Mod(1, 0); }), plat::rt::DivisionByZero);
}

TEST(Round, KeepsDecimalsHalfToEvenOnTheDecimalText)
{
    struct Row {
        double value;
        int decimals;
        double expected;
    };
    const Row rows[] = {
        {static_cast<double>(7.7f) - static_cast<double>(-0.7f), 4, 8.4},
        {static_cast<double>(8.4f) * 10, 4, 84.0},
        {0.125, 2, 0.12},
        {0.375, 2, 0.38},
        {2.5, 0, 2.0},
        {-2.5, 0, -2.0},
        {3.5, 0, 4.0},
        {2.675, 2, 2.68}, // the decimal text "2.675" is a tie: to even
        {1.00005, 4, 1.0},
        {-0.00004, 4, 0.0},
        {123.456, 0, 123.0},
        // Every finite Double rounds, also where its 15-digit text lies beyond the range.
        {1.7976931348623157e308, 0, 1.7976931348623157e308},
        {-1.7976931348623157e308, 2, -1.7976931348623157e308},
        {1.7976931348623157e308, 15, 1.7976931348623157e308},
        {1.2345678901234567e300, 3, 1.23456789012346e300},
        {4.9e-324, 15, 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(plat::CStr(row.value) + " to " + std::to_string(row.decimals));
        EXPECT_EQ(plat::Round(row.value, row.decimals), row.expected);
    }
    EXPECT_EQ(plat::RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(plat::RoundHalfEven(-1.5), -2.0);
    EXPECT_EQ(ErrorNumberOf([] { plat::Round(1.0, -1); }), plat::rt::InvalidCall);
}

TEST(IsNumericText, AcceptsOnlyWholeDecimalNumbers)
{
    struct Row {
        const char* text;
        bool expected;
    };
    const Row rows[] = {
        {"12", true}, {" 12 ", true}, {"-1.5e3", true}, {".5", true}, {"5.", true}, {"+0", true},
        {"", false}, {".", false}, {"12abc", false}, {"1,5", false}, {"&H10", false}, {"1e", false},
        {"- 1", false}, {"True", false}, {"1 2", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(plat::IsNumericText(row.text), row.expected);
    }
}
