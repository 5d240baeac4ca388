#include "host/documents/HostLoadLog.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlNodeList.h"
#include "host/report/HostReport.h"
#include "host/standards/HostLimitItem.h"
#include "host/elements/HostTestSequence.h"
#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/IPlugIn.h"
#include "host/interfaces/IResultData.h"
#include "host/units/HostMtiList.h"
#include "platform/base/Conversions.h"
#include "platform/ui/MessageBox.h"
#include "simulator/Fault.h"
#include "testlib/config/CConfigEnergy.h"
#include "testlib/core/LibraryInfo.h"
#include "testlib/results/CResultEnergy.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/elements/CTestCardio.h"
#include "testlib/elements/CTestBatCap.h"
#include "testlib/elements/CTestCharge.h"
#include "testlib/elements/CTestDefib.h"
#include "testlib/elements/CTestEnergy.h"
#include "tests/testlib/elements/TestRunFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <sstream>

namespace {

using namespace std::chrono_literals;
using zop::Scene;
namespace button = zop::button;

constexpr const char* kAnalyzerError = "Unexpected response from MTI.\nPlease try again\nPlease try again";
constexpr const char* kOverRange = "Over Range!Please check the defibrillator's energy settings";

// The first line of the text that starts with the given start, or nothing.
std::string LineStartingWith(const std::string& text, const std::string& start)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with(start)) return line;
    return {};
}

bool Shock(const Scene& s)
{
    return s.Shows("TI:SHOCK");
}
bool Ready(const Scene& s)
{
    return s.Ready();
}
bool Done(const Scene& s)
{
    return s.Done();
}

class EnergyTest : public ztesting::TestRunFixture {
protected:
    EnergyTest() : element(ztest::CTestEnergy::Create()) { SelectStandard(element); }

    std::shared_ptr<ztest::CConfigEnergy> Config() const
    {
        return std::dynamic_pointer_cast<ztest::CConfigEnergy>(element->Configuration());
    }
    // The operator runs the test as the recipe says: Start, discharge on the shock prompt, Next.
    void FollowRecipe() { zop::RecipeBook::Standard().Apply(100, *op); }
    void Perform()
    {
        context->ClearNavigation();
        element->Perform(context);
    }
    plat::Variant Value(const std::string& key) const
    {
        auto result = element->Result();
        auto measurement = result ? result->Measurement(plat::Variant(key)) : nullptr;
        return measurement ? measurement->value() : plat::Variant();
    }
    int32_t Status() const { return element->Result() ? element->Result()->Status() : -1; }
    // Energy within 15 % of the preset either way.
    void LimitEnergyToFifteenPercent()
    {
        for (const auto& item : *element->Limits()->Standards()->Item(0)) {
            if (item->Key() != "ENGY") continue;
            for (int32_t bound : {host::HostLimitItem::UpperBound, host::HostLimitItem::LowerBound}) {
                item->SetEnabled(bound, true);
                item->SetFormula(bound, "X+(X*Y%)");
                item->SetValue(bound, bound == host::HostLimitItem::UpperBound ? 15.0f : -15.0f);
            }
        }
    }

    std::shared_ptr<ztest::CTestEnergy> element;
};

TEST_F(EnergyTest, ARunMeasuresRatesAndStampsTheDischarge)
{
    FollowRecipe();
    Perform();
    EXPECT_EQ(context->Navigation(), 0);
    EXPECT_EQ(Status(), 1);
    EXPECT_DOUBLE_EQ(plat::CDbl(Value("ENGY")), 100.0);
    EXPECT_DOUBLE_EQ(plat::CDbl(Value("PULW")), 5.0);
    EXPECT_EQ(element->Result()->MTIID(), 1);
    EXPECT_EQ(context->ResultChangedCount(), 1);
    EXPECT_EQ(context->MtiList()->Count(), 1u);
    EXPECT_EQ(discharges, 1);
    // The transcript: mode, range (threshold 0: HIGH), wave, polls, data, release.
    const auto heard = Heard();
    ASSERT_GE(heard.size(), 7u);
    EXPECT_EQ(std::vector<std::string>(heard.begin(), heard.begin() + 4),
              (std::vector<std::string>{"LOC", "ENERGYMODE", "DEFRANGE=HIGH", "DEFIBWAVE=VFB2"}));
    EXPECT_EQ(heard[heard.size() - 2], "ENERGYDATA");
    EXPECT_EQ(heard.back(), "LOC");
    EXPECT_FALSE(element->Busy());
}

