// The simulated analyzer behind a serial port, in virtual time.
#include "simulator/Analyzer.h"

#include "platform/loop/EventLoop.h"
#include "platform/base/ComError.h"
#include "platform/serial/PortMap.h"
#include "platform/serial/SerialErrors.h"
#include "platform/serial/SerialPort.h"
#include "simulator/SimDevice.h"
#include "support/VirtualLoop.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;
using zsim::Fault;

class SimulatedAnalyzer : public ztesting::VirtualLoopTest {
protected:
    void SetUp() override
    {
        start = loop->Now();
        analyzer = std::make_shared<zsim::Analyzer>();
        zsim::SimDevice::Install(analyzer);
        plat::PortMap::SetOverride(1, "sim");
        port = std::make_unique<plat::SerialPort>();
        port->SetCommPort(1);
        port->SetPortOpen(true);
    }

    void TearDown() override
    {
        port.reset();
        zsim::SimDevice::Uninstall();
        plat::PortMap::ClearOverrides();
        analyzer.reset();
    }

    Millis Now() const { return std::chrono::duration_cast<Millis>(loop->Now() - start); }

    // Collects what arrives until a line end or the time is up, the way the link engine waits:
    // by pumping the loop with a timer running.
    std::string Collect(Millis timeout)
    {
        std::string collected;
        bool timedOut = false;
        plat::Timer timer = loop->StartOneShot(timeout, [&] { timedOut = true; });
        loop->RunUntil([&] {
            if (port->InBufferCount() > 0) collected += port->Input();
            return timedOut || collected.ends_with("\n");
        });
        return collected;
    }

    std::string Exchange(const std::string& command, Millis timeout = 3000ms)
    {
        port->SetInBufferCount(0);
        port->SetOutput(command);
        return Collect(timeout);
    }

    plat::EventLoop* loop = &TestLoop();
    plat::TimePoint start;
    std::shared_ptr<zsim::Analyzer> analyzer;
    std::unique_ptr<plat::SerialPort> port;
};

TEST_F(SimulatedAnalyzer, AnswersAfterItsReplyDelay)
{
    EXPECT_EQ(Exchange("LOC\n\r"), "OK\r\n");
    EXPECT_EQ(Now(), zsim::Analyzer::DefaultReplyDelay);
    ASSERT_EQ(analyzer->HeardLog().size(), 1u);
    EXPECT_EQ(analyzer->HeardLog()[0].command, "LOC");
    EXPECT_EQ(analyzer->HeardLog()[0].at, start);

    analyzer->SetReplyDelay(250ms);
    EXPECT_EQ(Exchange("ZERO\r"), "OK\r\n");
    EXPECT_EQ(Now(), 10ms + 250ms);
}

TEST_F(SimulatedAnalyzer, ReplyInPiecesArrivesAtItsTimes)
{
    analyzer->SetReplyDelay(0ms);
    analyzer->Faults().Add(Fault::Pieces(3, 100ms));
    port->SetOutput("LOC\r");
    std::vector<std::pair<Millis, std::string>> arrivals;
    loop->RunUntil([&] {
        if (port->InBufferCount() > 0) arrivals.emplace_back(Now(), port->Input());
        return arrivals.size() == 3;
    });
    EXPECT_EQ(arrivals, (std::vector<std::pair<Millis, std::string>>{{0ms, "O"}, {100ms, "K"}, {200ms, "\r\n"}}));
}

TEST_F(SimulatedAnalyzer, SilentAnalyzerLetsThreeTimeOutsPassInVirtualTime)
{
    analyzer->Faults().Add(Fault::Silence().Always());
    const auto wallStart = std::chrono::steady_clock::now();
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) {
            bool paused = false;
            plat::Timer pause = loop->StartOneShot(200ms, [&] { paused = true; });
            loop->RunUntil([&] { return paused; });
        }
        EXPECT_EQ(Exchange("ENERGYDATA\r"), "");
    }
    EXPECT_EQ(Now(), 3 * 3000ms + 2 * 200ms);
    EXPECT_LT(std::chrono::steady_clock::now() - wallStart, 1s);

    const auto& heard = analyzer->HeardLog();
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[1].at - start, 3200ms);
    EXPECT_EQ(heard[2].at - start, 6400ms);
    EXPECT_TRUE(heard[2].ignored);
    EXPECT_TRUE(analyzer->SentLog().empty());
}

