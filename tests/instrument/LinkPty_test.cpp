// The instrument over the real termios backend, against the simulated analyzer on a
// pseudo-terminal, in real time. Each test is bounded by the link's own time-outs; a resend is
// tested in virtual time (CZarvikVTi_test, MComm_test) and through zarvik-host (LinkCommands_test);
// the refractory measurement, which outlasts the reply time by design, is tested here once, and a
// reply split around the reply time at three timings (each test in a process of its own).
#include "LinkFixture.h"
#include "host/units/HostMtiSettings.h"
#include "host/units/HostVersionCheck.h"
#include "instrument/CZarvikQuery.h"
#include "instrument/CZarvikVTi.h"
#include "instrument/ZarvikModule.h"
#include "simulator/Analyzer.h"
#include "simulator/PtyServer.h"

#include <gtest/gtest.h>

namespace {

using namespace linktest;
using Clock = std::chrono::steady_clock;

class LinkOnPty : public ::testing::Test {
protected:
    static constexpr int Port = 31;

    void SetUp() override
    {
        plat::SetLoop(std::make_shared<plat::EventLoop>(plat::MakeSystemClock()));
        mPreviousEngine = vti::MComm::SetProcess(std::make_shared<vti::MComm>());
        host::HostVersionCheck::SetHostVersion(std::nullopt);
        analyzer = std::make_shared<zsim::Analyzer>();
        analyzer->SetReplyDelay(1ms);
        server = std::make_unique<zsim::PtyServer>(analyzer);
        plat::PortMap::SetOverride(Port, server->SlavePath());
        host::HostMtiSettings::SetPortOverride(zarvik::ModuleKey, Port);
        instrument = std::make_shared<vti::CZarvikVTi>();
        mStart = Clock::now();
    }

    void TearDown() override
    {
        instrument.reset();
        vti::MComm::SetProcess(mPreviousEngine);
        server.reset();
        analyzer.reset();
        host::HostMtiSettings::ClearPortOverrides();
        plat::PortMap::ClearOverrides();
        plat::SetLoop(nullptr);
    }

    int64_t ElapsedMs() const
    {
        return std::chrono::duration_cast<Millis>(Clock::now() - mStart).count();
    }

    TempRegistry registry;
    MessageBoxCapture boxes;
    std::shared_ptr<zsim::Analyzer> analyzer;
    std::unique_ptr<zsim::PtyServer> server;
    std::shared_ptr<vti::CZarvikVTi> instrument;

private:
    std::shared_ptr<vti::MComm> mPreviousEngine;
    Clock::time_point mStart;
};

TEST_F(LinkOnPty, ConnectsExchangesAndReleases)
{
    instrument->OpenChannel();
    ASSERT_EQ(instrument->State(), vti::evtiIdle);
    EXPECT_EQ(instrument->SendCommand("ENERGYMODE").AsString(), "OK\r\n");

    analyzer->Discharge(zsim::Pulse::Into50Ohm(150));
    analyzer->Faults().Add(zsim::Fault::Pieces(3, 30ms));
    EXPECT_EQ(instrument->SendCommand("ENERGYDATA").AsString(), "150.0,1732,34.6,0.0050\r\n");
    instrument->CloseChannel();

    EXPECT_EQ(analyzer->Commands(), (std::vector<std::string>{"LOC", "ENERGYMODE", "ENERGYDATA", "LOC"}));
    EXPECT_FALSE(instrument->mfTimeOut());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_LT(ElapsedMs(), 2000);
}

TEST_F(LinkOnPty, RefractoryMeasurementLongerThanTheReplyTime)
{
    // The one case the reply time's end is no failure for: the first ask comes back empty, the
    // measurement goes on, and the ask after it gets its answer.
    analyzer->AttachPacemaker();
    analyzer->Model().SetRefractoryTime(3500ms);
    instrument->OpenChannel();
    ASSERT_EQ(instrument->State(), vti::evtiIdle);
    EXPECT_EQ(instrument->SendCommand("PACEREFRACT").AsString(), "");
    EXPECT_EQ(instrument->SendCommand("PACEREFRACT").AsString(), "0,0.250,0.300\r\n");
    instrument->CloseChannel();
    EXPECT_EQ(analyzer->Commands(), (std::vector<std::string>{"LOC", "PACEREFRACT", "PACEREFRACT", "LOC"}));
    EXPECT_FALSE(instrument->mfTimeOut());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_LT(ElapsedMs(), 5000);
}

// The analyzer's answer to ENERGYDATA is cut: its first half comes at 100 ms, its second half at
// a time around the reply time (the resend goes out at 3200). Whatever the timing, the reply is
// one whole answer, and the next command reads its own.
class SplitReplyOnPty : public LinkOnPty, public ::testing::WithParamInterface<int> {};

TEST_P(SplitReplyOnPty, TheReplyIsWholeAndTheNextCommandReadsItsOwn)
{
    const int secondHalfAt = GetParam();
    analyzer->SetReplyDelay(100ms);
    instrument->OpenChannel();
    ASSERT_EQ(instrument->State(), vti::evtiIdle);
    EXPECT_EQ(instrument->SendCommand("ENERGYMODE").AsString(), "OK\r\n");
    analyzer->Discharge(zsim::Pulse::Into50Ohm(150));
    analyzer->Faults().Add(zsim::Fault::Pieces(2, Millis(secondHalfAt - 100)).For("ENERGYDATA"));
    EXPECT_EQ(instrument->SendCommand("ENERGYDATA").AsString(), "150.0,1732,34.6,0.0050\r\n");
    EXPECT_EQ(instrument->SendCommand("ENERGYMODE").AsString(), "OK\r\n");
    instrument->CloseChannel();
    const bool resent = secondHalfAt > 3000;
    EXPECT_EQ(analyzer->Commands().size(), resent ? 6u : 5u) << ::testing::PrintToString(analyzer->Commands());
    EXPECT_FALSE(instrument->mfTimeOut());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_LT(ElapsedMs(), 5000);
}

INSTANTIATE_TEST_SUITE_P(Timings, SplitReplyOnPty, ::testing::Values(2900, 3100, 3300),
                         [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "ms"; });

TEST_F(LinkOnPty, QuerySwitchesTheAnalyzerTo9600)
{
    analyzer->SetBaud(2400);
    vti::CZarvikQuery query;
    EXPECT_EQ(query.QueryMTI(Port), (host::MlcQueryRecord{"ZARVIK", "", "", 1}));
    EXPECT_EQ(analyzer->Commands(), std::vector<std::string>{"BAUD=9600"});
    EXPECT_EQ(analyzer->Baud(), 9600);

    // The link then finds it at its own speed.
    instrument->OpenChannel();
    EXPECT_EQ(instrument->State(), vti::evtiIdle);
    instrument->CloseChannel();
    EXPECT_LT(ElapsedMs(), 2000);
}

TEST_F(LinkOnPty, PortWithoutADevice)
{
    plat::PortMap::SetOverride(Port, "/dev/zarvik-no-such-device");
    vti::CZarvikQuery query;
    EXPECT_EQ(query.QueryMTI(Port), host::MlcQueryRecord{});
    try {
        instrument->OpenChannel();
        ADD_FAILURE() << "no error";
    } catch (const plat::ComError& error) {
        EXPECT_EQ(error.Number(), vti::eeVTI_Error);
    }
    EXPECT_EQ(instrument->State(), vti::evtiNotConnected);
    EXPECT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_LT(ElapsedMs(), 1000);
}

} // namespace
