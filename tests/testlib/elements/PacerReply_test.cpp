// The gate that the pacer tests' replies pass: what reaches a result record and what ends the
// run, read on replies as the link returns them, with their line end.
#include "testlib/elements/AnalyzerReply.h"
#include "testlib/elements/PacerReply.h"

#include <gtest/gtest.h>

namespace {

using ztest::AnalyzerReply;
using ztest::PacerReply;
using Kind = ztest::PacerReplyKind;

TEST(AnalyzerReply, LengthsAndCodesAreReadWithoutTheLineEnd)
{
    EXPECT_EQ(AnalyzerReply::Text("\r\n"), "");
    EXPECT_EQ(AnalyzerReply::Text("X\r\n"), "X");
    EXPECT_EQ(AnalyzerReply::Text("OK"), "OK");
    EXPECT_EQ(AnalyzerReply::ErrorCode("ERR=06\r\n"), 6);
    EXPECT_EQ(AnalyzerReply::ErrorCode("ERR=-1\r\n"), -1);
    EXPECT_EQ(AnalyzerReply::ErrorCode("ERR\r\n"), 0);
    EXPECT_TRUE(AnalyzerReply::IsError("ERR=20\r\n"));
    EXPECT_TRUE(AnalyzerReply::IsError("ERR\r\n"));
    EXPECT_FALSE(AnalyzerReply::IsError("ERR=-5\r\n"));
    EXPECT_FALSE(AnalyzerReply::IsError("OK\r\n"));
}

TEST(PacerReply, ThreeLeadingNumbersAreData)
{
    const struct {
        const char* reply;
        Kind kind;
    } cases[] = {
        {"0.070,0.0010,70.0\r\n", Kind::Data},
        {"0,0.250,0.300\r\n", Kind::Data},
        {"0,0.250,0.300", Kind::Data},
        {"-1, 2 ,3e2\r\n", Kind::Data},
        {"0,0.250\r\n", Kind::Unexpected},
        {"0,0.250,0.300,4\r\n", Kind::Data},
        {"0,0.250,0.300,firmware 2.1\r\n", Kind::Data},
        {"0,0.250,\r\n", Kind::Unexpected},
        {"0,0.250,x,4\r\n", Kind::Unexpected},
        {"0,,0.300\r\n", Kind::Unexpected},
        {"0,abc,0.300\r\n", Kind::Unexpected},
        {"NODATA\r\n", Kind::Unexpected},
        {"X\r\n", Kind::Unexpected},
        {"\r\n", Kind::Empty},
        {"", Kind::Empty},
        {"OK\r\n", Kind::Ok},
        {"MODULEOVERLOAD\r\n", Kind::ModuleOverload},
        {"NO PACER\r\n", Kind::NoPacer},
        {"ERR=06\r\n", Kind::Error},
        {"ERR=00\r\n", Kind::Error},
        {"ERR=-1\r\n", Kind::Unexpected},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        EXPECT_EQ(PacerReply::Classify(c.reply), c.kind);
    }
}

TEST(PacerReply, PacerModeCodeFollowsTheFirstEquals)
{
    EXPECT_EQ(PacerReply::ModeErrorCode("ERR=20\r\n"), 20);
    EXPECT_EQ(PacerReply::ModeErrorCode("ERR=05\r\n"), 5);
    EXPECT_EQ(PacerReply::ModeErrorCode("20\r\n"), 20);
    EXPECT_EQ(PacerReply::ModeErrorCode("ERR=xx\r\n"), 0);
    EXPECT_EQ(PacerReply::ModeErrorCode(""), 0);
}

TEST(PacerReply, AdapterAnswer)
{
    const struct {
        const char* reply;
        std::optional<bool> present;
    } cases[] = {
        {"01\r\n", true}, {"1\r\n", true}, {"10\r\n", true}, {"00\r\n", false}, {"0\r\n", false},
        {"\r\n", std::nullopt}, {"", std::nullopt}, {"ERR=01\r\n", std::nullopt}, {"1A\r\n", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        EXPECT_EQ(PacerReply::AdapterPresent(c.reply), c.present);
    }
}

} // namespace