TEST_F(SimulatedAnalyzer, InjectedRepliesAndBrokenLines)
{
    analyzer->Faults().Add(Fault::Partial(1).For("LOC"));
    EXPECT_EQ(Exchange("LOC\r"), "O");
    EXPECT_EQ(Now(), 3000ms);

    analyzer->Faults().Add(Fault::Garbage());
    EXPECT_EQ(Exchange("LOC\r"), zsim::LineNoise() + "\r\n");

    analyzer->Faults().Add(Fault::Error(7).For("ENERGYMODE"));
    EXPECT_EQ(Exchange("ENERGYMODE\r"), "ERR=07\r\n");
    // An injected answer stands instead of the command: the mode did not change.
    EXPECT_EQ(analyzer->Model().GetMode(), zsim::AnalyzerModel::Mode::None);

    const Millis before = Now();
    analyzer->Faults().Add(Fault::Delay(2500ms));
    EXPECT_EQ(Exchange("CARDIOMODE\r"), "OK\r\n");
    EXPECT_EQ(Now() - before, 2500ms);

    analyzer->Discharge(zsim::Pulse::Into50Ohm(100));
    analyzer->Faults().Add(Fault::NoSync().For("CARDIODATA"));
    EXPECT_EQ(Exchange("CARDIODATA\r"), "100.0,1414,28.3,NOSYNC\r\n");
    analyzer->Faults().Add(Fault::OverRange());
    EXPECT_EQ(Exchange("CARDIODATA\r"), "OVERRANGE\r\n");
}

TEST_F(SimulatedAnalyzer, RepliesKeepTheOrderOfTheirCommands)
{
    analyzer->Faults().Add(Fault::Delay(100ms).For("QDATA"));
    port->SetOutput("QDATA\rLOC\r");
    std::string all;
    loop->RunUntil([&] {
        if (port->InBufferCount() > 0) all += port->Input();
        return all.size() >= 12;
    });
    EXPECT_EQ(all, "NODATA\r\nOK\r\n");
    EXPECT_EQ(Now(), 100ms);
}

TEST_F(SimulatedAnalyzer, SpeedChangeTakesEffectOnceTheAnswerIsOut)
{
    analyzer->SetBaud(2400);
    port->SetSettings("2400,N,8,1");
    EXPECT_EQ(Exchange("BAUD=9600\n"), "OK\r\n");
    EXPECT_EQ(analyzer->Baud(), 9600);

    // Still at 2400, the port and the analyzer no longer understand each other.
    EXPECT_EQ(Exchange("LOC\n", 2000ms), "");
    port->SetSettings("9600,N,8,1");
    EXPECT_EQ(Exchange("LOC\n"), "OK\r\n");
    EXPECT_EQ(analyzer->Commands(), (std::vector<std::string>{"BAUD=9600", "LOC"}));
}

TEST_F(SimulatedAnalyzer, ProbeAtTheWrongSpeedIsNoiseAndThenTheRightSpeedAnswers)
{
    port->SetSettings("2400,N,8,1");
    EXPECT_EQ(Exchange("BAUD=9600\n", 2000ms), "");
    port->SetSettings("9600,N,8,1");
    EXPECT_EQ(Exchange("LOC\n"), "OK\r\n");

    // A reply that goes out while the port has changed speed arrives as noise.
    port->SetOutput("LOC\r");
    loop->RunPending();
    port->SetSettings("2400,N,8,1");
    const std::string noise = Collect(100ms);
    EXPECT_EQ(noise.size(), 4u);
    EXPECT_EQ(noise.find('\n'), std::string::npos);
}

