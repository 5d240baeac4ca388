// The link protocol engine in virtual time against a scripted analyzer.
#include "instrument/MComm.h"

#include "LinkFixture.h"
#include "platform/ui/Form.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace linktest;
using vti::lnkClosed;
using vti::lnkFailed;
using vti::lnkIdle;

using Engine = LinkTest;

TEST_F(Engine, ConnectCheck)
{
    const struct {
        const char* name;
        std::vector<ScriptedDevice::Piece> answer;
        int times;
        int16_t result;
        std::vector<int64_t> checksAt; // times of the "LOC" LF CR writes
        int64_t endsAt;
    } cases[] = {
        {"OK", {{10ms, "OK\r\n"}}, -1, lnkIdle, {100}, 110},
        {"ERR counts as an answer", {{10ms, "ERR=07\r\n"}}, -1, lnkIdle, {100}, 110},
        {"answer in pieces", {{10ms, "O"}, {20ms, "K\r"}, {30ms, "\n"}}, -1, lnkIdle, {100}, 130},
        {"silence", {}, -1, lnkFailed, {100}, 2100},
        {"no line end", {{10ms, "OK"}}, -1, lnkFailed, {100}, 2100},
        {"LF alone is no line end here", {{10ms, "OK\n"}}, -1, lnkFailed, {100}, 2100},
        // A line that is no answer gets one more check, then the port counts as failed.
        {"garbage", {{10ms, "XYZ\r\n"}}, -1, lnkFailed, {100, 210}, 220},
        {"garbage then OK", {{10ms, "XYZ\r\n"}}, 1, lnkIdle, {100, 210}, 220},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto start = ElapsedMs();
        device = std::make_shared<ScriptedDevice>();
        device->On("LOC\n\r", c.answer, c.times);
        if (c.times > 0) device->AnswerLinkCheck();
        MapDevice(1);
        ASSERT_EQ(engine->CommInit(), lnkClosed);
        EXPECT_EQ(engine->CommOpenPort(1), c.result);
        EXPECT_EQ(ElapsedMs() - start, c.endsAt);
        std::vector<int64_t> checks;
        for (const auto& w : device->writes) {
            EXPECT_EQ(w.bytes, "LOC\n\r");
            EXPECT_EQ(w.settings.ToString(), "9600,N,8,1");
            checks.push_back(w.atMs);
        }
        EXPECT_EQ(checks, c.checksAt);
        const bool connected = c.result == lnkIdle;
        EXPECT_EQ(engine->LinkState(), connected ? lnkIdle : lnkClosed);
        EXPECT_EQ(engine->Form().Comm().PortOpen(), connected);
        EXPECT_EQ(device->detaches, connected ? 0 : 1);
        engine->CommClose();
        RunUntilIdle();
    }
}

TEST_F(Engine, PortThatDoesNotOpenFailsWithoutWriting)
{
    // A device that is not there raises "Device unavailable" (68): the open is tried again a
    // few times, then the status text fails the attempt.
    int opens = 0;
    plat::InProcessDevices::Register("absent", [&opens] {
        ++opens;
        return std::shared_ptr<plat::LinePeer>();
    });
    plat::PortMap::SetOverride(2, "absent");
    engine->CommInit();
    EXPECT_EQ(engine->CommOpenPort(2), lnkFailed);
    EXPECT_EQ(opens, 1 + vti::MComm::MaxDeviceRetries);
    EXPECT_EQ(engine->LinkState(), lnkClosed);
    EXPECT_TRUE(engine->PortError());
    EXPECT_EQ(ElapsedMs(), 100) << "no check time is spent on a port that did not open";
    EXPECT_FALSE(engine->Form().IsTimerRunning());
    plat::InProcessDevices::Unregister("absent");

    // A port mapped to nothing and a port number out of range fail the same way.
    EXPECT_EQ(engine->CommOpenPort(3), lnkFailed);
    EXPECT_EQ(engine->CommOpenPort(0), lnkFailed);
    EXPECT_EQ(engine->CommOpenPort(-4), lnkFailed);
    EXPECT_TRUE(device->writes.empty());
}

TEST_F(Engine, DataOnTheLineBeforeTheCheckIsFlushed)
{
    device->onAttach = "NOISE\r\n";
    MapDevice(1);
    device->AnswerLinkCheck();
    engine->CommInit();
    EXPECT_EQ(engine->CommOpenPort(1), lnkIdle);
    EXPECT_EQ(device->writes.size(), 1u) << "the noise was taken for an answer and the check ran again";
}

TEST_F(Engine, FramesCommandsOnTheWire)
{
    Connect();
    for (const char* written : {"ZERO\r", "NSB60\n\r", "X\r"}) device->On(written, {{10ms, "OK\r\n"}});
    EXPECT_EQ(Exchange("ZERO"), "OK\r\n");
    EXPECT_EQ(Exchange("NSB60\n"), "OK\r\n");
    EXPECT_EQ(Exchange("X\r"), "OK\r\n");
    EXPECT_EQ(device->WrittenTexts(), (std::vector<std::string>{"ZERO\r", "NSB60\n\r", "X\r"}));
    EXPECT_EQ(engine->LastCommand(), "X\r");
}

