// The instrument query in virtual time: its two probes against the simulated analyzer at
// either speed and against scripted answers, and the ports it does not touch.
#include "instrument/CZarvikQuery.h"

#include "LinkFixture.h"
#include "simulator/Analyzer.h"
#include "simulator/SimDevice.h"

#include <gtest/gtest.h>

namespace {

using namespace linktest;

const host::MlcQueryRecord kFound{"ZARVIK", "", "", 1};
const host::MlcQueryRecord kNotFound{};

class Query : public LinkTest {
protected:
    void SetUp() override
    {
        LinkTest::SetUp();
        query = std::make_shared<vti::CZarvikQuery>();
    }
    void TearDown() override
    {
        query.reset();
        zsim::SimDevice::Uninstall("querysim");
        LinkTest::TearDown();
    }

    std::shared_ptr<zsim::Analyzer> SimulatedAnalyzerOn(int port, int baud)
    {
        auto analyzer = std::make_shared<zsim::Analyzer>();
        analyzer->SetBaud(baud);
        simDevice = zsim::SimDevice::Install(analyzer, "querysim");
        plat::PortMap::SetOverride(port, "querysim");
        return analyzer;
    }

    std::shared_ptr<vti::CZarvikQuery> query;
    // The device of the analyzer SimulatedAnalyzerOn put on a port.
    std::shared_ptr<zsim::SimDevice> simDevice;
};

TEST_F(Query, AnalyzerAt2400TakesTheSpeedChange)
{
    auto analyzer = SimulatedAnalyzerOn(4, 2400);
    EXPECT_EQ(query->QueryMTI(4), kFound);
    EXPECT_EQ(analyzer->Commands(), std::vector<std::string>{"BAUD=9600"});
    EXPECT_EQ(analyzer->Baud(), 9600) << "the analyzer is left at the link's speed";
    EXPECT_LT(ElapsedMs(), 100);
    RunUntilIdle();

    // Now at 9600, it answers the second probe of the next query.
    analyzer->ClearLogs();
    EXPECT_EQ(query->QueryMTI(4), kFound);
    EXPECT_EQ(analyzer->Commands(), std::vector<std::string>{"LOC"});
    EXPECT_EQ(query->MtiType(), "");
    EXPECT_EQ(query->SerialNo(), "");
    EXPECT_EQ(query->FWVersion(), "");
}

TEST_F(Query, ProbesAndWhatTheyAccept)
{
    const struct {
        const char* name;
        std::vector<ScriptedDevice::Piece> baudAnswer;
        std::vector<ScriptedDevice::Piece> linkAnswer;
        host::MlcQueryRecord record;
        std::vector<std::string> written;
        int64_t takes;
    } cases[] = {
        {"OK to the speed change", {{10ms, "OK\r\n"}}, {}, kFound, {"BAUD=9600\n"}, 10},
        {"OK to the link command", {}, {{10ms, "OK\r\n"}}, kFound, {"BAUD=9600\n", "LOC\n"}, 2010},
        {"question mark", {}, {{10ms, "?\r\n"}}, kFound, {"BAUD=9600\n", "LOC\n"}, 2010},
        {"error, then OK", {{10ms, "ERR=01\r\n"}}, {{10ms, "OK\r\n"}}, kFound, {"BAUD=9600\n", "LOC\n"}, 20},
        // An answer without its line end is judged when the probe time is up.
        {"OK without line end", {}, {{10ms, "OK"}}, kFound, {"BAUD=9600\n", "LOC\n"}, 4000},
        {"another answer", {}, {{10ms, "XYZ\r\n"}}, kNotFound, {"BAUD=9600\n", "LOC\n"}, 2010},
        {"silence", {}, {}, kNotFound, {"BAUD=9600\n", "LOC\n"}, 4000},
        // A line that keeps talking without a line end is no answer, and ends the probe early.
        {"endless noise",
         {{10ms, std::string(40 * 1024, 'x')}, {20ms, std::string(40 * 1024, 'x')}},
         {{10ms, "OK\r\n"}},
         kFound,
         {"BAUD=9600\n", "LOC\n"},
         30},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        device = std::make_shared<ScriptedDevice>();
        device->On("BAUD=9600\n", c.baudAnswer);
        device->On("LOC\n", c.linkAnswer);
        MapDevice(2);
        const auto start = ElapsedMs();
        EXPECT_EQ(query->QueryMTI(2), c.record);
        EXPECT_EQ(ElapsedMs() - start, c.takes);
        EXPECT_EQ(device->WrittenTexts(), c.written);
        EXPECT_EQ(device->writes[0].settings.ToString(), "2400,N,8,1");
        if (device->writes.size() > 1) {
            EXPECT_EQ(device->writes[1].settings.ToString(), "9600,N,8,1");
        }
        EXPECT_EQ(device->detaches, 1) << "the port is closed again";
        FastForwardBy(100ms);
    }
    // The link command is the query's own: the engine of this process has never run.
    EXPECT_EQ(engine->msLinkCommand, "");
}

TEST_F(Query, ALineThatFailsUnderAProbeIsNotFoundAndItsPortCloses)
{
    const struct {
        const char* probe;
        int baud; // the analyzer hears only the probe sent at its speed
    } cases[] = {{"BAUD=9600", 2400}, {"LOC", 9600}};
    auto silent = PortDevice(4);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.probe);
        zsim::SimDevice::Uninstall("querysim");
        auto analyzer = SimulatedAnalyzerOn(3, c.baud);
        analyzer->Faults().Add(zsim::Fault::PortFailure().For(c.probe));
        host::MlcQueryRecord record{"?", "", "", 9};
        EXPECT_NO_THROW(record = query->QueryMTI(3));
        EXPECT_EQ(record, kNotFound);
        EXPECT_EQ(analyzer->Commands(), std::vector<std::string>{c.probe});
        EXPECT_FALSE(simDevice->IsAttached()) << "the port was left open";
        RunUntilIdle();

