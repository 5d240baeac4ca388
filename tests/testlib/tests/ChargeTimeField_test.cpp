#include "testlib/tests/ChargeTimeField.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

using ztest::ChargeTimeField;
using ztest::ChargeTimeText;

// Replies as the link returns them: with their line end.
TEST(ChargeTimeField, TakesTheChargeTimeFieldOfEveryReplyShape)
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
        {"42.0,7.5\r\n", "7.5", "7.5"},            // fewer fields: the last one
        {"6.25\r\n", "6.25", "6.25"},              // no comma: the whole reply
        {"200.0,2100,42.0,5.5,0.005\r\n", "5.5", "5.5"},         // four commas: the fourth field
        {"200.0,2100,42.0,5.5,0.005,9,9\r\n", "5.5", "5.5"},     // more still: the fourth field
        {"200.0,2100,42.0, 4.0\r\n", " 4.0", "4"},  // blanks before the number
        {"200.0,2100,42.0,.5\r\n", ".5", "0.5"},
        {"200.0,2100,42.0,6.2s\r\n", "6.2s", "6.2"}, // only the leading number counts
        // No charge time: never a charge of 0 s.
        {"\r\n", std::nullopt, nullptr},
        {"", std::nullopt, nullptr},
        {"NODATA\r\n", std::nullopt, nullptr},
        {"WHATEVER\r\n", std::nullopt, nullptr},
        {"200.0,2100,42.0,\r\n", std::nullopt, nullptr},
        {"200.0,2100,42.0,NOSTART\r\n", std::nullopt, nullptr},
        {"200.0,2100,42.0,,0.005\r\n", std::nullopt, nullptr},
        {"200.0,2100,42.0,1e999\r\n", std::nullopt, nullptr},
        {"200.0,2100,42.0,-\r\n", std::nullopt, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        const std::optional<std::string> field = ChargeTimeField(c.reply);
        EXPECT_EQ(field, c.field);
        if (field && c.text) {
            EXPECT_EQ(ChargeTimeText(*field), c.text);
        }
    }
}

} // namespace