TEST_F(Engine, JoinsAReplyInPiecesUpToThePieceEndingLf)
{
    Connect();
    device->On("ENERGYDATA\r", {{10ms, "150.0,"}, {30ms, "1732,34"}, {50ms, ".6\r"}, {70ms, "\n"}});
    EXPECT_EQ(Exchange("ENERGYDATA"), "150.0,1732,34.6\r\n");
    EXPECT_EQ(SinceConnect(), 70);
    EXPECT_EQ(engine->LinkState(), lnkIdle);

    // A bare LF ends a reply too (unlike the connect check, which needs CR LF).
    device->On("QDATA\r", {{10ms, "NODATA"}, {20ms, "\n"}});
    EXPECT_EQ(Exchange("QDATA"), "NODATA\n");
    EXPECT_EQ(SinceConnect(), 90);
    EXPECT_FALSE(engine->mfLinkTimeOut);
}

TEST_F(Engine, FormsOfEnginesThatComeAndGoLeaveNoTrace)
{
    // A host that runs tests all day creates and releases engines without end; the registry of
    // forms must hold only the live ones, or every engine's form stays in memory for good.
    engine->CommInit();
    const auto before = plat::RegisteredFormCount();
    for (int i = 0; i < 200; ++i) {
        auto other = std::make_shared<vti::MComm>();
        other->CommInit();
        ASSERT_TRUE(other->Form().IsLoaded());
        EXPECT_EQ(plat::RegisteredFormCount(), before + 1);
    }
    RunUntilIdle();
    EXPECT_EQ(plat::RegisteredFormCount(), before);
}

TEST_F(Engine, ThreeTimeOutsCloseThePort)
{
    Connect();
    EXPECT_EQ(engine->CommSendCommand("QDATA"), lnkClosed);
    // Written, then again 200 ms after each 3000 ms time-out; the third time-out closes.
    EXPECT_EQ(device->WrittenTexts(), (std::vector<std::string>{"QDATA\r", "QDATA\r", "QDATA\r"}));
    EXPECT_EQ(WriteTimesSinceConnect(), (std::vector<int64_t>{0, 3200, 6400}));
    EXPECT_EQ(SinceConnect(), 9400);
    EXPECT_TRUE(engine->mfLinkTimeOut);
    EXPECT_FALSE(engine->Form().Comm().PortOpen());
    EXPECT_EQ(device->detaches, 1);
    EXPECT_FALSE(engine->Form().IsTimerRunning());

    std::string reply = "<unset>";
    EXPECT_EQ(engine->CommGetReply(reply), lnkClosed);
    EXPECT_EQ(reply, "");

    // Until the channel is opened again, sends do nothing.
    device->On("QDATA\r", {{10ms, "NODATA\r\n"}});
    EXPECT_EQ(Exchange("QDATA"), "");
    EXPECT_EQ(device->writes.size(), 3u);
}

TEST_F(Engine, RetransmitsAfterAPauseAndDropsALateTail)
{
    Connect();
    // The first reply stops short; its tail arrives during the pause before the resend.
    device->On("ENERGYDATA\r", {{100ms, "150.0,17"}, {3100ms, "32,34.6\r\n"}}, 1);
    device->On("ENERGYDATA\r", {{50ms, "150.0,1732,34.6\r\n"}});
    EXPECT_EQ(Exchange("ENERGYDATA"), "150.0,1732,34.6\r\n");
    EXPECT_EQ(WriteTimesSinceConnect(), (std::vector<int64_t>{0, 3200}));
    EXPECT_EQ(SinceConnect(), 3250);
    EXPECT_FALSE(engine->mfLinkTimeOut);
}

// A line beyond the bound of a reply is no answer, however the line hands it over (also when
// all of it arrives before the engine reads, more than the port keeps): the attempt fails at
// once. The line stays open until its line end, so the answer to the resend is dropped as its
// rest, and the third write's answer is the reply.
TEST_F(Engine, AnOverflowingReplyFailsItsAttemptAndItsLineIsDroppedToItsEnd)
{
    const std::string block(40 * 1024, '7');
    const struct {
        const char* name;
        std::vector<ScriptedDevice::Piece> noise;
        int64_t resentAt; // the retry pause after the overflow
    } cases[] = {
        {"in two reads", {{10ms, block}, {20ms, block}}, 220},
        {"in one read", {{10ms, block}, {10ms, block}}, 210},
        {"beyond the port's bound", {{10ms, block}, {10ms, block}, {10ms, block}, {10ms, block}}, 210},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FreshInOrderDevice();
        Connect();
        device->On("ECGDATA\r", c.noise, 1);
        device->On("ECGDATA\r", {{10ms, "OK\r\n"}});
        EXPECT_EQ(Exchange("ECGDATA"), "OK\r\n");
        EXPECT_EQ(WriteTimesSinceConnect(), (std::vector<int64_t>{0, c.resentAt, c.resentAt + 3200}));
    }
}

// Noise without a line end that goes on across the resends is one line that never ends: every
// attempt fails at once as the line runs beyond the bound again, and the link is lost.
TEST_F(Engine, NoiseThatGoesOnAcrossTheResendsFailsEachAttemptAtOnce)
{
    Connect();
    const std::string block(35 * 1024, 'x');
    device->On("QDATA\r", {{10ms, block}, {20ms, block}, {100ms, block}});
    EXPECT_EQ(engine->CommSendCommand("QDATA"), lnkClosed);
    EXPECT_EQ(WriteTimesSinceConnect(), (std::vector<int64_t>{0, 220, 440}));
    EXPECT_EQ(SinceConnect(), 460);
    EXPECT_TRUE(engine->mfLinkTimeOut);
}

