// The ECG R-wave and the three wave hold tests run in the window with the operator against the
// simulated analyzer, in virtual time.
#include "host/elements/HostTestElement.h"
#include "host/interfaces/ILimitData.h"
#include "host/interfaces/IMeasurement.h"
#include "tests/testlib/elements/SimulationFixture.h"
#include "testlib/config/CConfigArr.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/config/CConfigNSW.h"
#include "testlib/config/CConfigPerf.h"
#include "testlib/elements/CTestArr.h"
#include "testlib/elements/CTestEcg.h"
#include "testlib/elements/CTestNSW.h"
#include "testlib/elements/CTestPerf.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using zsim::Fault;
namespace button = zop::button;

constexpr const char* kUnexpected = "Unexpected response from MTI.";

template <class Config>
std::shared_ptr<Config> SettingsOf(const std::shared_ptr<host::ITestElement>& element)
{
    return std::dynamic_pointer_cast<Config>(element->Configuration());
}

// The operator who never judges: only the shared habits (start, and Next when done).
void NoVerdict(zop::Operator&) {}

class WaveHoldTests : public ztesting::SimulationFixture {
protected:
    int32_t Status(const std::shared_ptr<host::ITestElement>& element) { return element->Result()->Status(); }
    // Virtual times (ms since the bench began) at which the analyzer heard a command.
    std::vector<int64_t> TimesOf(const std::string& command) const
    {
        std::vector<int64_t> times;
        for (const auto& heard : analyzer->HeardLog()) {
            if (heard.command == command)
                times.push_back(std::chrono::duration_cast<plat::Millis>(heard.at - start).count());
        }
        return times;
    }
    plat::TimePoint start = TestLoop().Now();
};

