#include "host/documents/HostUtilities.h"
#include "platform/base/ComError.h"
#include "tests/support/DecimalCommaLocale.h"

#include <gtest/gtest.h>

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using host::HostUtilities;
using plat::ComError;
using plat::Variant;

TEST(HostUtilities, StoredTextOfNumbers)
{
    struct Case {
        Variant number;
        const char* text;
    };
    const Case cases[] = {
        {Variant(100.0f), "100"},
        {Variant(0.1f), "0.1"},
        {Variant(-2.5), "-2.5"},
        {Variant(1e20), "1E+20"},
        {Variant(2.5e-7), "2.5E-07"},
        // The language's text keeps 7 and 15 digits; these need more to read back.
        {Variant(16777216.0f), "16777216"},
        {Variant(1.0f / 3), "0.33333334"},
        {Variant(0.1 + 0.2), "0.30000000000000004"},
        {Variant(int16_t{-7}), "-7"},
        {Variant(2147483647), "2147483647"},
        {Variant(true), "-1"},
        {Variant(), "0"},
        {Variant(" 42.50 "), "42.5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HostUtilities::NumberToText(c.number), c.text);
    }
    EXPECT_EQ(HostUtilities::NumberToText(12), "12");
    EXPECT_EQ(HostUtilities::NumberToText(0.5), "0.5");
}

TEST(HostUtilities, StoredTextReadsBackToTheSameNumber)
{
    // A spread of doubles and floats, from tiny to huge, each must survive its stored text.
    double number = 1.2345678901234567e-300;
    for (int i = 0; i < 400; ++i, number *= -5.3) {
        std::string text = HostUtilities::NumberToText(number);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        ASSERT_EQ(back, number) << text;

        auto single = static_cast<float>(number);
        if (!std::isfinite(single)) continue;
        text = HostUtilities::NumberToText(single);
        float singleBack = 0;
        std::from_chars(text.data(), text.data() + text.size(), singleBack);
        ASSERT_EQ(singleBack, single) << text;
    }
}

TEST(HostUtilities, WhatHasNoNumberRaises)
{
    struct Case {
        Variant value;
        int32_t code;
    };
    const Case cases[] = {
        {Variant("abc"), plat::rt::TypeMismatch},
        {Variant::Null(), plat::rt::InvalidUseOfNull},
        {Variant(plat::VariantArray::OneDim(0, 1)), plat::rt::TypeMismatch},
        {Variant(std::numeric_limits<double>::infinity()), plat::rt::Overflow},
        {Variant(std::numeric_limits<float>::quiet_NaN()), plat::rt::Overflow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(plat::VarTypeName(c.value.Type()));
        try {
            HostUtilities::NumberToText(c.value);
            ADD_FAILURE() << "no error";
        } catch (const ComError& error) {
            EXPECT_EQ(error.Number(), c.code);
        }
    }
}

TEST(HostUtilities, NumbersAndMasksIgnoreTheLocale)
{
    std::string stored;
    std::string fromText;
    std::string shown;
    {
        ztesting::DecimalCommaLocale locale;
        ZTEST_NEED_DECIMAL_COMMA_C_LOCALE(locale);
        stored = HostUtilities::NumberToText(0.1 + 0.2);
        fromText = HostUtilities::NumberToText(Variant("2.5"));
        shown = HostUtilities::FormatValue(Variant(1234.56), "# ##0.0");
    }
    EXPECT_EQ(stored, "0.30000000000000004");
    EXPECT_EQ(fromText, "2.5");
    EXPECT_EQ(shown, "1 234.6");
}

TEST(HostUtilities, FoldersEndWithOneSeparator)
{
    EXPECT_EQ(HostUtilities::NormalizeFolder("/opt/zarvik/lib"), "/opt/zarvik/lib/");
    EXPECT_EQ(HostUtilities::NormalizeFolder("/opt//zarvik/./bin/../lib/"), "/opt/zarvik/lib/");
    EXPECT_EQ(HostUtilities::NormalizeFolder("relative"), "relative/");
    EXPECT_EQ(HostUtilities::NormalizeFolder(""), "./");
}