TEST_F(SimulatedAnalyzer, DeviceUnderTestActsInTime)
{
    analyzer->SetReplyDelay(0ms);
    EXPECT_EQ(Exchange("MAXEMODE\r"), "OK\r\n");
    EXPECT_EQ(Exchange("MAXESTART\r"), "OK\r\n");
    bool charged = false;
    plat::Timer charge = loop->StartOneShot(4200ms, [&] {
        analyzer->Discharge(zsim::Pulse::Into50Ohm(200));
        charged = true;
    });
    loop->RunUntil([&] { return charged; });
    EXPECT_EQ(Exchange("QDATA\r"), "NEWDATA\r\n");
    EXPECT_EQ(Exchange("MAXEDATA\r"), "200.0,2000,40.0,4.20\r\n");

    analyzer->AttachPacemaker();
    analyzer->Model().SetRefractoryTime(4000ms);
    const Millis asked = Now();
    EXPECT_EQ(Exchange("PACEREFRACT\r"), "");
    EXPECT_EQ(Collect(2000ms), "0,0.250,0.300\r\n");
    EXPECT_EQ(Now() - asked, 4000ms);
}

// A repeated "PACEREFRACT" used to restart the running measurement; since the link asks again
// each time its reply time ends, a measurement longer than that never ended. Asked again while
// it runs, the measurement now goes on and its one answer goes out when it ends.
TEST_F(SimulatedAnalyzer, RepeatedRefractoryAskLeavesTheRunningMeasurement)
{
    analyzer->SetReplyDelay(0ms);
    analyzer->AttachPacemaker();
    analyzer->Model().SetRefractoryTime(4000ms);
    const Millis first = Now();
    EXPECT_EQ(Exchange("PACEREFRACT\r"), "");
    EXPECT_EQ(Now() - first, 3000ms);
    EXPECT_EQ(Exchange("PACEREFRACT\r", 5000ms), "0,0.250,0.300\r\n");
    EXPECT_EQ(Now() - first, 4000ms);
    // No second data line follows, and a command after it is answered at once.
    EXPECT_EQ(Exchange("LOC\r", 5000ms), "OK\r\n");
    EXPECT_EQ(Collect(6000ms), "");
    EXPECT_EQ(analyzer->SentLog().size(), 2u);
    // Once it has answered, the next ask starts a measurement of its own.
    const Millis next = Now();
    EXPECT_EQ(Exchange("PACEREFRACT\r", 5000ms), "0,0.250,0.300\r\n");
    EXPECT_EQ(Now() - next, 4000ms);

    // A command queued behind a measurement is answered after it, and the ask queued behind
    // that gets no answer of its own.
    analyzer->Model().SetRefractoryTime(500ms);
    analyzer->ClearLogs();
    port->SetOutput("PACEREFRACT\rLOC\rPACEREFRACT\r");
    std::string heard;
    for (int i = 0; i < 3; ++i) heard += Collect(5000ms);
    EXPECT_EQ(heard, "0,0.250,0.300\r\nOK\r\n");
}

TEST_F(SimulatedAnalyzer, RepliesDueWhileNoPortIsOpenAreLost)
{
    analyzer->SetReplyDelay(50ms);
    port->SetOutput("LOC\r");
    loop->RunPending();
    port->SetPortOpen(false);
    bool later = false;
    plat::Timer wait = loop->StartOneShot(100ms, [&] { later = true; });
    loop->RunUntil([&] { return later; });
    EXPECT_TRUE(analyzer->Idle());
    ASSERT_EQ(analyzer->SentLog().size(), 1u);

    port->SetPortOpen(true);
    EXPECT_EQ(port->InBufferCount(), 0u);
    EXPECT_EQ(Exchange("LOC\r"), "OK\r\n");
}