TEST_F(WaveHoldTests, EcgStepsThroughItsTableAndRestoresTheIndexes)
{
    const struct {
        const char* name;
        int16_t mode;
        float widthIndex;
        float amplitudeIndex;
        Strings thresholds;
    } cases[] = {
        {"no stepping", 0, 9, 9, {"THRESH=160,0.50"}},
        {"width from 9", 1, 9, 9, {"THRESH=160,0.50", "THRESH=180,0.50", "THRESH=200,0.50"}},
        {"amplitude from 27", 2, 9, 27, {"THRESH=160,5.00"}},
        {"amplitude from 25", 2, 0, 25, {"THRESH=8,4.50", "THRESH=8,4.75", "THRESH=8,5.00"}},
        {"unknown mode holds once", 3, 11, 27, {"THRESH=200,5.00"}},
        {"index that names no entry", 1, 9.5f, 9, {}},
        {"index below the table", 1, -1, 9, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        auto element = ztest::CTestEcg::Create();
        auto settings = SettingsOf<ztest::CConfigEcg>(element);
        settings->SetAutoIncrement(c.mode);
        settings->SetWidthIndex(c.widthIndex);
        settings->SetAmplitudeIndex(c.amplitudeIndex);
        settings->SetDuration(2);
        const auto begun = ElapsedMs();
        Perform(element, NoVerdict);
        Strings thresholds;
        for (const auto& command : Commands()) {
            if (command.starts_with("THRESH")) thresholds.push_back(command);
        }
        EXPECT_EQ(thresholds, c.thresholds);
        // Each hold lasts the duration and one tick more; the analyzer ends at zero output.
        if (!c.thresholds.empty()) {
            EXPECT_GE(ElapsedMs() - begun, static_cast<int64_t>(3000 * c.thresholds.size()));
            EXPECT_EQ(Commands().back(), "ZERO");
        } else {
            EXPECT_EQ(Commands(), Strings{});
        }
        EXPECT_EQ(analyzer->Model().Output(), "ZERO");
        EXPECT_EQ(settings->GetWidthIndex(), c.widthIndex);
        EXPECT_EQ(settings->GetAmplitudeIndex(), c.amplitudeIndex);
        // Without a verdict the run is not rated.
        EXPECT_EQ(Status(element), 0);
    }
}

TEST_F(WaveHoldTests, VerdictDuringTheHoldEndsItAndIsRated)
{
    const struct {
        const char* name;
        std::function<std::shared_ptr<host::ITestElement>()> make;
        bool pass;
    } cases[] = {
        {"ECG passed", [] { return ztest::CTestEcg::Create(); }, true},
        {"ECG failed", [] { return ztest::CTestEcg::Create(); }, false},
        {"normal sinus", [] { return ztest::CTestNSW::Create(); }, true},
        {"performance", [] { return ztest::CTestPerf::Create(); }, false},
        {"arrhythmia", [] { return ztest::CTestArr::Create(); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        auto element = c.make();
        const auto begun = ElapsedMs();
        auto context = Perform(element, zop::WaveRecipe(c.pass));
        // The verdict came 1.5 s into the 7 s hold and ended it.
        EXPECT_LT(ElapsedMs() - begun, 3000);
        EXPECT_EQ(Commands().back(), "ZERO");
        EXPECT_EQ(analyzer->Model().Output(), "ZERO");
        EXPECT_EQ(Status(element), c.pass ? 1 : 2);
        EXPECT_GE(context->ResultChangedCount(), 1);
        EXPECT_EQ(context->Navigation(), 0);
    }
}

TEST_F(WaveHoldTests, VerdictAfterTheHoldRatesAtOnce)
{
    auto element = ztest::CTestNSW::Create();
    SettingsOf<ztest::CConfigNSW>(element)->SetDuration(1);
    // The operator watches the whole hold and judges once the run is back to ready.
    Perform(element, [](zop::Operator& op) {
        op.AddRule({"judge late", [](const zop::Scene& scene) { return scene.Ready(); }, 50ms,
                    [](zop::Operator& self, const zop::Scene&) { self.Judge(true); }, 1, "start"});
    });
    // The hold ended by its time with "ZERO"; the verdict came afterwards and rated the run.
    EXPECT_EQ(Commands(), (Strings{"THRESH=40,2.00", "NSB30", "ZERO"}));
    EXPECT_EQ(Status(element), 1);
}

TEST_F(WaveHoldTests, DurationZeroHoldsUntilStop)
{
    auto element = ztest::CTestNSW::Create();
    SettingsOf<ztest::CConfigNSW>(element)->SetDuration(0);
    PressAt(button::Stop, 60s);
    Perform(element, NoVerdict);
    EXPECT_EQ(Commands(), (Strings{"THRESH=40,2.00", "NSB30", "ZERO"}));
    const auto zero = TimesOf("ZERO");
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_GE(zero[0], 60000);
    EXPECT_EQ(analyzer->Model().Output(), "ZERO");
}

TEST_F(WaveHoldTests, RepliesGateTheHold)
{
    const struct {
        const char* name;
        bool performance;
        Fault fault;
        Strings heard;
        bool box;
    } cases[] = {
        {"lead refused", true, Fault::Reply("ERR=01").For("PERFLEAD"), {"PERFLEAD=I"}, true},
        {"wave refused", true, Fault::Reply("ERR=01").For("ZERO"), {"PERFLEAD=I", "ZERO"}, true},
        {"lead answered oddly", true, Fault::Reply("HUH").For("PERFLEAD"), {"PERFLEAD=I"}, false},
        {"negative code", true, Fault::Reply("ERR=-1").For("PERFLEAD"), {"PERFLEAD=I"}, false},
        // The threshold was taken before the wave was refused: the analyzer is zeroed.
        {"sinus wave refused", false, Fault::Reply("ERR=01").For("NSB"), {"THRESH=40,2.00", "NSB30", "ZERO"}, true},
        {"threshold refused", false, Fault::Reply("ERR=02").For("THRESH"), {"THRESH=40,2.00"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        analyzer->Faults().Add(c.fault);
        std::shared_ptr<host::ITestElement> element;
        if (c.performance) {
            element = ztest::CTestPerf::Create();
        } else {
            element = ztest::CTestNSW::Create();
        }
        const std::size_t boxes = op->Boxes().size();
        Perform(element, NoVerdict);
        EXPECT_EQ(Commands(), c.heard);
        EXPECT_EQ(c.box, op->Boxes().size() > boxes && op->Boxes().back().prompt.find(kUnexpected) != std::string::npos);
        EXPECT_EQ(analyzer->Model().Output(), "ZERO");
        EXPECT_EQ(Status(element), 0);
    }
}

TEST_F(WaveHoldTests, ArrhythmiaStoppedInTheSecondWait)
{
    auto element = ztest::CTestArr::Create();
    SettingsOf<ztest::CConfigArr>(element)->SetWavetype(ztest::CConfigArr::WaveAtrioventricularSequential);
    // Stop comes 10 ms into the 25 ms wait that follows the first command's reply.
    analyzer->Faults().Add(Fault::Delay(500ms).For("VENTPACE"));
    plat::Timer pressed;
    bool armed = false;
    plat::Timer watch = TestLoop().StartPeriodic(1ms, [&] {
        if (armed || analyzer->HeardLog().empty()) return;
        armed = true;
        pressed = TestLoop().StartOneShot(510ms, [&] { op->Press(button::Stop); });
    });
    Perform(element, NoVerdict);
    watch.Stop();
    EXPECT_EQ(Commands(), (Strings{"VENTPACE=1.0,100"}));
    EXPECT_EQ(analyzer->Model().Output(), "ZERO");

    // Unstopped, all three commands go out, an error reply notwithstanding, and the hold runs.
    analyzer->ClearLogs();
    analyzer->Faults().Add(Fault::Reply("ERR=02").For("ATRPACE"));
    auto again = ztest::CTestArr::Create();
    SettingsOf<ztest::CConfigArr>(again)->SetWavetype(ztest::CConfigArr::WaveNoncapture);
    SettingsOf<ztest::CConfigArr>(again)->SetDuration(1);
    Perform(again, NoVerdict);
    EXPECT_EQ(Commands(), (Strings{"VENTPACE=1.0,100", "ATRPACE=0.1,100", "NCA", "ZERO"}));
}

TEST_F(WaveHoldTests, HugeHoldTimeHoldsUntilAbortAndZeroes)
{
    // A hold time whose milliseconds leave the 32-bit range holds (indefinitely here) instead of
    // failing; Abort ends it, and the analyzer is zeroed.
    EXPECT_EQ(ztest::CWaveHoldTest::HoldInterval(3000000), std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ztest::CWaveHoldTest::HoldInterval(-5), 0);
    auto element = ztest::CTestPerf::Create();
    SettingsOf<ztest::CConfigPerf>(element)->SetDuration(3000000);
    PressAt(button::Abort, 5s);
    op->AddBoxRule({"", "", 6, -1});
    auto context = Perform(element, NoVerdict);
    EXPECT_EQ(Commands().back(), "ZERO");
    EXPECT_EQ(context->Navigation(), 2);
    EXPECT_EQ(element->Result(), nullptr);
}

TEST_F(WaveHoldTests, StartButtonDuringTheHoldStopsIt)
{
    auto element = ztest::CTestNSW::Create();
    SettingsOf<ztest::CConfigNSW>(element)->SetDuration(5);
    // While the run goes on, the start button's face is "Stop".
    PressAt(button::Start, 1s);
    Perform(element, NoVerdict);
    EXPECT_EQ(Commands(), (Strings{"THRESH=40,2.00", "NSB30", "ZERO"}));
    const auto zero = TimesOf("ZERO");
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_LT(zero[0], 2000);
}

TEST_F(WaveHoldTests, EcgNegativeDurationHoldsUntilStop)
{
    auto element = ztest::CTestEcg::Create();
    SettingsOf<ztest::CConfigEcg>(element)->SetDuration(-3);
    PressAt(button::Stop, 30s);
    Perform(element, NoVerdict);
    EXPECT_EQ(Commands(), (Strings{"THRESH=160,0.50", "ZERO"}));
    const auto zero = TimesOf("ZERO");
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_GE(zero[0], 30000);
}

TEST_F(WaveHoldTests, LimitsAndListsOfTheFamily)
{
    auto element = ztest::CTestEcg::Create();
    element->Initialize("ZARVIK", 1100, 0);
    EXPECT_FALSE(element->Limits()->HasDialog());
    EXPECT_TRUE(element->GetMeasurementList().IsEmpty());
    auto copy = element->Clone();
    EXPECT_FALSE(copy->Limits()->HasDialog());
}

} // namespace
