#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "tests/support/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <iostream>
#include <string>

using plat::Variant;

namespace {

struct MaskRow {
    const char* name;
    Variant value;
    const char* mask;
    const char* expected;
};

// The masks of the result records and the rules of Conversions.h, one row each.
const MaskRow kMaskRows[] = {
    {"thousands", Variant(1234.5), "# ##0.0", "1 234.5"},
    {"no digit left of the blank", Variant(5.0), "# ##0.0", "5.0"},
    {"three digits", Variant(359.94), "# ##0.0", "359.9"},
    {"five digits", Variant(12345.67), "# ##0.0", "12 345.7"},
    {"digits beyond the placeholders", Variant(1234567.8), "# ##0.0", "1234 567.8"},
    {"zero", Variant(0.0), "# ##0.0", "0.0"},
    {"negative", Variant(-1234.56), "# ##0.0", "-1 234.6"},
    {"carry into a new digit", Variant(999.96), "# ##0.0", "1 000.0"},
    {"carry at the units", Variant(9.96), "# ##0.0", "10.0"},
    {"three decimals", Variant(3.14159f), "# ##0.000", "3.142"},
    {"three decimals padded", Variant(2.5), "# ##0.000", "2.500"},
    {"three decimals thousands", Variant(1500.0625), "# ##0.000", "1 500.063"},
    {"half away from zero", Variant(2.5), "#0", "3"},
    {"half away from zero negative", Variant(-2.5), "#0", "-3"},
    {"half of one", Variant(0.5), "#0", "1"},
    {"below half", Variant(0.49), "#0", "0"},
    {"Double on its decimal text", Variant(2.675), "0.00", "2.68"},
    {"Single on its decimal text", Variant(2.675f), "0.00", "2.68"},
    {"Single 0.1", Variant(0.1f), "0.00", "0.10"},
    {"Double 1.005", Variant(1.005), "0.00", "1.01"},
    {"negative zero after rounding", Variant(-0.04), "0.0", "0.0"},
    {"optional whole digit", Variant(0.25), "##.0", ".3"},
    {"optional whole digits", Variant(12.25), "##.0", "12.3"},
    {"more digits than ##", Variant(123.0), "##.0", "123.0"},
    {"optional decimals dropped", Variant(5.0), "0.##", "5"},
    {"optional decimals kept", Variant(5.1), "0.##", "5.1"},
    {"mandatory and optional decimals", Variant(5.0), "0.0#", "5.0"},
    {"leading zero placeholder", Variant(5), "00", "05"},
    {"Integer", Variant(int16_t{42}), "0.00", "42.00"},
    {"Long", Variant(1234567), "# ##0", "1234 567"},
    {"Boolean is -1", Variant(true), "0", "-1"},
    {"big Double", Variant(1e20), "0", "100000000000000000000"},
    {"tiny Double", Variant(1e-20), "0.00", "0.00"},
    {"literal prefix and suffix", Variant(4.25), "~0.0 J", "~4.3 J"},
    {"numeric text", Variant("4.2"), "0.00", "4.20"},
    {"numeric text with blanks", Variant(" 1234.5 "), "# ##0.0", "1 234.5"},
    {"text that is no number", Variant("NOSYNC"), "# ##0.0", "NOSYNC"},
    {"text with a leading number", Variant("4.2 ms"), "0.0", "4.2 ms"},
    {"Empty", Variant(), "# ##0.0", ""},
    {"Null", Variant::Null(), "0.0", ""},
    {"no whole placeholder", Variant(1.5), "$.00", "$1.50"},
    {"empty mask", Variant(1.5), "", "1.5"},
    {"empty mask Single", Variant(1.0f / 3.0f), "", "0.3333333"},
    {"empty mask Boolean", Variant(false), "", "False"},
};

class FormatMask : public ::testing::TestWithParam<MaskRow> {};

} // namespace

TEST_P(FormatMask, GivesTheExpectedText)
{
    const MaskRow& row = GetParam();
    EXPECT_EQ(plat::Format(row.value, row.mask), row.expected) << row.name;
}

INSTANTIATE_TEST_SUITE_P(Masks, FormatMask, ::testing::ValuesIn(kMaskRows),
    [](const ::testing::TestParamInfo<MaskRow>& info) {
        std::string name;
        for (const char* p = info.param.name; *p; ++p) {
            char c = *p;
            bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
            name += alnum ? c : '_';
        }
        return name;
    });

TEST(Format, ObjectsAndArraysAreATypeMismatch)
{
    try {
        plat::Format(Variant(plat::VariantArray::OneDim(0, 1)), "0.0");
        FAIL();
    } catch (const plat::ComError& e) {
        EXPECT_EQ(e.Number(), plat::rt::TypeMismatch);
    }
}

using ztesting::DecimalCommaLocale;

TEST(Locale, ADecimalCommaChangesNothing)
{
    DecimalCommaLocale locale;
    if (locale.CLocale().empty()) {
        std::cout << "no decimal-comma C locale installed; only the C++ global locale is changed\n";
    }
    EXPECT_EQ(plat::Val("12.5abc"), 12.5);
    EXPECT_EQ(plat::Val("12,5"), 12.0);
    EXPECT_EQ(plat::CDbl(Variant("0.25")), 0.25);
    EXPECT_EQ(plat::CSng(Variant("7.7")), 7.7f);
    EXPECT_EQ(plat::CLng(Variant("2.5")), 2);
    EXPECT_EQ(plat::CStr(0.1f), "0.1");
    EXPECT_EQ(plat::CStr(-2.5e-7), "-2.5E-07");
    EXPECT_EQ(plat::CStr(Variant(1234.5)), "1234.5");
    EXPECT_EQ(plat::Format(Variant(1234.5), "# ##0.0"), "1 234.5");
    EXPECT_EQ(plat::Format(Variant("4.2"), "0.00"), "4.20");
    EXPECT_EQ(plat::Round(8.40000009536743, 4), 8.4);
    EXPECT_FALSE(plat::IsNumericText("12,5"));
}

TEST(Locale, ADecimalCommaCLocaleChangesNothing)
{
    DecimalCommaLocale locale;
    ZTEST_NEED_DECIMAL_COMMA_C_LOCALE(locale);
    EXPECT_EQ(std::localeconv()->decimal_point[0], ',');
    EXPECT_EQ(plat::Val("0.075"), 0.075);
    EXPECT_EQ(plat::CDbl(Variant(" 12.5 ")), 12.5);
    EXPECT_EQ(plat::CStr(1.0f / 3.0f), "0.3333333");
    EXPECT_EQ(plat::Format(Variant(3.14159f), "# ##0.000"), "3.142");
}