TEST_F(Engine, RefractoryCommandEndsWithTheReplyTime)
{
    const struct {
        const char* name;
        std::vector<ScriptedDevice::Piece> answer;
        std::string reply;
        int64_t endsAt;
    } cases[] = {
        {"answer", {{500ms, "250,300\r\n"}}, "250,300\r\n", 500},
        {"silence", {}, "", 3000},
        {"fragment", {{100ms, "25"}}, "", 3000},
        {"line and fragment", {{100ms, "250,300\r\n12"}}, "250,300\r\n", 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Each on a channel of its own: a measurement that has not answered whole answers the
        // next ask on the same channel.
        Connect();
        device->On("PACEREFRACT\r", c.answer, 1);
        const auto start = ElapsedMs();
        EXPECT_EQ(Exchange("PACEREFRACT"), c.reply);
        EXPECT_EQ(ElapsedMs() - start, c.endsAt);
        EXPECT_EQ(engine->LinkState(), lnkIdle);
        EXPECT_FALSE(engine->mfLinkTimeOut);
        EXPECT_EQ(device->writes.size(), 1u) << "no retransmission";
        EXPECT_EQ(engine->MeasurementRunning(), c.reply.empty());
        FastForwardBy(1s);
    }
}

TEST_F(Engine, RetryCountStartsAfreshForEveryCommand)
{
    Connect();
    // Two time-outs, then an answer: the whole allowance of one command.
    device->On("A\r", {}, 2);
    device->On("A\r", {{10ms, "OK\r\n"}}, 1);
    engine->CommSendCommand("A");
    EXPECT_EQ(engine->Retries(), 2);
    EXPECT_EQ(engine->LinkState(), lnkIdle);

    // A command interrupted in its retry pause leaves its count behind (B goes out once the
    // answers A still owes have had their time)...
    device->On("B\r", {}, 1);
    std::optional<plat::Timer> abort;
    device->onWrite = [&](const std::string& written) {
        if (written == "B\r" && !abort) abort = plat::Loop().StartOneShot(3100ms, [this] { AbortEngine(); });
    };
    EXPECT_EQ(engine->CommSendCommand("B"), lnkIdle);
    EXPECT_EQ(engine->Retries(), 1);

    // ...and the next command still gets both retransmissions.
    device->On("C\r", {}, 2);
    device->On("C\r", {{10ms, "OK\r\n"}}, 1);
    EXPECT_EQ(Exchange("C"), "OK\r\n");
    EXPECT_EQ(engine->LinkState(), lnkIdle);

    engine->CommClose();
    engine->CommInit();
    EXPECT_EQ(engine->Retries(), 0);
}

TEST_F(Engine, AbortDuringAnExchangeRestsIdleWithThePortOpen)
{
    const struct {
        const char* name;
        Millis abortAt;
        std::vector<int64_t> writes;
    } cases[] = {
        {"reply wait", 1000ms, {0}},
        {"retry pause", 3100ms, {0}},       // the resend never goes out
        {"second reply wait", 4000ms, {0, 3200}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // Each on a channel of its own: an interrupted exchange leaves its answers owed, and
        // the next command on the same channel waits for them first.
        Connect();
        const auto start = ElapsedMs();
        device->On("PACEPDATA\r", {{100ms, "70.0,"}}, 1);
        device->On("PACEPDATA\r", {}, 1);
        plat::Timer abort = plat::Loop().StartOneShot(c.abortAt, [this] { AbortEngine(); });
        EXPECT_EQ(engine->CommSendCommand("PACEPDATA"), lnkIdle);
        EXPECT_EQ(ElapsedMs() - start, c.abortAt.count());
        // The line delivers a write on a later turn of the loop: let every turn run, and the
        // time with it, before looking at what was written.
        RunUntilIdle();
        FastForwardBy(5s);
        std::vector<int64_t> times;
        for (const auto& w : device->writes) times.push_back(w.atMs - start);
        EXPECT_EQ(times, c.writes);
        EXPECT_TRUE(engine->Form().Comm().PortOpen());
        EXPECT_FALSE(engine->Form().IsTimerRunning());
        EXPECT_EQ(engine->Reply(), "") << "a partial reply is no reply";
    }
    // The link still works; what arrived meanwhile is discarded before the next command.
    device->SendLater(0ms, "STALE\r\n");
    RunUntilIdle();
    device->On("QDATA\r", {{10ms, "NODATA\r\n"}});
    EXPECT_EQ(Exchange("QDATA"), "NODATA\r\n");
}

// The analyzer answers every write of a command, in order, and a reply carries no sequence
// number: when the first answer comes after the resend, the answer to the resend is still on
// its way and must be dropped before the next command is written, or every later command would
// read the reply of the one before.
TEST_F(Engine, AnswersToAResendAreDroppedBeforeTheNextCommand)
{
    using Pieces = std::vector<ScriptedDevice::Piece>;
    const struct {
        const char* name;
        std::vector<Pieces> answers; // to each write of A
        std::string replyA;
        std::vector<int64_t> writes; // A's writes, then B's and C's
    } cases[] = {
        {"second answer after the first", {{{3300ms, "A1\r\n"}}, {{300ms, "A2\r\n"}}}, "A1\r\n", {0, 3200, 3500, 3510}},
        {"both answers in one go", {{{3300ms, "A1\r\n"}}, {{100ms, "A2\r\n"}}}, "A1\r\n", {0, 3200, 3300, 3310}},
        // A line that stays silent costs one reply time, once.
        {"resend never answered", {{{3300ms, "A1\r\n"}}, {}}, "A1\r\n", {0, 3200, 6200, 6210}},
        {"late first answer dropped before the resend", {{{3100ms, "A1\r\n"}}, {{50ms, "A2\r\n"}}}, "A2\r\n",
         {0, 3200, 3250, 3260}},
        {"two resends",
         {{{6500ms, "A1\r\n"}}, {{3400ms, "A2\r\n"}}, {{300ms, "A3\r\n"}}},
         "A1\r\n",
         {0, 3200, 6400, 6700, 6710}},
        // The start of an answer that never gets its line end takes the next line as its rest:
        // a cut answer costs one more resend, and the wait for the answer that seems owed.
        {"first answer cut for good",
         {{{100ms, "A-"}}, {{100ms, "A2\r\n"}}, {{100ms, "A3\r\n"}}},
         "A3\r\n",
         {0, 3200, 6400, 9400, 9410}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FreshInOrderDevice();
        Connect();
        for (const auto& answer : c.answers) device->On("A\r", answer, 1);
        device->On("B\r", {{10ms, "B\r\n"}});
        device->On("C\r", {{10ms, "C\r\n"}});
        EXPECT_EQ(Exchange("A"), c.replyA);
        EXPECT_EQ(Exchange("B"), "B\r\n");
        EXPECT_EQ(Exchange("C"), "C\r\n");
        EXPECT_EQ(WriteTimesSinceConnect(), c.writes);
        EXPECT_FALSE(engine->mfLinkTimeOut);
        EXPECT_EQ(engine->LinkState(), lnkIdle);
    }
}

// An owed answer is waited for only as long as it can still begin: the reply time after its
// write, however long the caller took before its next command.
TEST_F(Engine, AnOwedAnswerIsAwaitedOnlyTheReplyTimeAfterItsWrite)
{
    FreshInOrderDevice();
    Connect();
    device->On("A\r", {{3300ms, "A1\r\n"}}, 1);
    device->On("A\r", {}, 1);
    device->On("B\r", {{10ms, "B\r\n"}});
    EXPECT_EQ(Exchange("A"), "A1\r\n");
    FastForwardBy(2000ms);
    EXPECT_EQ(Exchange("B"), "B\r\n");
    EXPECT_EQ(WriteTimesSinceConnect(), (std::vector<int64_t>{0, 3200, 6200}));
}

// What the owed answer costs a line that goes silent right after a resend answered once: the
// next command goes out the reply time after the resend, and is declared lost after its three
// writes: 12.3 s after the answer.
TEST_F(Engine, ALineSilentAfterAResendAnsweredOnceIsLostAfterTheOwedWaitAndThreeWrites)
{
    FreshInOrderDevice();
    Connect();
    device->On("A\r", {}, 1);
    device->On("A\r", {{100ms, "A\r\n"}}, 1);
    EXPECT_EQ(Exchange("A"), "A\r\n");
    EXPECT_EQ(SinceConnect(), 3300);
    EXPECT_EQ(Exchange("B"), "");
    EXPECT_EQ(WriteTimesSinceConnect(), (std::vector<int64_t>{0, 3200, 6200, 9400, 12600}));
    EXPECT_EQ(SinceConnect(), 15600);
    EXPECT_EQ(engine->LinkState(), lnkClosed);
}

// The analyzer's first answer to ENERGYDATA is cut: its first part comes at 100 ms and its rest
// at a time around the reply time; it answers the resend (written at 3200) in order after it.
// At every timing the reply is one whole answer, never the rest of a cut one, and the commands
// after it read their own.
TEST_F(Engine, AReplyCutByTheReplyTimeIsNeverHandedOverInPart)
{
    const std::string first = "150.2,2000,50.1,0.0045\r\n";
    const std::string second = "151.0,2001,50.2,0.0046\r\n";
    std::vector<int64_t> tails{2999, 3000, 3001, 3199, 3200, 3201};
    for (int64_t t = 2800; t <= 3600; t += 25) tails.push_back(t);
    for (const int64_t tailAt : tails) {
        SCOPED_TRACE(tailAt);
        FreshInOrderDevice();
        Connect();
        device->On("ENERGYDATA\r", {{100ms, "150.2,2000"}, {Millis(tailAt), ",50.1,0.0045\r\n"}}, 1);
        device->On("ENERGYDATA\r", {{100ms, second}}, 1);
        device->On("B\r", {{10ms, "B\r\n"}});
        device->On("C\r", {{10ms, "C\r\n"}});
        const std::string reply = Exchange("ENERGYDATA");
        EXPECT_FALSE(engine->mfLinkTimeOut) << "a whole reply with the time-out flag";
        if (tailAt < 3000) {
            EXPECT_EQ(reply, first);
        } else if (tailAt > 3000) {
            EXPECT_EQ(reply, second);
        } else {
            EXPECT_TRUE(reply == first || reply == second) << reply;
        }
        EXPECT_EQ(Exchange("B"), "B\r\n");
        EXPECT_EQ(Exchange("C"), "C\r\n");
        EXPECT_EQ(engine->LinkState(), lnkIdle);
        EXPECT_FALSE(engine->mfLinkTimeOut);
        EXPECT_EQ(engine->OwedAnswers(), 0);
    }
}

// An owed answer that has begun when its wait ends is dropped whole: its rest, arriving with
// the next command's answer, is no part of that reply.
TEST_F(Engine, TheRestOfAnOwedAnswerIsNotGluedToTheNextReply)
{
    FreshInOrderDevice();
    Connect();
    // A is answered only after its resend; the answer to the resend begins at 3400 and ends at
    // 6400, after B (written at 6200) has gone out.
    device->On("A\r", {{3300ms, "A1\r\n"}}, 1);
    device->On("A\r", {{200ms, "A"}, {3200ms, "2\r\n"}}, 1);
    device->On("B\r", {{10ms, "B\r\n"}});
    EXPECT_EQ(Exchange("A"), "A1\r\n");
    EXPECT_EQ(Exchange("B"), "B\r\n");
    EXPECT_EQ(WriteTimesSinceConnect(), (std::vector<int64_t>{0, 3200, 6200}));
    EXPECT_EQ(engine->OwedAnswers(), 0);
}

// An abort while the next command waits for an owed answer leaves it owed: when it comes, the
// command after is not given it as its reply.
TEST_F(Engine, AnAbortInTheOwedWaitLeavesTheAnswerOwed)
{
    FreshInOrderDevice();
    Connect();
    device->On("A\r", {{3300ms, "A1\r\n"}}, 1);
    device->On("A\r", {{1100ms, "A2\r\n"}}, 1);
    device->On("B\r", {{10ms, "B\r\n"}});
    device->On("C\r", {{10ms, "C\r\n"}});
    EXPECT_EQ(Exchange("A"), "A1\r\n");
    plat::Timer abort = plat::Loop().StartOneShot(500ms, [this] { AbortEngine(); });
    EXPECT_EQ(Exchange("B"), "");
    EXPECT_EQ(engine->OwedAnswers(), 1);
    EXPECT_EQ(Exchange("C"), "C\r\n");
    EXPECT_EQ(device->WrittenTexts(), (std::vector<std::string>{"A\r", "A\r", "C\r"}));
    EXPECT_EQ(WriteTimesSinceConnect(), (std::vector<int64_t>{0, 3200, 4300}));
}

// A refractory measurement that has not answered whole when its ask's reply time ends, or when
// an abort ends the ask, goes on: its answer, whole, is the reply of the next "PACEREFRACT"
// (which then writes nothing, or, when it has not begun yet, writes again). The rest of a
// begun answer is awaited a reply time before the ask is written again; once it is, a fragment
// is never the start of another answer: the rest of its line is dropped. The measurement's
// answer is no reply of another command.
TEST_F(Engine, ARunningMeasurementAnswersTheNextRefractoryAsk)
{
    using Pieces = std::vector<ScriptedDevice::Piece>;
    const struct {
        const char* name;
        Pieces answer;          // to the first ask, written at 0
        Millis abortAt;         // 0: none
        const char* next;       // the command after, written when the first has ended and 100 ms passed
        std::string reply;      // of that command
        std::vector<std::string> written;
    } cases[] = {
        {"answered after the reply time", {{3050ms, "250,300\r\n"}}, 0ms, "PACEREFRACT", "250,300\r\n", {"PACEREFRACT\r"}},
        {"answer straddles the reply time", {{2900ms, "250,"}, {3050ms, "300\r\n"}}, 0ms, "PACEREFRACT", "250,300\r\n",
         {"PACEREFRACT\r"}},
        {"answer ends after the next ask", {{2900ms, "250,"}, {3500ms, "300\r\n"}}, 0ms, "PACEREFRACT", "250,300\r\n",
         {"PACEREFRACT\r"}},
        {"ask ended by an abort", {{900ms, "250,"}, {3050ms, "300\r\n"}}, 1000ms, "PACEREFRACT", "250,300\r\n",
         {"PACEREFRACT\r"}},
        {"fragment cut for good", {{2900ms, "250,"}}, 0ms, "PACEREFRACT", "", {"PACEREFRACT\r", "PACEREFRACT\r"}},
        {"not begun, asked again", {{3150ms, "250,300\r\n"}}, 0ms, "PACEREFRACT", "250,300\r\n",
         {"PACEREFRACT\r", "PACEREFRACT\r"}},
        {"another command", {{2900ms, "250,"}, {3500ms, "300\r\n"}}, 0ms, "QDATA", "NODATA\r\n", {"PACEREFRACT\r", "QDATA\r"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FreshInOrderDevice();
        Connect();
        device->On("PACEREFRACT\r", c.answer, 1);
        device->On("QDATA\r", {{10ms, "NODATA\r\n"}});
        std::optional<plat::Timer> abort;
        if (c.abortAt > 0ms) abort = plat::Loop().StartOneShot(c.abortAt, [this] { AbortEngine(); });
        const std::string first = Exchange("PACEREFRACT");
        EXPECT_TRUE(first.empty()) << first;
        FastForwardBy(100ms);
        EXPECT_EQ(Exchange(c.next), c.reply);
        EXPECT_EQ(device->WrittenTexts(), c.written);
        EXPECT_EQ(engine->LinkState(), lnkIdle);
        EXPECT_FALSE(engine->mfLinkTimeOut);
        EXPECT_EQ(engine->MeasurementRunning(), c.abortAt == 0ms && c.answer.size() == 1 && c.reply.empty()) << "the rest of a fragment cut for good stays dropped";
    }
}

TEST_F(Engine, AbortAtAnyMomentLeavesEveryLaterReplyToItsCommand)
{
    // A's first answer stops short and never ends: the answer to its resend, at 3700, ends
    // that line and is no reply, and its third write, at 6400, gets none. An abort at any
    // moment of that writes nothing more for the exchange it ends, and whatever the line still
    // brings is never taken for a later command's reply.
    std::vector<int64_t> moments;
    for (int64_t t = 0; t <= 6750; t += 50) moments.push_back(t);
    moments.push_back(6705);
    for (const int64_t t : moments) {
        SCOPED_TRACE(t);
        FreshInOrderDevice();
        Connect();
        device->On("A\r", {{100ms, "A-"}}, 1);
        device->On("A\r", {{500ms, "A\r\n"}}, 1);
        for (const char* command : {"B", "C"}) {
            device->On(std::string(command) + "\r", {{10ms, std::string(command) + "\r\n"}});
        }
        plat::Timer abort = plat::Loop().StartOneShot(Millis(t), [this] { AbortEngine(); });
        const std::string replyA = Exchange("A");
        const std::string replyB = Exchange("B");
        EXPECT_TRUE(replyA.empty() || replyA == "A\r\n") << replyA;
        EXPECT_TRUE(replyB.empty() || replyB == "B\r\n") << replyB;
        EXPECT_EQ(Exchange("C"), "C\r\n");
        EXPECT_EQ(engine->LinkState(), lnkIdle);
        EXPECT_TRUE(engine->Form().Comm().PortOpen());
        EXPECT_FALSE(engine->Form().IsTimerRunning());
        EXPECT_FALSE(engine->mfLinkTimeOut);
        const auto times = WriteTimesSinceConnect();
        for (size_t i = 0; i < times.size(); ++i) {
            const std::string& written = device->writes[i].bytes;
            const bool aborted = (written == "A\r" && replyA.empty()) || (written == "B\r" && replyB.empty());
            if (aborted) {
                EXPECT_LE(times[i], t) << written << " written after the abort";
            }
        }
    }
}

TEST_F(Engine, AbortDuringConnectingFailingOrClosingFinishesTheClose)
{
    // While the connect check waits for its answer.
    MapDevice(1);
    engine->CommInit();
    plat::Timer abort = plat::Loop().StartOneShot(1000ms, [this] { AbortEngine(); });
    EXPECT_EQ(engine->CommOpenPort(1), 0);
    EXPECT_EQ(ElapsedMs(), 1000);
    EXPECT_EQ(engine->LinkState(), lnkClosed);
    EXPECT_FALSE(engine->Form().Comm().PortOpen());
    EXPECT_EQ(device->detaches, 1);

    bool aborted = false;
    auto abortNow = [&] {
        AbortEngine();
        aborted = true;
    };

    // Just after the check was answered: the stopped search leaves no port open.
    device->AnswerLinkCheck();
    engine->CommInit();
    const auto start = ElapsedMs();
    plat::Timer answered = plat::Loop().StartOneShot(110ms, [&] { WhenState(lnkIdle, abortNow); });
    EXPECT_EQ(engine->CommOpenPort(1), 0);
    EXPECT_TRUE(aborted);
    EXPECT_EQ(ElapsedMs() - start, 110);
    EXPECT_EQ(engine->LinkState(), lnkClosed);
    EXPECT_FALSE(engine->Form().Comm().PortOpen());

    // While the third time-out fails the exchange.
    Connect();
    aborted = false;
    plat::Timer failing = plat::Loop().StartOneShot(9400ms, [&] { WhenState(vti::lnkFailed, abortNow); });
    EXPECT_EQ(engine->CommSendCommand("QDATA"), lnkClosed);
    EXPECT_TRUE(aborted);
    EXPECT_EQ(SinceConnect(), 9400);
    EXPECT_FALSE(engine->Form().Comm().PortOpen());

    // While closing, and before a close asked for has begun.
    for (bool underWay : {true, false}) {
        SCOPED_TRACE(underWay ? "closing" : "close asked for");
        Connect();
        aborted = false;
        if (underWay) {
            WhenState(vti::lnkClosing, abortNow);
        } else {
            plat::Loop().Post(abortNow);
        }
        engine->CommClose();
        EXPECT_TRUE(aborted);
        EXPECT_EQ(engine->LinkState(), lnkClosed);
        EXPECT_FALSE(engine->Form().Comm().PortOpen());
    }
}

TEST_F(Engine, ASecondExchangeFromAPumpedMessageWritesNothing)
{
    Connect();
    device->On("OUTER\r", {}, 1);
    device->On("OUTER\r", {{10ms, "OK\r\n"}});
    int16_t nested = -1;
    plat::Timer inner = plat::Loop().StartOneShot(1000ms, [&] { nested = engine->CommSendCommand("INNER"); });
    EXPECT_EQ(Exchange("OUTER"), "OK\r\n");
    EXPECT_EQ(nested, vti::lnkAwaitingReply);
    EXPECT_EQ(device->WrittenTexts(), (std::vector<std::string>{"OUTER\r", "OUTER\r"}));
    EXPECT_EQ(engine->LastCommand(), "OUTER\r");
}

TEST_F(Engine, AWaitThatCanNeverEndFailsInsteadOfBeingIgnored)
{
    // Steps that run with errors ignored let through the one error that says the process can
    // never go on: here a wait, while the port of an unloaded form is closed, for something
    // that nothing scheduled can bring.
    Connect();
    engine->Form().Unload();
    device->onDetach = [] { plat::Loop().RunUntil([] { return false; }); };
    EXPECT_THROW(engine->Form(), plat::DeadlockError);
    device->onDetach = nullptr;
}

TEST_F(Engine, CloseFromIdleClosesThePort)
{
    Connect();
    engine->CommClose();
    EXPECT_EQ(engine->LinkState(), lnkClosed);
    EXPECT_EQ(engine->Port(), 0);
    EXPECT_EQ(device->detaches, 1);
    std::string reply = "<unset>";
    EXPECT_EQ(engine->CommGetReply(reply), lnkClosed);
    EXPECT_EQ(reply, "");
}

// Each reply is one whole line of its own command's answer, whatever the analyzer (answering
// in order) does around it: a measurement that outlasts the reply time, a refractory answer cut
// for good, a line beyond the bound whose tail comes after the resend, stray bytes while
// nothing is owed. Each row lists the commands sent in turn and the reply each must get.
TEST_F(Engine, EveryReplyIsItsOwnCommandsWholeAnswer)
{
    using Pieces = std::vector<ScriptedDevice::Piece>;
    const std::string refract = "0,0.250,0.300\r\n";
    const std::string energy = "150.0,1732,34.6\r\n";
    const std::string babble(70 * 1024, '1');
    struct Rule {
        std::string written;
        Pieces answer;
        int times;
    };
    struct Step {
        std::string command;
        std::string reply;
        Millis stopAt{0}; // an abort this long after the command is sent
    };
    const struct {
        std::string name;
        std::vector<Rule> rules;
        std::vector<Step> steps;
        size_t writes;
    } cases[] = {
        // The refractory answer cut for good after 3, 5 and 9 characters: the ask written
        // again drops the fragment's line with the answer it eats; the third ask reads a whole
        // answer, never the fragment glued to another.
        {"refractory cut after 3", {{"PACEREFRACT\r", {{500ms, "0,0"}}, 1}, {"PACEREFRACT\r", {{500ms, refract}}, -1}},
         {{"PACEREFRACT", ""}, {"PACEREFRACT", ""}, {"PACEREFRACT", refract}}, 3},
        {"refractory cut after 5", {{"PACEREFRACT\r", {{500ms, "0,0.2"}}, 1}, {"PACEREFRACT\r", {{500ms, refract}}, -1}},
         {{"PACEREFRACT", ""}, {"PACEREFRACT", ""}, {"PACEREFRACT", refract}}, 3},
        {"refractory cut after 9", {{"PACEREFRACT\r", {{500ms, "0,0.250,0"}}, 1}, {"PACEREFRACT\r", {{500ms, refract}}, -1}},
         {{"PACEREFRACT", ""}, {"PACEREFRACT", ""}, {"PACEREFRACT", refract}}, 3},
        // A measurement of 3.5 s: its answer is owed when the next command is written.
        {"measurement longer than the reply time",
         {{"PACEREFRACT\r", {{3500ms, refract}}, -1}, {"QDATA\r", {{10ms, "NODATA\r\n"}}, -1}, {"ENERGYDATA\r", {{10ms, energy}}, -1}},
         {{"PACEREFRACT", ""}, {"QDATA", "NODATA\r\n"}, {"ENERGYDATA", energy}, {"QDATA", "NODATA\r\n"}}, 4},
        // Cut at 2900 ms, its rest before the next ask: the whole answer, asked once.
        {"refractory answer straddling the reply time", {{"PACEREFRACT\r", {{2900ms, "0,0.2"}, {3050ms, "50,0.300\r\n"}}, 1}},
         {{"PACEREFRACT", ""}, {"PACEREFRACT", refract}}, 1},
        // The rest of a line dropped at a time-out lands before a refractory ask: no reply.
        {"rest of a dropped line before a refractory ask",
         {{"ENERGYDATA\r", {{2900ms, "0,0.2"}, {3150ms, "50,0.300\r\n"}}, 1}, {"ENERGYDATA\r", {{100ms, energy}}, -1},
          {"PACEREFRACT\r", {{500ms, refract}}, -1}},
         {{"ENERGYDATA", energy}, {"PACEREFRACT", refract}}, 3},
        // A fragment cut for good by a Stop leaves its line open; the rest that the next ask's
        // answer makes of it ends after that ask's reply time, and is never the reply of the
        // ask after, which writes and reads its own answer.
        {"rest of an open line across a refractory ask",
         {{"QDATA\r", {{100ms, "NOD"}}, 1},
          {"PACEREFRACT\r", {{2900ms, "0,0.250,0.300"}, {3100ms, "\r\n"}}, 1},
          {"PACEREFRACT\r", {{500ms, refract}}, -1}},
         {{"QDATA", "", 1000ms}, {"PACEREFRACT", ""}, {"PACEREFRACT", refract}}, 3},
        // A line beyond the bound whose tail comes after the resend: the tail is no reply.
        {"tail of an overlong line", {{"ECGDATA\r", {{10ms, babble}, {300ms, ",123\r\n"}}, 1}, {"ECGDATA\r", {{100ms, "OK\r\n"}}, -1}},
         {{"ECGDATA", "OK\r\n"}}, 2},
        // An analyzer that sends a prompt after each answer, and one with LF CR line ends
        // arriving apart: the next command is not charged for them.
        {"prompt after each answer", {{"QDATA\r", {{10ms, "NODATA\r\n>"}}, -1}},
         {{"QDATA", "NODATA\r\n"}, {"QDATA", "NODATA\r\n"}, {"QDATA", "NODATA\r\n"}}, 3},
        {"LF CR apart", {{"QDATA\r", {{10ms, "NODATA\n"}, {20ms, "\r"}}, -1}},
         {{"QDATA", "NODATA\n"}, {"QDATA", "NODATA\n"}}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FreshInOrderDevice();
        Connect();
        for (const auto& rule : c.rules) device->On(rule.written, rule.answer, rule.times);
        for (const auto& step : c.steps) {
            SCOPED_TRACE(step.command);
            std::optional<plat::Timer> stop;
            if (step.stopAt > 0ms) stop = plat::Loop().StartOneShot(step.stopAt, [this] { AbortEngine(); });
            EXPECT_EQ(Exchange(step.command), step.reply);
            EXPECT_FALSE(engine->mfLinkTimeOut);
            EXPECT_EQ(engine->LinkState(), lnkIdle);
            FastForwardBy(100ms);
        }
        EXPECT_EQ(device->writes.size(), c.writes);
    }
}

// Text that arrives while nothing is owed (a NUL, an XOFF, a prompt, a lone CR, a banner) is
// noise: the next command goes out at once, is written once and reads its own answer.
TEST_F(Engine, NoiseWhileNothingIsOwedCostsTheNextCommandNothing)
{
    for (const std::string& noise : {std::string(1, '\0'), std::string("\x13"), std::string(">"), std::string("\r"),
                                     std::string("READY\r\n")}) {
        SCOPED_TRACE(::testing::PrintToString(noise));
        FreshInOrderDevice();
        Connect();
        device->On("QDATA\r", {{10ms, "NODATA\r\n"}});
        device->SendLater(500ms, noise);
        FastForwardBy(1s);
        const auto start = SinceConnect();
        EXPECT_EQ(Exchange("QDATA"), "NODATA\r\n");
        EXPECT_EQ(SinceConnect() - start, 10);
        EXPECT_EQ(device->writes.size(), 1u);
    }
}

// A banner line during the link check runs the check again; the first check's late "OK" is
// owed like any write's answer: it answers the check, and the second "OK" is dropped, not taken
// for the first command's reply.
TEST_F(Engine, TheLinkChecksWritesAreWritesLikeAnyOther)
{
    for (const Millis late : {110ms, 150ms, 300ms}) {
        SCOPED_TRACE(late.count());
        FreshInOrderDevice();
        device->On("LOC\n\r", {{10ms, "HELLO\r\n"}, {late, "OK\r\n"}}, 1);
        device->On("LOC\n\r", {{late, "OK\r\n"}});
        device->On("QADAPTER\r", {{10ms, "1\r\n"}});
        MapDevice(1);
        engine->CommInit();
        ASSERT_EQ(engine->CommOpenPort(1), lnkIdle);
        EXPECT_EQ(Exchange("QADAPTER"), "1\r\n");
        EXPECT_EQ(Exchange("QADAPTER"), "1\r\n");
        engine->CommClose();
    }
}

// A whole reply that completes in the turn of a tick of its reply time is the reply, without the
// time-out flag: never a reply and a lost link at once. The tick is made to land in the same
// turn as the reply's last piece, as it may on the real clock.
TEST_F(Engine, AWholeReplyInTheTurnOfTheTickCarriesNoTimeOut)
{
    for (const int64_t ms : {100, 2990, 2999}) {
        SCOPED_TRACE(ms);
        Connect();
        device->On("ENERGYDATA\r", {{10ms, "150.0,"}}, 1);
        std::optional<plat::Timer> last;
        device->onWrite = [this, ms, &last](const std::string&) {
            if (last) return;
            last = plat::Loop().StartOneShot(Millis(ms), [this] {
                device->SendNow("1732,34.6\r\n");
                plat::Loop().Post([this] { engine->CommTimeoutElapsed(); });
            });
        };
        EXPECT_EQ(Exchange("ENERGYDATA"), "150.0,1732,34.6\r\n");
        EXPECT_FALSE(engine->mfLinkTimeOut);
        EXPECT_EQ(device->writes.size(), 1u);
        device->onWrite = nullptr;
    }
}

// A Stop that lands in the turn pumped just before the discard and the write: nothing is
// written (a refractory ask would start a measurement nobody asked for).
TEST_F(Engine, NothingIsWrittenOnceAStopHasCome)
{
    Connect();
    device->On("PACEREFRACT\r", {{500ms, "0,0.250,0.300\r\n"}});
    WhenState(vti::lnkSending, [this] { plat::Loop().Post([this] { AbortEngine(); }); });
    EXPECT_EQ(engine->CommSendCommand("PACEREFRACT"), lnkIdle);
    RunUntilIdle();
    EXPECT_TRUE(device->writes.empty()) << device->writes.front().bytes;
    EXPECT_EQ(engine->Reply(), "");
}

} // namespace