TEST_F(EnergyTest, RangeRetriesEveryQuarterSecondUntilOkAndOldDataCountsAsData)
{
    analyzer->Faults().Add(zsim::Fault::Reply("BUSY").For("DEFRANGE").Times(3));
    FollowRecipe();
    op->SetPhysical(zop::physical::Discharge, [this](double joules) {
        analyzer->Discharge(zsim::Pulse::Into50Ohm(joules));
        // Never "NEWDATA": the data is ready all the same.
        analyzer->Faults().Add(zsim::Fault::Reply("OLDDATA").For("QDATA").Always());
    });
    Perform();
    EXPECT_EQ(CountHeard("DEFRANGE"), 4);
    std::vector<plat::TimePoint> rangeTimes;
    for (const auto& heard : analyzer->HeardLog())
        if (heard.command.rfind("DEFRANGE", 0) == 0) rangeTimes.push_back(heard.at);
    for (std::size_t i = 1; i < rangeTimes.size(); ++i) EXPECT_GE(rangeTimes[i] - rangeTimes[i - 1], 250ms);
    EXPECT_EQ(Status(), 1);
    EXPECT_DOUBLE_EQ(plat::CDbl(Value("ENGY")), 100.0);
}

TEST_F(EnergyTest, AnEmptyDataReplyResumesThePollAndAReplyGivesItsPulseWidthInMilliseconds)
{
    analyzer->Faults().Add(zsim::Fault::Reply("").For("ENERGYDATA"));
    analyzer->Faults().Add(zsim::Fault::Reply("150.2,2000,50.1,0.0045").For("ENERGYDATA"));
    FollowRecipe();
    Perform();
    EXPECT_EQ(CountHeard("ENERGYDATA"), 2);
    EXPECT_DOUBLE_EQ(plat::CDbl(Value("ENGY")), 150.2);
    EXPECT_DOUBLE_EQ(plat::CDbl(Value("PEAV")), 2000.0);
    EXPECT_NEAR(plat::CDbl(Value("PULW")), 4.5, 1e-9);
}