// A port that fails under a command: the device's I/O error comes out of the loop turn that
// delivered the command, nothing is answered, and the next command is answered again.
TEST_F(SimulatedAnalyzer, APortFailureRaisesTheDevicesErrorInTheExchange)
{
    analyzer->Faults().Add(Fault::PortFailure().For("QDATA"));
    port->SetOutput("QDATA\r");
    try {
        Collect(1000ms);
        ADD_FAILURE() << "no error";
    } catch (const plat::ComError& error) {
        EXPECT_EQ(error.Number(), plat::serr::DeviceUnavailable);
        EXPECT_TRUE(error.Ignorable());
    }
    EXPECT_TRUE(analyzer->SentLog().empty());
    ASSERT_EQ(analyzer->HeardLog().size(), 1u);
    EXPECT_TRUE(analyzer->HeardLog()[0].ignored);
    EXPECT_EQ(Exchange("QDATA\r"), "NODATA\r\n");
}


// Replies go out in the order of their commands and none before its time, wherever between two
// milliseconds the commands arrive. A command heard while a refractory measurement runs is
// queued behind the measurement's answer; on the real clock its arrival, and so the wait for
// that answer, is no whole number of milliseconds, while the loop's timers count whole ones.
// The sweep puts each of three commands at every quarter of a millisecond on the virtual clock:
// a queued reply whose wait were cut to whole milliseconds would fall due before the answer it
// waits for, and queued replies whose timers round up by different amounts fall due out of order.
TEST(SimulatedAnalyzerOrder, RepliesQueuedBehindAMeasurementKeepTheirOrderAndTimeAtAnyOffset)
{
    using Micros = std::chrono::microseconds;
    constexpr Millis kMeasurement{500};
    const std::vector<std::string> kCommands{"PACEREFRACT\r", "QDATA\r", "LOC\r"};
    const std::vector<std::string> kReplies{"0,0.250,0.300\r\n", "NODATA\r\n", "OK\r\n"};
    const std::vector<Millis> kArrivals{0ms, 100ms, 200ms};
    const std::vector<Micros> kOffsets{0us, 250us, 500us, 750us};
    for (Micros a : kOffsets) {
        for (Micros b : kOffsets) {
            for (Micros c : kOffsets) {
                SCOPED_TRACE(testing::Message() << "offsets " << a.count() << ", " << b.count() << ", " << c.count() << " us");
                ztesting::VirtualLoop virtualTime;
                plat::EventLoop& loop = virtualTime.TestLoop();
                const plat::TimePoint start = loop.Now();
                zsim::Analyzer analyzer;
                analyzer.AttachPacemaker();
                analyzer.Model().SetRefractoryTime(kMeasurement);

                // Nothing falls due before the last arrival, so the clock is moved straight there.
                const Micros offsets[] = {a, b, c};
                std::vector<plat::TimePoint> heard;
                for (size_t i = 0; i < kCommands.size(); ++i) {
                    heard.push_back(start + kArrivals[i] + offsets[i]);
                    loop.GetClock().AdvanceTo(heard.back());
                    analyzer.Receive(kCommands[i], std::nullopt);
                }
                virtualTime.FastForwardBy(1000ms);

                const auto& sent = analyzer.SentLog();
                ASSERT_EQ(sent.size(), kReplies.size());
                std::vector<std::string> bytes;
                for (const auto& piece : sent) bytes.push_back(piece.bytes);
                EXPECT_EQ(bytes, kReplies);
                // The measurement answers at its end, to the nanosecond; what waited behind it
                // follows within the millisecond the timers round up to, never before it.
                const plat::TimePoint answered = heard[0] + zsim::Analyzer::DefaultReplyDelay + kMeasurement;
                EXPECT_EQ(sent[0].at, answered);
                for (size_t i = 1; i < sent.size(); ++i) {
                    SCOPED_TRACE(kCommands[i]);
                    EXPECT_GE(sent[i].at, sent[i - 1].at);
                    EXPECT_GE(sent[i].at, answered);
                    EXPECT_LT(sent[i].at, answered + 1ms);
                }
            }
        }
    }
}

} // namespace
