// The ledger of the line on its own: scripts of writes, texts received, discards and ends of
// reply times, and what it makes of them.
#include "instrument/LineLedger.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using vti::LineLedger;
using Kind = LineLedger::Kind;
using namespace std::chrono_literals;

// One step of a script:
//   "C" "R" "L"   an exchange begins: a command, a refractory ask, a link check
//   "W"           a write of the exchange in hand, at the script's clock
//   "<text"       text received
//   "E"           the reply time ended
//   "+ms"         the clock moves on
//   "X"           owed answers whose time has passed expire
//   "D3"          a discard that threw 3 characters away unread
struct Script {
    explicit Script(size_t maxLine = 32) : ledger(3000ms, maxLine) {}

    void Run(const std::vector<std::string>& steps)
    {
        for (const auto& step : steps) {
            switch (step[0]) {
            case 'C': ledger.Begin(Kind::Command); break;
            case 'R': ledger.Begin(Kind::Refractory); break;
            case 'L': ledger.Begin(Kind::LinkCheck); break;
            case 'W': ledger.Wrote(now); break;
            case '<': ledger.Received(step.substr(1)); break;
            case 'E': ledger.ReplyTimeEnded(now); break;
            case '+': now += std::chrono::milliseconds(std::stoi(step.substr(1))); break;
            case 'X': ledger.Expire(now); break;
            case 'D': ledger.Discarded(std::stoul(step.substr(1))); break;
            default: FAIL() << "unknown step " << step;
            }
        }
    }
    std::optional<std::string> Reply() const
    {
        return ledger.HasReply() ? std::optional<std::string>(ledger.Reply()) : std::nullopt;
    }

    LineLedger ledger;
    LineLedger::TimePoint now{};
};

struct Case {
    const char* name;
    std::vector<std::string> steps;
    std::optional<std::string> reply; // of the last exchange begun
    int owed;
    bool measuring = false;
};

void Check(const Case& c, size_t maxLine = 32)
{
    SCOPED_TRACE(c.name);
    Script script(maxLine);
    script.Run(c.steps);
    EXPECT_EQ(script.Reply(), c.reply);
    EXPECT_EQ(script.ledger.Owed(), c.owed);
    EXPECT_EQ(script.ledger.MeasurementRunning(), c.measuring);
}

// A reply is one whole line, its first byte after the write it answers, sent to that command
// or to its resend.
TEST(LineLedger, AReplyIsOneWholeLineOfItsOwnCommand)
{
    const Case cases[] = {
        {"in pieces", {"C", "W", "<150.0,", "<17", "<32\r", "<\n"}, "150.0,1732\r\n", 0},
        {"LF alone ends it", {"C", "W", "<NODATA\n"}, "NODATA\n", 0},
        {"not whole yet", {"C", "W", "<150.0,17"}, std::nullopt, 0},
        {"only the first line", {"C", "W", "<A\r\nB\r\n"}, "A\r\n", 0},
        {"nothing before the write", {"C", "<EARLY\r\n", "W", "<A\r\n"}, "A\r\n", 0},
        {"answer to the first write during the resend's wait", {"C", "W", "E", "W", "<A1\r\n"}, "A1\r\n", 1},
        {"both writes answered", {"C", "W", "E", "W", "<A1\r\nA2\r\n"}, "A1\r\n", 0},
        // Spec'd: a partial reply is dropped at the time-out, and a line whole in the retry
        // pause is dropped with it; the resend's answer is the reply.
        {"whole in the pause", {"C", "W", "E", "<A1\r\n", "W", "<A2\r\n"}, "A2\r\n", 0},
        {"cut at the time-out", {"C", "W", "<A", "E", "<1\r\n", "W", "<A2\r\n"}, "A2\r\n", 0},
        {"cut line's rest after the resend", {"C", "W", "<A-", "E", "W", "<rest\r\n", "<A2\r\n"}, "A2\r\n", 0},
        // The kept reply stays the reply, whatever comes after it.
        {"reply time after the reply", {"C", "W", "<A\r\n", "E", "<B\r\n"}, "A\r\n", 0},
    };
    for (const auto& c : cases) Check(c);
}

// No byte is in two replies, and no reply holds an answer owed to another write.
TEST(LineLedger, WhatIsOwedToEarlierWritesIsDropped)
{
    const Case cases[] = {
        {"a resend's answer", {"C", "W", "E", "W", "<A1\r\n", "C", "<A2\r\n", "W", "<B\r\n"}, "B\r\n", 0},
        {"its rest after the next write", {"C", "W", "E", "W", "<A1\r\n", "C", "<A", "W", "<2\r\n", "<B\r\n"}, "B\r\n", 0},
        {"an interrupted exchange's", {"C", "W", "E", "C", "W", "<A\r\n", "<B\r\n"}, "B\r\n", 0},
        {"an exchange that wrote nothing owes nothing", {"C", "C", "W", "<B\r\n"}, "B\r\n", 0},
        // The banner takes no check's place: the second check does not read the first's "OK",
        // and the first command does not read the second's.
        {"link check run again", {"L", "W", "<HELLO\r\n", "W", "<OK\r\n"}, "OK\r\n", 1},
        {"the check's second answer", {"L", "W", "<HELLO\r\n", "W", "<OK\r\n", "C", "<OK\r\n", "W", "<1\r\n"}, "1\r\n", 0},
        {"check answered without CR LF", {"L", "W", "<OK\n"}, std::nullopt, 1},
        // A running measurement's answer, when another command is written: dropped, however
        // long it takes.
        {"a measurement's", {"R", "W", "E", "C", "+60000", "X", "W", "<0,0.250,0.300\r\n", "<NODATA\r\n"}, "NODATA\r\n", 0},
        {"a measurement's, come whole before", {"R", "W", "E", "<0,0.250,0.300\r\n", "C", "W", "<NODATA\r\n"}, "NODATA\r\n", 0},
        {"a measurement's fragment", {"R", "W", "<0,0.2", "E", "C", "W", "<50,0.300\r\n", "<NODATA\r\n"}, "NODATA\r\n", 0},
        // The rest of a dropped line never becomes a refractory reply without a write.
        {"rest before the next ask", {"C", "W", "<0,0.2", "E", "R", "<50,0.300\r\n"}, std::nullopt, 0},
        {"line begun before a discard", {"C", "W", "D3", "<TAIL\r\n", "<A\r\n"}, "A\r\n", 0},
    };
    for (const auto& c : cases) Check(c);
}

