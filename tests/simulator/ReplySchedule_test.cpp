#include "simulator/FaultPlan.h"
#include "simulator/ReplySchedule.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using zsim::Fault;
using zsim::ReplyPiece;

TEST(ReplySchedule, EveryFaultShapesTheReply)
{
    struct Case {
        const char* name;
        std::optional<Fault> fault;
        std::vector<ReplyPiece> pieces;
    };
    const Case cases[] = {
        {"plain", std::nullopt, {{10ms, "OK\r\n"}}},
        {"silence", Fault::Silence(), {}},
        {"reply", Fault::Error(7), {{10ms, "ERR=07\r\n"}}},
        {"over range", Fault::OverRange(), {{10ms, "OVERRANGE\r\n"}}},
        {"delay", Fault::Delay(2500ms), {{2500ms, "OK\r\n"}}},
        {"two pieces", Fault::Pieces(2, 100ms), {{10ms, "OK"}, {110ms, "\r\n"}}},
        {"more pieces than bytes", Fault::Pieces(9, 5ms), {{10ms, "O"}, {15ms, "K"}, {20ms, "\r"}, {25ms, "\n"}}},
        {"partial", Fault::Partial(1), {{10ms, "O"}}},
        {"partial whole line", Fault::Partial(), {{10ms, "OK"}}},
        {"partial of nothing", Fault::Partial(0), {}},
        {"garbage with line end", Fault::Garbage(), {{10ms, zsim::LineNoise() + "\r\n"}}},
        {"garbage alone", Fault::Garbage(false), {{10ms, zsim::LineNoise()}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(zsim::ShapeReply("OK", c.fault, 10ms), c.pieces);
    }
    EXPECT_EQ(zsim::ShapeReply("100.0,1500,30.0,0.0350", Fault::NoSync(), 0ms),
              (std::vector<ReplyPiece>{{0ms, "100.0,1500,30.0,NOSYNC\r\n"}}));
    EXPECT_EQ(zsim::WithNoSync("NODATA"), "NOSYNC");
}

TEST(ReplySchedule, GarbledBytesAreNeverTextNorLineEnds)
{
    const std::string garbled = zsim::Garble("OK\r\nLOC\n\r");
    EXPECT_EQ(garbled.size(), 9u);
    for (char c : garbled) EXPECT_GE(static_cast<unsigned char>(c), 0x80);
    for (char c : zsim::LineNoise()) EXPECT_TRUE(c != '\r' && c != '\n');
}

TEST(FaultPlan, CommandsTakeTheFirstMatchingFaultAsOftenAsItSays)
{
    zsim::FaultPlan plan;
    plan.Add(Fault::Silence().For("QDATA").Times(2));
    plan.Add(Fault::Error(5).For("PACE"));
    plan.Add(Fault::Delay(50ms).Always());

    auto kind = [&](const char* command) -> std::string {
        auto fault = plan.Take(command);
        if (!fault) return "none";
        switch (fault->GetKind()) {
        case Fault::Kind::Silence: return "silence";
        case Fault::Kind::Reply: return fault->Line();
        case Fault::Kind::Delay: return "delay";
        default: return "other";
        }
    };
    EXPECT_EQ(kind("QDATA"), "silence");
    EXPECT_EQ(kind("qdata"), "silence");
    EXPECT_EQ(kind("QDATA"), "delay");
    EXPECT_EQ(kind("PACEPDATA"), "ERR=05");
    EXPECT_EQ(kind("PACEPDATA"), "delay");
    EXPECT_EQ(kind("LOC"), "delay");
    EXPECT_EQ(plan.Size(), 1u);
    plan.Clear();
    EXPECT_EQ(kind("LOC"), "none");
}

} // namespace