        // The next query probes the port it is asked about, not the one that failed.
        analyzer->ClearLogs();
        silent->writes.clear();
        EXPECT_EQ(query->QueryMTI(4), kNotFound);
        EXPECT_TRUE(analyzer->Commands().empty());
        EXPECT_EQ(silent->WrittenTexts(), (std::vector<std::string>{"BAUD=9600\n", "LOC\n"}));
        EXPECT_EQ(silent->detaches, silent->attaches);

        // Once the line works again the analyzer is found.
        EXPECT_EQ(query->QueryMTI(3), kFound);
        RunUntilIdle();
    }
}

TEST_F(Query, PortsThatLeadNowhereAreNotTouched)
{
    int opens = 0;
    plat::InProcessDevices::Register("counting", [&opens] {
        ++opens;
        return std::shared_ptr<plat::LinePeer>();
    });
    for (int port = 1; port <= 16; ++port) plat::PortMap::SetOverride(port, "");
    plat::PortMap::SetOverride(5, "counting");
    for (int32_t port : {0, -1, -32768, 40000, 3}) {
        SCOPED_TRACE(port);
        EXPECT_EQ(query->QueryMTI(port), kNotFound);
    }
    EXPECT_EQ(ElapsedMs(), 0);
    // A device that is mapped but not there is tried, and not found.
    EXPECT_EQ(query->QueryMTI(5), kNotFound);
    EXPECT_GT(opens, 0);
    EXPECT_EQ(ElapsedMs(), 0);
    plat::InProcessDevices::Unregister("counting");
}

TEST_F(Query, APortBeyondThePortNumbersOpensNoPort)
{
    // After a query of a port with an analyzer, a port number that does not fit a port must
    // not fall back to the port used last, nor open the port its low 16 bits name (65537 is
    // port 1 in 16 bits).
    auto analyzer = PortDevice(1);
    analyzer->On("BAUD=9600\n", {{10ms, "OK\r\n"}});
    ASSERT_EQ(query->QueryMTI(1), kFound);
    RunUntilIdle();
    opens.clear();
    analyzer->writes.clear();
    for (int32_t port : {65537, 32768, 40000, -1, 65538, 2147483647}) {
        SCOPED_TRACE(port);
        EXPECT_EQ(query->QueryMTI(port), kNotFound);
        RunUntilIdle();
        EXPECT_TRUE(opens.empty()) << "opened port " << opens.front();
        EXPECT_TRUE(analyzer->writes.empty());
    }
    EXPECT_EQ(ElapsedMs(), 10);
}

} // namespace