// The refractory measurement: its answer, begun or not when its ask ended, answers the next
// refractory ask; a fragment is never the start of another answer once the ask is written again.
TEST(LineLedger, ARefractoryAnswerIsWholeAndItsOwn)
{
    const Case cases[] = {
        {"within the reply time", {"R", "W", "<0,0.250,0.300\r\n"}, "0,0.250,0.300\r\n", 0},
        {"running", {"R", "W", "E"}, std::nullopt, 1, true},
        {"whole after the ask: the next ask writes nothing", {"R", "W", "E", "<0,0.250,0.300\r\n", "R"}, "0,0.250,0.300\r\n", 0},
        {"straddling the reply time", {"R", "W", "<0,0.2", "E", "<50,0.300\r\n", "R"}, "0,0.250,0.300\r\n", 0},
        {"asked again while running", {"R", "W", "E", "R", "W", "<0,0.250,0.300\r\n"}, "0,0.250,0.300\r\n", 0},
        {"rest of the measurement's answer during the next ask's owed wait", {"R", "W", "<0,", "E", "R", "<0.250,0.300\r\n"},
         "0,0.250,0.300\r\n", 0},
        {"after an abort before its write", {"R", "W", "E", "C", "R", "W", "<0,0.250,0.300\r\n"}, "0,0.250,0.300\r\n", 0},
    };
    for (const auto& c : cases) Check(c);

    // Cut for good after 3, 5 and 9 characters: the ask written again drops the fragment's line
    // with the answer it eats, and the ask after reads a whole answer of its own.
    const std::string answer = "0,0.250,0.300\r\n";
    for (size_t cut : {3u, 5u, 9u}) {
        const std::string fragment = answer.substr(0, cut);
        Check({"cut", {"R", "W", "<" + fragment, "E", "R", "W", "<" + answer, "E"}, std::nullopt, 0});
        Check({"cut, asked twice more", {"R", "W", "<" + fragment, "E", "R", "W", "<" + answer, "E", "R", "W", "<" + answer},
               answer, 0});
    }
}

// Text that arrives while nothing is owed is noise: it opens no line and costs the next
// command nothing; a control character never begins a line.
TEST(LineLedger, NoiseOpensNoLine)
{
    for (const std::string& noise : {std::string(1, '\0'), std::string("\x13"), std::string(">"), std::string("\r"),
                                    std::string("BANNER\r\n"), std::string("\n\r")}) {
        SCOPED_TRACE(::testing::PrintToString(noise));
        Script script;
        script.Run({"C", "W", "<A\n", "<" + noise, "C"});
        EXPECT_FALSE(script.ledger.LineOpen());
        script.Run({"W", "<B\r\n"});
        EXPECT_EQ(script.Reply(), "B\r\n");
    }
    // While an answer is owed, the CR of LF CR line ends and an XOFF do not begin it.
    Check({"LF CR", {"C", "W", "<A\n\r", "C", "W", "<\r", "<\x13" "B\n\r"}, "B\n", 0});
}

// A line beyond the bound is no reply and is dropped to its end: the attempt that collects it
// fails at once, and what follows it up to its line end is no answer either.
TEST(LineLedger, AnOverlongLineIsDroppedToItsEnd)
{
    Script script(8);
    script.Run({"C", "W", "<123456789"});
    EXPECT_TRUE(script.ledger.Overflowed());
    EXPECT_FALSE(script.ledger.HasReply());
    script.Run({"E", "W", "<0,123\r\n"});
    EXPECT_FALSE(script.ledger.Overflowed());
    EXPECT_FALSE(script.ledger.HasReply()) << "the tail of the long line is no reply";
    script.Run({"<OK\r\n"});
    EXPECT_EQ(script.Reply(), "OK\r\n");
}

// An owed answer is waited for until the reply time after its write; a measurement's has no
// time, and the answers behind it cannot come before it.
TEST(LineLedger, OwedAnswersExpireAtTheReplyTimeAfterTheirWrite)
{
    Script script;
    script.Run({"C", "W", "E", "+200", "W", "<A1\r\n", "C"});
    ASSERT_EQ(script.ledger.Owed(), 1);
    EXPECT_EQ(script.ledger.OwedUntil(), LineLedger::TimePoint{} + 3200ms);
    script.Run({"+2999", "X"});
    EXPECT_EQ(script.ledger.Owed(), 1);
    script.Run({"+1", "X"});
    EXPECT_EQ(script.ledger.Owed(), 0);
    EXPECT_FALSE(script.ledger.OwedUntil());

    script.Run({"R", "W", "E", "C", "W", "E", "C"});
    EXPECT_EQ(script.ledger.Owed(), 2);
    EXPECT_FALSE(script.ledger.OwedUntil()) << "an answer behind a measurement's is not waited for";
    script.Run({"+100000", "X"});
    EXPECT_EQ(script.ledger.Owed(), 2);
    EXPECT_TRUE(script.ledger.MeasurementRunning());
}

} // namespace