TEST_F(EnergyTest, ErrorRepliesStopTheRunWithTheirBoxes)
{
    struct Case {
        const char* name;
        zsim::Fault fault;
        std::vector<std::string> boxes;
        bool rangeSent;
        bool stored;
    };
    // A mode command answered with a negative error code leaves the analyzer out of its mode:
    // the test goes on with the wave command and polls until the operator gives up.
    op->SetPatience(20s);
    const Case cases[] = {
        {"mode ERR", zsim::Fault::Error(7).For("ENERGYMODE"), {kAnalyzerError}, false, false},
        {"mode ERR negative goes on", zsim::Fault::Reply("ERR=-1").For("ENERGYMODE"), {}, false, false},
        {"poll ERR", zsim::Fault::Error(3).For("QDATA"), {kAnalyzerError}, true, false},
        {"poll ERR negative goes on", zsim::Fault::Reply("ERR=-1").For("QDATA"), {}, true, true},
        {"data ERR", zsim::Fault::Error(2).For("ENERGYDATA"), {kAnalyzerError}, true, false},
        {"data ERR negative is no data", zsim::Fault::Reply("ERR=-2").For("ENERGYDATA"), {}, true, false},
        {"data OVERRANGE", zsim::Fault::OverRange().For("ENERGYDATA"), {kOverRange}, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        element = ztest::CTestEnergy::Create();
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        analyzer->Faults().Add(c.fault);
        const std::size_t boxesBefore = op->Boxes().size();
        FollowRecipe();
        Perform();
        std::vector<std::string> boxes;
        for (std::size_t i = boxesBefore; i < op->Boxes().size(); ++i) {
            if (op->Boxes()[i].title != "Telvo Plug-In MTI response") continue;
            boxes.push_back(op->Boxes()[i].prompt);
            EXPECT_EQ(op->Boxes()[i].style, 16);
        }
        EXPECT_EQ(boxes, c.boxes) << ::testing::PrintToString(said);
        EXPECT_EQ(CountHeard("DEFRANGE") > 0, c.rangeSent);
        EXPECT_EQ(CountHeard("DEFIBWAVE"), c.name == std::string("mode ERR") ? 0 : 1);
        if (c.stored) {
            EXPECT_EQ(Status(), 1);
            EXPECT_DOUBLE_EQ(plat::CDbl(Value("ENGY")), 100.0);
        } else if (context->Navigation() == 0) {
            // A run that stores nothing leaves the fresh record unrated and the window ready.
            EXPECT_EQ(Status(), 0);
            EXPECT_TRUE(Value("ENGY").IsEmpty());
        } else {
            // The operator gave up on a run that polls on: Abort removed the record.
            EXPECT_EQ(element->Result(), nullptr);
        }
        EXPECT_EQ(Heard().back(), "LOC");
    }
}

TEST_F(EnergyTest, TheRangeFollowsTheRegistryThreshold)
{
    struct Case {
        const char* name;
        std::optional<int32_t> threshold;
        float preset;
        const char* range;
    };
    const Case cases[] = {
        {"equal gives LOW", 100, 100.0f, "DEFRANGE=LOW"},
        {"one joule more gives HIGH", 100, 101.0f, "DEFRANGE=HIGH"},
        {"missing value gives HIGH", std::nullopt, 1.0f, "DEFRANGE=HIGH"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.threshold) {
            SetSetting("RangeThreshold", *c.threshold);
        } else {
            host::HostRegistry settings;
            settings.CreateKey(host::HKEY_LOCAL_MACHINE, "Software\\Vantrel\\telvo\\ZARVIK");
            settings.DeleteValue("RangeThreshold");
        }
        element = ztest::CTestEnergy::Create();
        Config()->SetPresetEnergy(c.preset);
        analyzer->ClearLogs();
        FollowRecipe();
        Perform();
        ASSERT_GE(Heard().size(), 3u);
        EXPECT_EQ(Heard()[2], c.range);
        EXPECT_EQ(element->RangeThreshold(), c.threshold.value_or(0));
    }
}

// A threshold read before goes when the settings key goes: the range threshold is 0 again, so
// that every positive preset selects the high range.
TEST_F(EnergyTest, AMissingSettingsKeyMakesTheThresholdZeroInEachDischargeTest)
{
    const struct {
        const char* name;
        std::function<std::shared_ptr<ztest::CDischargeTest>()> make;
    } types[] = {
        {"energy", [] { return ztest::CTestEnergy::Create(); }},
        {"charge time", [] { return ztest::CTestCharge::Create(); }},
        {"cardioversion", [] { return ztest::CTestCardio::Create(); }},
        {"pulse repetition", [] { return ztest::CTestDefib::Create(); }},
        {"battery capacity", [] { return ztest::CTestBatCap::Create(); }},
    };
    for (const auto& type : types) {
        SCOPED_TRACE(type.name);
        auto tested = type.make();
        // Preparing the window reads the threshold.
        auto visit = [&] {
            op->ClearRules();
            PressWhen("next", Ready, button::Next);
            context->ClearNavigation();
            tested->Perform(context);
        };
        SetSetting("RangeThreshold", 200);
        visit();
        ASSERT_EQ(tested->RangeThreshold(), 200);
        host::HostRegistry().DeleteKey(host::HKEY_LOCAL_MACHINE, ztest::CDischargeTest::SettingsKey);
        visit();
        EXPECT_EQ(tested->RangeThreshold(), 0);
    }
}

TEST_F(EnergyTest, StopEndsEveryKindOfWaitAndStoresNothing)
{
    struct Case {
        const char* name;
        std::function<bool(const Scene&)> trigger;
        std::chrono::milliseconds delay;
        std::optional<zsim::Fault> fault;
    };
    const Case cases[] = {
        {"before the mode command", [](const Scene& s) { return s.Running(); }, 0ms, std::nullopt},
        {"in the range loop", [](const Scene& s) { return s.Running(); }, 1500ms,
         zsim::Fault::Reply("BUSY").For("DEFRANGE").Always()},
        {"in the poll", Shock, 700ms, std::nullopt},
        // Stop aborts the exchange itself: the run never waits out the link's retries.
        {"in a poll the analyzer does not answer", Shock, 700ms, zsim::Fault::Silence().For("QDATA").Always()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        element = ztest::CTestEnergy::Create();
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        if (c.fault) analyzer->Faults().Add(*c.fault);
        op->ClearRules();
        const std::size_t boxes = op->Boxes().size();
        PressWhen("start", Ready, button::Start);
        std::optional<plat::TimePoint> stoppedAt;
        std::optional<plat::TimePoint> readyAt;
        op->AddRule({"stop", c.trigger, c.delay,
                     [&](zop::Operator& self, const Scene&) {
                         stoppedAt = Now();
                         self.Press(button::Stop);
                     },
                     1, ""});
        op->AddRule({"ready again", Ready, 0ms, [&](zop::Operator&, const Scene&) { readyAt = Now(); }, 1, "stop"});
        PressWhen("leave", Ready, button::Next, 100ms, 1, "stop");
        Perform();
        EXPECT_EQ(op->Boxes().size(), boxes);
        ASSERT_TRUE(stoppedAt && readyAt);
        EXPECT_LE(*readyAt - *stoppedAt, 150ms);
        EXPECT_EQ(Status(), 0);
        EXPECT_EQ(CountHeard("ENERGYDATA"), 0);
        EXPECT_FALSE(element->Busy());
        // The analyzer is released whenever the channel was opened.
        if (!Heard().empty()) {
            EXPECT_EQ(Heard().back(), "LOC");
        }
        EXPECT_EQ(context->Navigation(), 0);
    }
}

// The finishing step after each way of leaving the window.
TEST_F(EnergyTest, NavigationDecidesWhatBecomesOfTheResult)
{
    // Ask-run false: no window, no result, no navigation.
    context->SetAskRunRule([](const std::shared_ptr<host::ITestElement>&) { return false; });
    Perform();
    EXPECT_EQ(element->Result(), nullptr);
    EXPECT_EQ(context->Navigation(), -1);
    context->SetAskRunRule(nullptr);

    // Next without a run: navigation 0, the result not rated.
    PressWhen("next", Ready, button::Next);
    Perform();
    EXPECT_EQ(context->Navigation(), 0);
    EXPECT_EQ(Status(), 0);
    EXPECT_EQ(context->ResultChangedCount(), 0);

    // N/A: skipped, stamped, reported.
    op->ClearRules();
    PressWhen("na", Ready, button::NotApplicable);
    context->SetNavigation(-1);
    Perform();
    EXPECT_EQ(context->Navigation(), 0);
    EXPECT_EQ(Status(), 3);
    EXPECT_EQ(element->Result()->MTIID(), 1);
    EXPECT_EQ(context->ResultChangedCount(), 1);

    // The next Perform starts with clean flags: N/A of the last one rates nothing now.
    op->ClearRules();
    PressWhen("next", Done, button::Next);
    Perform();
    EXPECT_EQ(context->ResultChangedCount(), 1);
    EXPECT_EQ(Status(), 3);

    // Skip after a completed run: navigation 3 and the result removed.
    // (With a result on show the operator starts from button 202's menu.)
    op->ClearRules();
    op->AddRule({"start", Done, 100ms, [](zop::Operator& self, const Scene&) { self.Press(button::Start, false); }, 1, ""});
    op->AddRule({"discharge", Shock, 300ms,
                 [](zop::Operator& self, const Scene&) { self.Perform(zop::physical::Discharge, 100); }, -1, ""});
    PressWhen("skip", Done, button::Skip, 100ms, 1, "start");
    Perform();
    EXPECT_EQ(CountHeard("ENERGYDATA"), 1);
    EXPECT_EQ(context->Navigation(), 3);
    EXPECT_EQ(element->Result(), nullptr);

    // Abort during the poll: Stop runs first, navigation 2, the result removed.
    op->ClearRules();
    op->AddBoxRule({"", "", plat::vbYes, -1});
    PressWhen("start", Ready, button::Start);
    PressWhen("abort", Shock, button::Abort, 700ms);
    analyzer->ClearLogs();
    Perform();
    EXPECT_EQ(context->Navigation(), 2);
    EXPECT_EQ(element->Result(), nullptr);
    EXPECT_EQ(CountHeard("ENERGYDATA"), 0);
    EXPECT_FALSE(element->Busy());
}

TEST_F(EnergyTest, NextDuringARunStopsItFirstSoNothingPollsBehindTheHiddenWindow)
{
    // The toolbar offers no Next while a run goes on; the window's event comes all the same
    // (as from a host that navigates on its own).
    PressWhen("start", Ready, button::Start);
    op->AddRule({"next", Shock, 700ms, [](zop::Operator&, const Scene&) {
                     for (const auto& form : plat::LoadedForms())
                         if (auto guide = std::dynamic_pointer_cast<ztest::FZARVIKTestGuide>(form)) guide->NextTest.Fire();
                 }, 1, ""});
    Perform();
    EXPECT_EQ(context->Navigation(), 0);
    EXPECT_FALSE(element->Busy());
    EXPECT_EQ(Status(), 0);
    const std::size_t heardAtClose = Heard().size();
    FastForwardBy(5s);
    EXPECT_EQ(Heard().size(), heardAtClose) << "no command after the window closed";
}

TEST_F(EnergyTest, AStoppedRerunPutsTheStoredResultBackAndAStartReplacesIt)
{
    FollowRecipe();
    Perform();
    auto stored = element->Result();
    ASSERT_EQ(Status(), 1);
    stored->SetComment("checked by J. Doe");

    // A rerun that is stopped: the stored, rated record is back and still rated.
    op->ClearRules();
    // With a result on show, the face of 202 reads "Next": the operator starts from its menu.
    op->AddRule({"start again", Done, 100ms, [](zop::Operator& self, const Scene&) { self.Press(button::Start, false); }, 1, ""});
    std::shared_ptr<host::IResultData> duringRun;
    op->AddRule({"look", Shock, 0ms, [&](zop::Operator&, const Scene&) { duringRun = element->Result(); }, 1, ""});
    PressWhen("stop", Shock, button::Stop, 700ms);
    PressWhen("leave", Ready, button::Next, 100ms, 1, "stop");
    op->AddRule({"leave done", [](const Scene& s) { return s.Done(); }, 100ms,
                 [](zop::Operator& self, const Scene&) { self.Press(button::Next); }, -1, "stop"});
    Perform();
    ASSERT_NE(duringRun, nullptr);
    EXPECT_NE(duringRun, stored) << "the run measured into a fresh record";
    EXPECT_EQ(duringRun->Comment(), "checked by J. Doe");
    EXPECT_EQ(element->Result(), stored) << ::testing::PrintToString(said);
    EXPECT_EQ(Status(), 1);

    // A rerun that completes: a fresh record with the comment replaces the stored one.
    op->ClearRules();
    op->AddRule({"start", Done, 100ms, [](zop::Operator& self, const Scene&) { self.Press(button::Start, false); }, 1, ""});
    op->AddRule({"discharge", Shock, 300ms,
                 [](zop::Operator& self, const Scene&) { self.Perform(zop::physical::Discharge, 100); }, -1, ""});
    op->AddRule({"next", Done, 100ms, [](zop::Operator& self, const Scene&) { self.Press(button::Next); }, -1, "start"});
    Perform();
    EXPECT_NE(element->Result(), stored);
    EXPECT_EQ(Status(), 1);
    EXPECT_EQ(element->Result()->Comment(), "checked by J. Doe");
}

TEST_F(EnergyTest, NoAnalyzerLeavesTheResultUnratedWithTheLinksOwnMessageOnly)
{
    plat::PortMap::SetOverride(1, "no-such-device-here");
    PressWhen("start", Ready, button::Start);
    PressWhen("leave", Ready, button::Next, 100ms, 1, "start");
    Perform();
    EXPECT_EQ(Status(), 0);
    ASSERT_EQ(op->Boxes().size(), 1u);
    EXPECT_NE(op->Boxes()[0].prompt.find("No MTI was found connected"), std::string::npos);
}

// An element whose window cannot be prepared.
class BrokenEnergy : public ztest::CTestEnergy {
public:
    static std::shared_ptr<BrokenEnergy> Make()
    {
        auto element = std::make_shared<BrokenEnergy>();
        element->Construct();
        return element;
    }

protected:
    plat::Variant BuildInstructions() override { throw plat::ComError(plat::rt::Overflow, "test", "Overflow"); }
};

TEST_F(EnergyTest, AnErrorInPerformIsShownAndTheWindowDestroyed)
{
    auto broken = BrokenEnergy::Make();
    broken->Perform(context);
    ASSERT_EQ(op->Boxes().size(), 1u);
    EXPECT_EQ(op->Boxes()[0].prompt, "Error #6\r\nOverflow");
    EXPECT_EQ(op->Boxes()[0].style, 48);
    EXPECT_EQ(op->Boxes()[0].title, "Zarvik Test Library");
    for (const auto& form : plat::LoadedForms()) EXPECT_NE(form->Name(), "FZARVIKTestGuide");
    EXPECT_EQ(context->Navigation(), -1);
}

TEST_F(EnergyTest, ListsItsMeasurementsInTheirOrder)
{
    const plat::Variant list = element->GetMeasurementList();
    ASSERT_TRUE(list.IsArray());
    const auto& rows = list.AsArray();
    const std::vector<std::pair<std::string, std::string>> expected{
        {"ENGY", "Energy"}, {"PULW", "Pulse Width"}, {"PEAC", "Peak Current"}, {"PEAV", "Peak Voltage"}};
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(rows.At(i, 0).AsString(), expected[static_cast<std::size_t>(i)].first);
        EXPECT_EQ(rows.At(i, 1).AsString(), expected[static_cast<std::size_t>(i)].second);
    }
    EXPECT_TRUE(element->QuerySetParent(nullptr));
    // A clone has its own records and limits that belong to it.
    auto clone = element->Clone();
    ASSERT_NE(clone, nullptr);
    EXPECT_NE(clone->Configuration(), element->Configuration());
    EXPECT_EQ(clone->Limits()->Owner(), clone);
}

// An energy test passed at 100 J whose preset is then set to 150 J for the next run: saved and
// reopened, it prints as it printed before the save, with the limits of 100 J and "passed".
TEST_F(EnergyTest, AResultReopenedAfterItsPresetChangedPrintsAsItWasRated)
{
    LimitEnergyToFifteenPercent();
    Config()->SetPresetEnergy(100.0f);
    FollowRecipe();
    Perform();
    ASSERT_EQ(Status(), 1);
    ASSERT_DOUBLE_EQ(plat::CDbl(Value("ENGY")), 100.0);

    Config()->SetPresetEnergy(150.0f);
    auto printed = [](const std::shared_ptr<host::ITestElement>& test) {
        auto report = std::make_shared<host::HostReport>();
        test->PrintReport(report, {});
        return report->Text();
    };
    const std::string asRated = printed(element);
    auto document = host::HostXmlDocument::Create();
    auto saved = element->Save(document);
    ASSERT_TRUE(saved);

    auto reopened = ztest::CTestEnergy::Create();
    auto log = std::make_shared<host::HostLoadLog>();
    auto children = saved->ChildNodes();
    for (int32_t i = 0; i < children->Count(); ++i) reopened->Load(children->Item(i), log);
    ASSERT_NE(reopened->Result(), nullptr);
    EXPECT_EQ(reopened->Result()->Status(), 1);
    EXPECT_EQ(reopened->Result()->Measurement(plat::Variant("ENGY"))->PresetValue(), plat::Variant(100.0f));
    EXPECT_EQ(printed(reopened), asRated);
}

// A reopened file whose stored preset is damaged (a text, no finite number, a Boolean, no
// value, beyond a Single, unreadable) loads with a load log entry and the configured preset, and
// its report gives the energy the verdict it was stored with, marked as stored: rated at 100 J,
// it passed at 100 J and failed at 130 J, which the configured 150 J would now judge the other
// way round.
TEST_F(EnergyTest, AReopenedFileWithADamagedPresetKeepsTheConfiguredOneAndTheStoredVerdicts)
{
    const std::string storedPreset = "<PresetValue><Value Type=\"Single\" ValueType=\"1\">100</Value></PresetValue>";
    const struct {
        const char* name;
        const char* preset;
    } damaged[] = {
        {"text", "<PresetValue><Value Type=\"String\" ValueType=\"1\">100 J</Value></PresetValue>"},
        {"NaN", "<PresetValue><Value Type=\"Single\" ValueType=\"1\">NaN</Value></PresetValue>"},
        {"INF", "<PresetValue><Value Type=\"Double\" ValueType=\"1\">INF</Value></PresetValue>"},
        {"Boolean", "<PresetValue><Value Type=\"Boolean\" ValueType=\"1\">True</Value></PresetValue>"},
        {"kind Empty", "<PresetValue><Value Type=\"Empty\" ValueType=\"1\"/></PresetValue>"},
        {"beyond a Single", "<PresetValue><Value Type=\"Double\" ValueType=\"1\">1e300</Value></PresetValue>"},
        {"unreadable", "<PresetValue><Value Type=\"Double\" ValueType=\"1\">1OO</Value></PresetValue>"},
        {"no value", "<PresetValue/>"},
    };
    for (const double joules : {100.0, 130.0}) {
        SCOPED_TRACE(joules);
        element = ztest::CTestEnergy::Create();
        SelectStandard(element);
        LimitEnergyToFifteenPercent();
        Config()->SetPresetEnergy(100.0f);
        FollowRecipe();
        op->SetPhysical(zop::physical::Discharge,
                        [this, joules](double) { analyzer->Discharge(zsim::Pulse::Into50Ohm(joules)); });
        Perform();
        const int32_t status = joules == 100.0 ? 1 : 2;
        ASSERT_EQ(Status(), status);
        Config()->SetPresetEnergy(150.0f);
        const std::string xml = element->Save(host::HostXmlDocument::Create())->Xml();
        const std::size_t at = xml.find(storedPreset);
        ASSERT_NE(at, std::string::npos) << xml;

        for (const auto& c : damaged) {
            SCOPED_TRACE(c.name);
            auto file = host::HostXmlDocument::Create();
            file->LoadXml(std::string(xml).replace(at, storedPreset.size(), c.preset));
            auto reopened = ztest::CTestEnergy::Create();
            auto log = std::make_shared<host::HostLoadLog>();
            auto children = file->DocumentElement()->ChildNodes();
            for (int32_t i = 0; i < children->Count(); ++i) reopened->Load(children->Item(i), log);

            EXPECT_EQ(log->Entries().size(), 1u) << log->ToText();
            for (const auto& entry : log->Entries()) {
                EXPECT_EQ(entry.severity, 2);
                EXPECT_TRUE(entry.text.starts_with("Can not load the preset value '%%1' of the measurement '%%2': "))
                    << entry.text;
                EXPECT_EQ(entry.arguments.At(1), plat::Variant("ENGY"));
            }
            EXPECT_EQ(log->OpenSectionCount(), 0);

            auto result = reopened->Result();
            ASSERT_NE(result, nullptr);
            auto energy = result->Measurement(plat::Variant("ENGY"));
            EXPECT_EQ(energy->PresetValue(), plat::Variant(150.0f));
            EXPECT_EQ(result->Status(), status);
            EXPECT_EQ(energy->Status(), status);

            auto report = std::make_shared<host::HostReport>();
            reopened->PrintReport(report, {});
            const std::string text = report->Text();
            EXPECT_NE(text.find(status == 1 ? "Outcome: passed" : "Outcome: failed"), std::string::npos) << text;
            // The energy row of the limits table: limits worked out from 150 J, which give the
            // other verdict, so the stored one is printed marked as stored.
            const std::string row = LineStartingWith(text, "Energy ");
            EXPECT_TRUE(row.ends_with(status == 1 ? " Passed (stored)" : " Failed (stored)")) << text;
            EXPECT_NE(row.find("127.5"), std::string::npos) << row;
        }
    }
}

// A sequence with the plug-in: a link time-out in the first element leaves it unrated and the
// next one runs; the saved sequence loads back into fresh elements with the same results.
TEST_F(EnergyTest, ASavedSequenceLoadsBackWithTheSameResults)
{
    plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/libtelvoZarvik.so");
    auto plugIn = plat::CreateObjectAs<host::IPlugIn>("TelvoZARVIK.CZARVIKPlugIn");
    ASSERT_NE(plugIn, nullptr);
    plugIn->Initialize(std::make_shared<host::HostLoadLog>());
    EXPECT_EQ(plugIn->Version(), std::to_string(ztest::LibraryInfo::VersionMajor) + "." +
                                     std::to_string(ztest::LibraryInfo::VersionMinor) + "." +
                                     std::to_string(ztest::LibraryInfo::VersionRevision));
    auto sequence = std::make_shared<host::HostTestSequence>(plugIn);
    sequence->AddTest(100);
    sequence->AddTest(100);
    sequence->SetBeforePerform([&](std::size_t) { FollowRecipe(); });
    // The first element's poll gets no answer: the link gives up after its retries.
    analyzer->Faults().Add(zsim::Fault::Silence().For("QDATA").Times(3));
    EXPECT_TRUE(sequence->Run());
    ASSERT_EQ(sequence->Count(), 2u);
    EXPECT_EQ(sequence->Item(0).element->Result()->Status(), 0);
    EXPECT_EQ(sequence->Item(1).element->Result()->Status(), 1);
    EXPECT_NE(std::find_if(BoxPrompts().begin(), BoxPrompts().end(),
                           [](const std::string& p) { return p.find("No MTI was found") != std::string::npos; }),
              BoxPrompts().end());

    auto document = sequence->SaveDocument();
    const std::string xml = document->Xml();
    EXPECT_NE(xml.find("20120::Energy"), std::string::npos) << "captions stay language-ID texts";
    const auto engy = xml.find("Key=\"ENGY\"", xml.find("<ResultItem"));
    const auto pulw = xml.find("Key=\"PULW\"", xml.find("<ResultItem"));
    EXPECT_LT(engy, pulw);

    auto loaded = std::make_shared<host::HostTestSequence>(plugIn);
    loaded->LoadDocument(document, std::make_shared<host::HostLoadLog>());
    ASSERT_EQ(loaded->Count(), 2u);
    EXPECT_EQ(loaded->MtiList()->Count(), sequence->MtiList()->Count());
    for (std::size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        auto original = sequence->Item(i).element->Result();
        auto copy = loaded->Item(i).element->Result();
        ASSERT_NE(copy, nullptr);
        EXPECT_EQ(copy->Status(), original->Status());
        EXPECT_EQ(copy->MTIID(), original->MTIID());
        for (int32_t m = 1; m <= original->MeasurementCount(); ++m) {
            EXPECT_EQ(copy->Measurement(plat::Variant(m))->Key(), original->Measurement(plat::Variant(m))->Key());
            EXPECT_EQ(plat::CStr(copy->Measurement(plat::Variant(m))->value()),
                      plat::CStr(original->Measurement(plat::Variant(m))->value()));
        }
    }
    EXPECT_EQ(loaded->SaveDocument()->Xml(), xml);
}

} // namespace
