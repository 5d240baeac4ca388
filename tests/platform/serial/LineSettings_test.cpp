#include "platform/serial/LineSettings.h"

#include "platform/base/ComError.h"
#include "platform/serial/SerialErrors.h"

#include <gtest/gtest.h>

#include <cerrno>

namespace {

using plat::LineSettings;

TEST(LineSettings, ReadsTheControlsTextForm)
{
    struct Case {
        const char* text;
        const char* canonical; // nullptr: malformed
    };
    const Case cases[] = {
        {"9600,N,8,1", "9600,N,8,1"},
        {"2400,N,8,1", "2400,N,8,1"},
        {"19200,e,7,2", "19200,E,7,2"},
        {"300,O,5,1.5", "300,O,5,1.5"},
        {"115200,M,8,1", "115200,M,8,1"},
        {"1200,s,6,1", "1200,S,6,1"},
        {"", nullptr},
        {"9600", nullptr},
        {"9600,N,8", nullptr},
        {"9600,N,8,1,", nullptr},
        {"9601,N,8,1", nullptr},   // no such speed
        {"0,N,8,1", nullptr},
        {"-9600,N,8,1", nullptr},
        {"+9600,N,8,1", nullptr},
        {" 9600,N,8,1", nullptr},
        {"9600,X,8,1", nullptr},
        {"9600,NN,8,1", nullptr},
        {"9600,N,9,1", nullptr},
        {"9600,N,4,1", nullptr},
        {"9600,N,8,3", nullptr},
        {"9600,N,8,1.0", nullptr},
        {"99999999999999999999,N,8,1", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        auto parsed = LineSettings::TryParse(c.text);
        if (c.canonical == nullptr) {
            EXPECT_FALSE(parsed.has_value());
        } else {
            ASSERT_TRUE(parsed.has_value());
            EXPECT_EQ(parsed->ToString(), c.canonical);
        }
    }
}

TEST(LineSettings, MalformedTextRaisesInvalidPropertyValue)
{
    try {
        LineSettings::Parse("9600,N,8");
        FAIL() << "no error raised";
    } catch (const plat::ComError& error) {
        EXPECT_EQ(error.Number(), 380);
    }
    EXPECT_EQ(LineSettings::Parse("2400,N,8,1").baud, 2400);
}

TEST(SerialErrors, OpenFailuresGiveTheCallersNumbersAndStatusTexts)
{
    struct Case {
        int error;
        int32_t number;
        const char* status;
    };
    const Case cases[] = {
        {ENOENT, 68, "Port not found"},
        {ENODEV, 68, "Port not found"},
        {ENXIO, 68, "Port not found"},
        {EBUSY, 68, "Port unavailable"},
        {EIO, 68, "Port unavailable"},
        {EACCES, 70, "Access denied"},
        {EPERM, 70, "Access denied"},
        {ENOTTY, 8015, "Not a serial port"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        auto failure = plat::ClassifyOpenErrno(c.error);
        EXPECT_EQ(failure.number, c.number);
        EXPECT_EQ(failure.status, c.status);
    }
    // Anything else is still an error with a number of the serial range and a readable status.
    auto other = plat::ClassifyOpenErrno(EMFILE);
    EXPECT_EQ(other.number, plat::serr::HardwareNotAvailable);
    EXPECT_FALSE(other.status.empty());
    EXPECT_NE(other.status, "Connected");
}

} // namespace
