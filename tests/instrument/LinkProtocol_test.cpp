#include "instrument/LinkProtocol.h"
#include "instrument/MCommUtils.h"
#include "instrument/ReplyCollector.h"

#include "platform/base/ComError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

namespace lp = vti::LinkProtocol;

TEST(LinkProtocol, FramesCommandsWithCr)
{
    const struct {
        std::string command;
        std::string framed;
    } cases[] = {
        {"ZERO", "ZERO\r"},
        {"ENERGYDATA", "ENERGYDATA\r"},
        {"ZERO\r", "ZERO\r"},           // already ended: unchanged
        {"NSB60\n", "NSB60\n\r"},       // a command ending in LF goes out LF CR
        {"LOC\r\n", "LOC\r\n\r"},       // the last character decides, not a CR anywhere
        {"DEFRANGE=HIGH", "DEFRANGE=HIGH\r"},
        {"", "\r"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        EXPECT_EQ(lp::FrameCommand(c.command), c.framed);
    }
    EXPECT_EQ(lp::LinkCheckText(), "LOC\n\r");
    EXPECT_EQ(lp::ReleaseText(), "LOC\r");
    EXPECT_EQ(lp::BaudProbeText(), "BAUD=9600\n");
    EXPECT_EQ(lp::LinkProbeText(), "LOC\n");
}

TEST(LinkProtocol, JudgesAnswers)
{
    const struct {
        std::string reply;
        bool connect;
        bool baud;
        bool probe;
    } cases[] = {
        {"OK\r\n", true, true, true},
        {"OK", true, true, true},
        {"ERR=07\r\n", true, false, false},
        {"?\r\n", false, false, true},
        {"?", false, false, true},
        {" OK\r\n", false, false, false},
        {"ok\r\n", false, false, false},
        {"NODATA\r\n", false, false, false},
        {"O", false, false, false},
        {"", false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        EXPECT_EQ(lp::IsConnectAnswer(c.reply), c.connect);
        EXPECT_EQ(lp::AcceptsBaudChange(c.reply), c.baud);
        EXPECT_EQ(lp::IsProbeAnswer(c.reply), c.probe);
    }
}

TEST(LinkProtocol, RefractoryCommandAndLines)
{
    EXPECT_TRUE(lp::IsRefractoryCommand("PACEREFRACT\r"));
    EXPECT_FALSE(lp::IsRefractoryCommand("PACEREFRACT"));
    EXPECT_FALSE(lp::IsRefractoryCommand("PACEREFRACT=1\r"));
    EXPECT_FALSE(lp::IsRefractoryCommand("PACEPMODE\r"));

    // The complete lines, the first line and the count of line ends.
    const struct {
        std::string text;
        std::string lines;
        std::string first;
        int count;
    } cases[] = {
        {"", "", "", 0},
        {"25", "", "25", 0},
        {"250,300\r\n", "250,300\r\n", "250,300\r\n", 1},
        {"250,300\r\n12", "250,300\r\n", "250,300\r\n", 1},
        {"a\nb\nc", "a\nb\n", "a\n", 2},
        {"NEWDATA\r\nNEWDATA\r\n", "NEWDATA\r\nNEWDATA\r\n", "NEWDATA\r\n", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(lp::CompleteLines(c.text), c.lines);
        EXPECT_EQ(lp::FirstLine(c.text), c.first);
        EXPECT_EQ(lp::CountLines(c.text), c.count);
    }
}

TEST(ReplyCollector, CompletesByItsRule)
{
    using Completion = vti::ReplyCollector::Completion;
    const struct {
        Completion completion;
        std::vector<std::string> pieces;
        bool complete;
        std::string text;
    } cases[] = {
        // A command's reply: the piece just read ends with LF.
        {Completion::PieceEndsLf, {"OK\r\n"}, true, "OK\r\n"},
        {Completion::PieceEndsLf, {"12", "3,4", "5\r", "\n"}, true, "123,45\r\n"},
        {Completion::PieceEndsLf, {"OK\r\n", "x"}, false, "OK\r\nx"},
        {Completion::PieceEndsLf, {"OK\r"}, false, "OK\r"},
        {Completion::PieceEndsLf, {"OK\n"}, true, "OK\n"},
        {Completion::PieceEndsLf, {"OK\r\n", ""}, true, "OK\r\n"}, // an empty read is no read
        {Completion::PieceEndsLf, {}, false, ""},
        // The link check and probes: the whole text ends with CR LF.
        {Completion::TextEndsCrLf, {"OK\r", "\n"}, true, "OK\r\n"},
        {Completion::TextEndsCrLf, {"OK\n"}, false, "OK\n"},
        {Completion::TextEndsCrLf, {"?\r\n"}, true, "?\r\n"},
    };
    for (const auto& c : cases) {
        std::string trace;
        for (const auto& p : c.pieces) trace += "[" + p + "]";
        SCOPED_TRACE(trace);
        vti::ReplyCollector collector(c.completion);
        for (const auto& p : c.pieces) collector.Add(p);
        EXPECT_EQ(collector.IsComplete(), c.complete);
        EXPECT_EQ(collector.Text(), c.text);
    }
}

TEST(ReplyCollector, NeedsItsMinimumOfReadsAndOverflowsPastTheBound)
{
    vti::ReplyCollector two(vti::ReplyCollector::Completion::PieceEndsLf, 2);
    two.Add("OK\r\n");
    EXPECT_FALSE(two.IsComplete());
    two.Add("\n");
    EXPECT_TRUE(two.IsComplete());
    EXPECT_EQ(two.Chunks(), 2);

    vti::ReplyCollector bounded(vti::ReplyCollector::Completion::PieceEndsLf);
    const std::string block(vti::ReplyCollector::MaxText - 2, 'x');
    bounded.Add(block);
    bounded.Add("\r\n");
    EXPECT_TRUE(bounded.IsComplete());
    EXPECT_EQ(bounded.Text().size(), vti::ReplyCollector::MaxText);
    bounded.Add("y");
    EXPECT_TRUE(bounded.Overflowed());
    EXPECT_FALSE(bounded.IsComplete());
    EXPECT_TRUE(bounded.Text().empty());
    bounded.Add("\r\n");
    EXPECT_FALSE(bounded.IsComplete()) << "an overflowed collection takes nothing more";
    bounded.Clear();
    bounded.Add("OK\r\n");
    EXPECT_TRUE(bounded.IsComplete());
}

TEST(MCommUtils, MapsStatusTextsToErrors)
{
    const struct {
        std::string status;
        int32_t error;
    } cases[] = {
        {"Connected", 0},
        {"Port unavailable", 8005},
        {"Port not found", 8002},
        {"Access denied", 8020},
        {"", 8020},
        {"connected", 8020},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.status);
        EXPECT_EQ(vti::MCommUtils::PortStatusError(c.status), c.error);
        try {
            vti::MCommUtils::CheckPortStatus(c.status);
            EXPECT_EQ(c.error, 0);
        } catch (const plat::ComError& error) {
            EXPECT_EQ(error.Number(), c.error);
            EXPECT_FALSE(error.Source().empty());
        }
    }
}

} // namespace
