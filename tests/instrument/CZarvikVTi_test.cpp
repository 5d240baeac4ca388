// The virtual test instrument in virtual time: the port search, the operator's messages, the
// exchanges as a test element sees them, the release, waiting and aborting.
#include "instrument/CZarvikVTi.h"

#include "LinkFixture.h"
#include "host/documents/HostErrorRaiser.h"
#include "host/units/HostMtiSettings.h"
#include "host/documents/HostTranslator.h"
#include "host/units/HostVersionCheck.h"
#include "host/interfaces/ITelvoMLCQuery.h"
#include "instrument/CZarvikQuery.h"
#include "platform/com/ComRuntime.h"
#include "simulator/Analyzer.h"
#include "simulator/SimDevice.h"
#include "support/Errors.h"

#include <gtest/gtest.h>

#include <optional>

#include <fstream>

namespace {

using namespace linktest;
using vti::EVtiState;

const std::string kNoMti =
    "No MTI was found connected. Check that your ZARVIK is connected and that it has been powered on.";

class Instrument : public LinkTest {
protected:
    void SetUp() override
    {
        LinkTest::SetUp();
        host::HostVersionCheck::SetHostVersion(std::nullopt);
        host::HostMtiSettings::ClearPortOverrides();
        instrument = std::make_shared<vti::CZarvikVTi>();
    }
    void TearDown() override
    {
        instrument.reset();
        host::HostMtiSettings::ClearPortOverrides();
        host::HostVersionCheck::SetHostVersion(std::nullopt);
        LinkTest::TearDown();
    }

    void ConfigurePort(int32_t port) { host::HostMtiSettings::SetPortOverride("ZARVIK", port); }

    // The error OpenChannel raised, 0 for none.
    int32_t OpenChannel() { return ztesting::ErrorNumberOf([this] { instrument->OpenChannel(); }); }

    // Opens the channel on port 1, whose analyzer answers the link check, and forgets the check.
    void Open()
    {
        ConfigurePort(1);
        MapDevice(1);
        device->AnswerLinkCheck();
        ASSERT_EQ(OpenChannel(), 0);
        ASSERT_EQ(instrument->State(), vti::evtiIdle);
        RunUntilIdle();
        device->writes.clear();
        mOpenedAt = ElapsedMs();
    }
    int64_t SinceOpen() const { return ElapsedMs() - mOpenedAt; }
    std::vector<int64_t> WriteTimesSinceOpen() const
    {
        std::vector<int64_t> times;
        for (const auto& w : device->writes) times.push_back(w.atMs - mOpenedAt);
        return times;
    }

    std::vector<std::string> BoxTexts()
    {
        std::vector<std::string> texts;
        for (const auto& box : boxes.Boxes()) texts.push_back(box.prompt);
        return texts;
    }

