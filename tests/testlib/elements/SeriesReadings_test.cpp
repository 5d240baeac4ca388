#include "testlib/elements/SeriesReadings.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using ztest::ChargeTimeField;
using ztest::EnergyField;
using ztest::ReadingText;

// Replies as the link returns them: with their line end.
TEST(SeriesReadings, TheChargeTimeComesFromItsFieldOfEveryReplyShape)
{
    struct Case {
        const char* reply;
        std::optional<std::string> field;
        const char* text; // what the test keeps, when there is a field
    };
    const Case cases[] = {
        {"200.0,2100,42.0,6.20\r\n", "6.20", "6.2"},
        {"200.0,2100,42.0,6.20", "6.20", "6.2"},  // without a line end, no digit is lost
        {"200.0,2100,42.0,12\r\n", "12", "12"},
        {"200.0,2100,42.0,5.5,0.005\r\n", "5.5", "5.5"},         // four commas: the fourth field
        {"200.0,2100,42.0,5.5,0.005,9,9\r\n", "5.5", "5.5"},     // more still: the fourth field
        {"200.0,2100,42.0, 4.0\r\n", " 4.0", "4"},  // blanks before the number
        {"200.0,2100,42.0,.5\r\n", ".5", "0.5"},
        // No charge time: never a charge of 0 s. A field with a number in front, or a reply short
        // of the record's fields, is no reading either.
        {"200.0,2100,42.0,6.2s\r\n", std::nullopt, nullptr},
        {"42.0,7.5\r\n", std::nullopt, nullptr},
        {"6.25\r\n", std::nullopt, nullptr},
        {"\r\n", std::nullopt, nullptr},
        {"", std::nullopt, nullptr},
        {"NODATA\r\n", std::nullopt, nullptr},
        {"WHATEVER\r\n", std::nullopt, nullptr},
        {"200.0,2100,42.0,\r\n", std::nullopt, nullptr},
        {"200.0,2100,42.0,NOSTART\r\n", std::nullopt, nullptr},
        {"200.0,2100,42.0,,0.005\r\n", std::nullopt, nullptr},
        {"200.0,2100,42.0,1e999\r\n", std::nullopt, nullptr},
        {"200.0,2100,42.0,-\r\n", std::nullopt, nullptr},
        // The largest Double's 15-digit text lies beyond the range: it could not be read back.
        {"150.2,2000,50.1,1.7976931348623157e308\r\n", std::nullopt, nullptr},
        {"150.2,2000,50.1,1.79769313486231e308\r\n", "1.79769313486231e308", "1.79769313486231E+308"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        const std::optional<std::string> field = ChargeTimeField(c.reply);
        EXPECT_EQ(field, c.field);
        if (field && c.text) {
            EXPECT_EQ(ReadingText(*field), c.text);
        }
    }
}

TEST(SeriesReadings, TheEnergyIsTheFirstFieldOfADischargeRecord)
{
    struct Case {
        const char* reply;
        std::optional<std::string> field;
    };
    const Case cases[] = {
        {"150.2,2000,50.1,0.0045\r\n", "150.2"},
        {"150.2,2000\r\n", std::nullopt}, // short of the record's fields
        {"150.2J,2000,50.1,0.0045\r\n", std::nullopt},
        {" 99,1,1,1\r\n", " 99"},
        {"\r\n", std::nullopt},
        {"150.2\r\n", std::nullopt}, // no comma: no discharge record
        {"NODATA\r\n", std::nullopt},
        {",2000,50.1,0.0045\r\n", std::nullopt},
        {"OLDDATA,1\r\n", std::nullopt},
        {"1.7976931348623157e308,2000,50.1,0.0045\r\n", std::nullopt},
        {"-1.7976931348623157e308,2000,50.1,0.0045\r\n", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        EXPECT_EQ(EnergyField(c.reply), c.field);
    }
    EXPECT_EQ(ReadingText("150.20"), "150.2");
}

} // namespace
