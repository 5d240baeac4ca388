#include "testlib/results/ReplyFieldReader.h"

#include "platform/base/ComError.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace ztest {
namespace {

std::vector<std::string> FieldsOf(const ReplyFieldReader& reader)
{
    std::vector<std::string> fields;
    for (std::size_t i = 0; i < reader.Count(); ++i) fields.emplace_back(*reader.Field(i));
    return fields;
}

TEST(ReplyFieldReader, SplitsAtCommasAndLeavesTheLineEndOut)
{
    struct Case {
        const char* reply;
        std::vector<std::string> fields;
    };
    const Case cases[] = {
        {"150.2,2000,50.1,0.0045\r\n", {"150.2", "2000", "50.1", "0.0045"}},
        {"150.2,2000,50.1,0.0045", {"150.2", "2000", "50.1", "0.0045"}},
        {"1,2,3,45", {"1", "2", "3", "45"}},  // the last field keeps its last character
        {"1,2\n", {"1", "2"}},
        {"1,2\r", {"1", "2"}},
        {"1,,3\r\n", {"1", "", "3"}},  // an empty field is there, unlike a missing one
        {"1,2,\r\n", {"1", "2", ""}},
        {"NOSYNC\r\n", {"NOSYNC"}},
        {"", {}},
        {"\r\n", {}},  // a bare line end is an empty reply
        {"\n\r\n", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.reply)));
        const ReplyFieldReader reader(c.reply);
        EXPECT_EQ(FieldsOf(reader), c.fields);
        EXPECT_EQ(reader.Empty(), c.fields.empty());
    }
}

TEST(ReplyFieldReader, AFieldBeyondTheReplyIsMissing)
{
    const ReplyFieldReader reader("150.2,2000\r\n");
    EXPECT_EQ(reader.Number(1), 2000.0);
    EXPECT_EQ(reader.Field(2), std::nullopt);
    EXPECT_EQ(reader.Number(2), std::nullopt);
    EXPECT_EQ(ReplyFieldReader("").Number(0), std::nullopt);
}

TEST(ReplyFieldReader, LeadingNumberStopsAtTheLineEnd)
{
    struct Case {
        const char* text;
        double number;
    };
    const Case cases[] = {
        {"0.0045\r\n", 0.0045},
        {"0.0045", 0.0045},
        {"4.5\r6", 4.5},      // what follows a CR is another line
        {"4.5\n6", 4.5},
        {"\n 70.1", 70.1},     // line ends and blanks before the number are skipped
        {"12.5,3", 12.5},
        {" -3.25 V", -3.25},
        {"1e3", 1000.0},
        {"", 0.0},
        {"\r\n", 0.0},
        {"NOSYNC", 0.0},
        {"nosync", 0.0},
        {"abc12", 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        EXPECT_DOUBLE_EQ(ReplyFieldReader::LeadingNumber(c.text), c.number);
    }
}

TEST(ReplyFieldReader, ANumberBeyondTheDoubleRangeRaisesOverflow)
{
    const ReplyFieldReader reader("1,1e999\r\n");
    EXPECT_EQ(reader.Number(0), 1.0);
    try {
        (void)reader.Number(1);
        FAIL() << "no overflow";
    } catch (const plat::ComError& error) {
        EXPECT_EQ(error.Number(), plat::rt::Overflow);
    }
}

} // namespace
} // namespace ztest