    MessageBoxCapture boxes;
    host::HostErrorRaiser::ReportCapture reports;
    std::shared_ptr<vti::CZarvikVTi> instrument;

private:
    int64_t mOpenedAt = 0;
};

TEST_F(Instrument, OpensOnlyTheConfiguredPort)
{
    PortDevice(1, false);
    PortDevice(2, false);
    PortDevice(3)->AnswerLinkCheck();
    ConfigurePort(3);
    EXPECT_EQ(OpenChannel(), 0);
    EXPECT_EQ(instrument->State(), vti::evtiIdle);
    EXPECT_FALSE(instrument->mfTimeOut());
    EXPECT_EQ(opens, (std::vector<int>{3}));
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(Instrument, ConfiguredPortWithoutAnAnalyzer)
{
    enum class Port { Silent, Absent, Unmapped };
    const struct {
        const char* name;
        Port port3;
        int32_t port;
        bool message;
    } cases[] = {
        {"silent analyzer", Port::Silent, 3, true},
        {"device not there", Port::Absent, 3, true},
        {"port mapped to no device", Port::Unmapped, 3, true},
        {"port number no port has", Port::Unmapped, 40000, true},
        // No port configured: nothing is tried and nothing is said.
        {"no port", Port::Unmapped, 0, false},
        {"negative port", Port::Unmapped, -2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.Boxes().clear();
        opens.clear();
        plat::PortMap::SetOverride(3, "");
        if (c.port3 != Port::Unmapped) PortDevice(3, c.port3 == Port::Silent);
        ConfigurePort(c.port);
        EXPECT_EQ(OpenChannel(), vti::eeVTI_Error);
        EXPECT_EQ(instrument->State(), vti::evtiNotConnected);
        EXPECT_EQ(BoxTexts(), c.message ? std::vector<std::string>{kNoMti} : std::vector<std::string>{});
        if (c.message) {
            EXPECT_EQ(boxes.Boxes()[0].style, plat::vbExclamation);
            EXPECT_EQ(boxes.Boxes()[0].title, vti::CZarvikVTi::AppTitle);
        }
        EXPECT_TRUE(c.port == 3 || opens.empty());
        EXPECT_FALSE(engine->Form().Comm().PortOpen());
        EXPECT_TRUE(reports.Reports().empty());
    }
}

TEST_F(Instrument, OlderHostSearchesThePortsInOrder)
{
    for (const char* version : {"2.1.1", ""}) {
        SCOPED_TRACE(version[0] ? "older host" : "no version check");
        host::HostVersionCheck::SetHostVersion(version);
        opens.clear();
        ConfigurePort(7); // an older host keeps no port: the setting is not read
        for (int port = 1; port <= 4; ++port) PortDevice(port, false);
        PortDevice(5)->AnswerLinkCheck();
        PortDevice(6)->AnswerLinkCheck();
        EXPECT_EQ(OpenChannel(), 0);
        EXPECT_EQ(instrument->State(), vti::evtiIdle);
        EXPECT_EQ(engine->Port(), 5);
        EXPECT_EQ(opens, (std::vector<int>{1, 2, 3, 4, 5}));
        instrument->CloseChannel();
    }
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(Instrument, SearchWithoutAnAnalyzerTriesSixteenPorts)
{
    host::HostVersionCheck::SetHostVersion("1.0");
    std::vector<int> all;
    for (int port = 1; port <= 17; ++port) {
        PortDevice(port, false);
        if (port <= 16) all.push_back(port);
    }
    EXPECT_EQ(OpenChannel(), vti::eeVTI_Error);
    EXPECT_EQ(instrument->State(), vti::evtiNotConnected);
    EXPECT_EQ(opens, all);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNoMti});
}

TEST_F(Instrument, AbortStopsThePortSearchQuietly)
{
    host::HostVersionCheck::SetHostVersion("2.0");
    for (int port = 1; port <= 16; ++port) PortDevice(port); // present, but silent
    plat::Timer abort = plat::Loop().StartOneShot(3000ms, [this] { instrument->Abort(); });
    EXPECT_EQ(OpenChannel(), vti::eeVTI_Error);
    EXPECT_EQ(ElapsedMs(), 3000);
    EXPECT_EQ(instrument->State(), vti::evtiNotConnected);
    EXPECT_EQ(opens, (std::vector<int>{1, 2}));
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_FALSE(engine->Form().Comm().PortOpen());
}

TEST_F(Instrument, UnexpectedErrorWhileOpeningIsReportedNotRaised)
{
    const std::string corrupt = "/tmp/zarvik-link-corrupt-" + std::to_string(::getpid());
    std::ofstream(corrupt) << "not a registry";
    plat::SetRegistryPath(corrupt);
    EXPECT_EQ(OpenChannel(), 0);
    EXPECT_EQ(instrument->State(), vti::evtiNotConnected);
    ASSERT_EQ(reports.Reports().size(), 1u);
    EXPECT_EQ(reports.Reports()[0].reportedBy, vti::CZarvikVTi::ErrorSource);
    EXPECT_TRUE(boxes.Boxes().empty());
    std::remove(corrupt.c_str());
}

TEST_F(Instrument, SendCommandReturnsTheReplyWithItsLineEnd)
{
    Open();
    device->On("ENERGYMODE\r", {{10ms, "OK\r\n"}});
    device->On("DEFRANGE=HIGH\r", {{10ms, "ERR=03\r\n"}});
    EVtiState during = vti::evtiNotConnected;
    device->onWrite = [&](const std::string&) { during = instrument->State(); };

    plat::Variant reply = instrument->SendCommand("ENERGYMODE");
    EXPECT_EQ(reply.Type(), plat::VarType::String);
    EXPECT_EQ(reply.AsString(), "OK\r\n");
    EXPECT_EQ(during, vti::evtiTransmitting);
    EXPECT_EQ(instrument->State(), vti::evtiIdle);
    EXPECT_EQ(instrument->GetResults(), "OK\r\n");

    // An error answer is a reply like any other: the caller judges it.
    EXPECT_EQ(instrument->SendCommand("DEFRANGE=HIGH").AsString(), "ERR=03\r\n");
    EXPECT_FALSE(instrument->mfTimeOut());
    EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(Instrument, LostLinkIsReportedOncePerCommand)
{
    Open();
    EXPECT_EQ(instrument->SendCommand("QDATA").AsString(), "");
    EXPECT_EQ(SinceOpen(), 9400);
    EXPECT_TRUE(instrument->mfTimeOut());
    EXPECT_EQ(instrument->State(), vti::evtiIdle);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{kNoMti});
    EXPECT_FALSE(engine->Form().Comm().PortOpen());

    // Until the channel is opened again every command fails the same way, without writing.
    EXPECT_EQ(instrument->SendCommand("QDATA").AsString(), "");
    EXPECT_EQ(boxes.Boxes().size(), 2u);
    EXPECT_EQ(device->writes.size(), 3u);

    // The release is skipped: the link is gone.
    instrument->CloseChannel();
    EXPECT_EQ(device->writes.size(), 3u);
    EXPECT_EQ(engine->LinkState(), vti::lnkClosed);
}

// A reply whose last piece lands in the turn of a tick of the reply time (as it may on the real
// clock) is the command's reply: no "No MTI" box, no lost link, one write.
TEST_F(Instrument, AReplyInTheTurnOfTheTickIsNoLostLink)
{
    for (const char* command : {"ENERGYDATA", "PACEPDATA"}) {
        SCOPED_TRACE(command);
        Open();
        device->On(std::string(command) + "\r", {{10ms, "150.0,"}}, 1);
        std::optional<plat::Timer> last;
        device->onWrite = [this, &last](const std::string&) {
            if (last) return;
            last = plat::Loop().StartOneShot(2999ms, [this] {
                device->SendNow("1732,34.6\r\n");
                plat::Loop().Post([this] { engine->CommTimeoutElapsed(); });
            });
        };
        EXPECT_EQ(instrument->SendCommand(command).AsString(), "150.0,1732,34.6\r\n");
        EXPECT_FALSE(instrument->mfTimeOut());
        EXPECT_TRUE(boxes.Boxes().empty()) << ::testing::PrintToString(BoxTexts());
        EXPECT_EQ(device->writes.size(), 1u);
        device->onWrite = nullptr;
        instrument->CloseChannel();
    }
}

TEST_F(Instrument, CommandsWhoseSilenceIsNoLostLink)
{
    const struct {
        const char* command;
        bool ignoreErrors;
        int64_t takes;
    } cases[] = {
        {"ZERO", false, 9400},
        {"QDATA", true, 9400},
        {"PACEREFRACT", false, 3000}, // the reply time ends the measurement: no resend
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        Open();
        const auto start = ElapsedMs();
        EXPECT_EQ(instrument->SendCommand(c.command, c.ignoreErrors).AsString(), "");
        EXPECT_EQ(ElapsedMs() - start, c.takes);
        EXPECT_FALSE(instrument->mfTimeOut());
        EXPECT_TRUE(boxes.Boxes().empty());
        // The release goes out only on a link that is still there.
        const bool linkUp = engine->LinkState() == vti::lnkIdle;
        device->writes.clear();
        const auto beforeClose = ElapsedMs();
        instrument->CloseChannel();
        EXPECT_EQ(device->WrittenTexts(), linkUp ? std::vector<std::string>{"LOC\r"} : std::vector<std::string>{});
        EXPECT_EQ(ElapsedMs() - beforeClose, linkUp ? 1050 : 0) << "no release is awaited on a closed port";
    }
}

TEST_F(Instrument, AbortEndsAnExchangeWithoutAReply)
{
    Open();
    plat::Timer abort = plat::Loop().StartOneShot(4000ms, [this] { instrument->Abort(); });
    plat::Variant reply = instrument->SendCommand("QDATA");
    EXPECT_TRUE(reply.IsEmpty());
    EXPECT_EQ(SinceOpen(), 4000);
    EXPECT_EQ(instrument->State(), vti::evtiIdle);
    EXPECT_FALSE(instrument->mfTimeOut());
    EXPECT_TRUE(boxes.Boxes().empty());
    EXPECT_EQ(engine->LinkState(), vti::lnkIdle);

    // Waits return at once until the next command...
    auto before = ElapsedMs();
    instrument->Wait(250);
    EXPECT_EQ(ElapsedMs(), before);
    // ...which clears the abort and gets its full allowance.
    device->On("QDATA\r", {{10ms, "NODATA\r\n"}});
    EXPECT_EQ(instrument->SendCommand("QDATA").AsString(), "NODATA\r\n");
    before = ElapsedMs();
    instrument->Wait(250);
    EXPECT_EQ(ElapsedMs() - before, 250);
}

TEST_F(Instrument, WaitEndsAtItsTimeOrAtAbort)
{
    instrument->Wait(250);
    EXPECT_EQ(ElapsedMs(), 250);
    plat::Timer abort = plat::Loop().StartOneShot(100ms, [this] { instrument->Abort(); });
    instrument->Wait(1000);
    EXPECT_EQ(ElapsedMs(), 350);
    // Durations no caller uses still return.
    OpenChannel(); // clears the abort
    for (int32_t time : {0, -5}) {
        const auto before = ElapsedMs();
        instrument->Wait(time);
        EXPECT_EQ(ElapsedMs(), before);
    }
}

TEST_F(Instrument, CloseChannelReleasesTheAnalyzer)
{
    const struct {
        const char* name;
        std::vector<ScriptedDevice::Piece> answer;
        int64_t closedAt;
    } cases[] = {
        {"answered", {{10ms, "OK\r\n"}}, 60},
        {"silent", {}, 1050},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Open();
        device->On("LOC\r", c.answer, 1);
        instrument->CloseChannel();
        EXPECT_EQ(device->WrittenTexts(), std::vector<std::string>{"LOC\r"});
        EXPECT_EQ(WriteTimesSinceOpen(), (std::vector<int64_t>{50}));
        EXPECT_EQ(SinceOpen(), c.closedAt);
        EXPECT_EQ(engine->LinkState(), vti::lnkClosed);
        EXPECT_FALSE(engine->Form().Comm().PortOpen());
        EXPECT_EQ(instrument->State(), vti::evtiIdle) << "closing leaves the state of the last operation";
    }
}

TEST_F(Instrument, UnexpectedErrorDuringACommandLeavesTheStateOfTheLink)
{
    // A translator that fails turns the lost-link message into an unexpected error.
    class FailingTranslator : public host::HostTranslator {
    protected:
        std::optional<std::string> LookUp(const std::string&, const std::string&) const override
        {
            throw plat::ComError(plat::rt::OutOfMemory, "Translator", "Out of memory");
        }
    };
    auto previous = host::HostTranslator::SetProcess(std::make_shared<FailingTranslator>());
    Open();
    try {
        instrument->SendCommand("QDATA");
        ADD_FAILURE() << "no error";
    } catch (const plat::ComError& error) {
        EXPECT_EQ(error.Number(), vti::eeVTI_Error);
        EXPECT_EQ(error.Source(), vti::CZarvikVTi::ErrorSource);
    }
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Error #7\r\nOut of memory"});
    EXPECT_EQ(instrument->State(), vti::evtiNotConnected) << "the link is closed, not transmitting";
    host::HostTranslator::SetProcess(previous);
}

TEST_F(Instrument, CommandFromAHandlerDuringAnExchangeWritesNothing)
{
    Open();
    device->On("QDATA\r", {{500ms, "NODATA\r\n"}});
    plat::Variant nested;
    plat::Timer inner = plat::Loop().StartOneShot(100ms, [&] { nested = instrument->SendCommand("ZERO"); });
    EXPECT_EQ(instrument->SendCommand("QDATA").AsString(), "NODATA\r\n");
    EXPECT_EQ(nested.AsString(), "");
    EXPECT_EQ(device->WrittenTexts(), std::vector<std::string>{"QDATA\r"});
}

TEST_F(Instrument, OpeningAgainResetsTheSharedEngine)
{
    Open();
    auto other = std::make_shared<vti::CZarvikVTi>();
    EXPECT_EQ(instrument->SendCommand("QDATA").AsString(), "");
    EXPECT_TRUE(instrument->mfTimeOut());
    // Another instance opens the channel anew; the first one now talks over it too.
    device->On("QDATA\r", {{10ms, "NODATA\r\n"}});
    other->OpenChannel();
    EXPECT_EQ(other->State(), vti::evtiIdle);
    EXPECT_EQ(instrument->SendCommand("QDATA").AsString(), "NODATA\r\n");
    EXPECT_FALSE(instrument->mfTimeOut());
}

TEST(InstrumentClasses, AreCreatedThroughTheComponentRuntime)
{
    TempRegistry registry;
    plat::RegisterServerLibrary(ZARVIK_LIBRARY_DIR "/libtelvoZarvikVti.so");
    for (const char* name : {vti::CLSID_CZarvikVTi, vti::ProgID_CZarvikVTi}) {
        SCOPED_TRACE(name);
        auto instrument = plat::CreateObjectAs<vti::IZarvikVTi>(name);
        ASSERT_TRUE(instrument);
        EXPECT_EQ(instrument->State(), vti::evtiNotConnected);
        EXPECT_FALSE(instrument->mfTimeOut());
        instrument->SetmfTimeOut(true);
        EXPECT_TRUE(instrument->mfTimeOut());
    }
    for (const char* name : {vti::CLSID_CZarvikQuery, vti::ProgID_CZarvikQuery}) {
        SCOPED_TRACE(name);
        auto query = plat::CreateObjectAs<host::ITelvoMLCQuery>(name);
        ASSERT_TRUE(query);
        EXPECT_EQ(query->MtiType(), "");
    }
}

TEST_F(Instrument, ResendsToTheSimulatedAnalyzerAfterOneSilence)
{
    auto analyzer = std::make_shared<zsim::Analyzer>();
    analyzer->SetReplyDelay(1ms);
    zsim::SimDevice::Install(analyzer, "vtisim");
    plat::PortMap::SetOverride(2, "vtisim");
    ConfigurePort(2);
    ASSERT_EQ(OpenChannel(), 0);
    ASSERT_EQ(instrument->State(), vti::evtiIdle);

    // The first QDATA gets no answer: after the reply time and the pause it goes out again.
    analyzer->Faults().Add(zsim::Fault::Silence().For("QDATA"));
    const auto before = ElapsedMs();
    EXPECT_EQ(instrument->SendCommand("QDATA").AsString(), "NODATA\r\n");
    EXPECT_GE(ElapsedMs() - before, 3200);
    EXPECT_LT(ElapsedMs() - before, 3300);
    EXPECT_EQ(analyzer->Commands(), (std::vector<std::string>{"LOC", "QDATA", "QDATA"}));
    EXPECT_FALSE(instrument->mfTimeOut());
    EXPECT_TRUE(boxes.Boxes().empty());
    instrument->CloseChannel();
    zsim::SimDevice::Uninstall("vtisim");
}

} // namespace
