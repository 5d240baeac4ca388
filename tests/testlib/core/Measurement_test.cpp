#include "testlib/core/CMeasurement.h"

#include "host/documents/HostErrorRaiser.h"
#include "host/standards/HostFormulaLimit.h"
#include "host/standards/HostLimitItem.h"
#include "host/documents/HostLoadLog.h"
#include "host/report/HostReport.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "host/documents/HostTranslator.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlNodeList.h"
#include "host/interfaces/ILimitData.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "tests/support/LimitItems.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

using host::HostLimitItem;
using host::HostStandard;
using host::HostStandards;
using plat::Variant;
using ztest::CMeasurement;

namespace {

constexpr int kUpper = HostLimitItem::UpperBound;
constexpr int kLower = HostLimitItem::LowerBound;

// The limits of a test element as far as the rating asks them: FindFailedStandards looks up its
// own standards by the names of the given ones and lets each evaluate the first four
// characters of the key, the value and the preset value; a host call that fails leaves the
// result as far as it got.
class FakeLimits : public host::ILimitData {
public:
    std::shared_ptr<HostStandards> standards = std::make_shared<HostStandards>();
    int findCalls = 0;

    std::string Description() override { return {}; }
    void SetDescription(const std::string&) override {}
    bool HasDialog() override { return false; }
    std::shared_ptr<HostStandards> Standards() override { return standards; }
    std::shared_ptr<host::ITestElement> Owner() override { return nullptr; }
    std::shared_ptr<host::ILimitData> Clone() override { return nullptr; }
    std::shared_ptr<host::IDialog> CreateDialog() override { return nullptr; }
    std::shared_ptr<HostStandard> CreateStandard(const std::string&, const std::string&) override { return nullptr; }
    void Load(const std::shared_ptr<host::HostXmlElement>&, const std::shared_ptr<host::HostLoadLog>&) override {}
    std::shared_ptr<host::HostXmlElement> Save(const std::shared_ptr<host::HostXmlDocument>&) override { return nullptr; }
    void PrintReport(const std::shared_ptr<host::HostReport>&, const std::shared_ptr<host::HostPrintContext>&) override {}
    void UpdateLimits(const plat::ObjectPtr&) override {}

    std::shared_ptr<HostStandards> FindFailedStandards(const std::shared_ptr<host::IMeasurement>& measurement,
                                                       const std::shared_ptr<HostStandards>& given) override
    {
        ++findCalls;
        if (!standards || standards->Count() == 0 || !measurement || !given) return nullptr;
        auto failed = std::make_shared<HostStandards>();
        try {
            const std::string key = measurement->Key().substr(0, 4);
            const float value = plat::CSng(measurement->value());
            const Variant preset(plat::CSng(measurement->PresetValue()));
            for (const auto& standard : *given) {
                auto own = standards->Find(standard->AlphaName(), standard->CompleteName());
                if (own && own->Evaluate(key, value, preset) == HostStandard::StatusFailed) failed->Add(own);
            }
        } catch (const plat::ComError&) {
        }
        return failed->Count() > 0 ? failed : nullptr;
    }
};

// The item of a rating case: ENGY in J, judged against 90 and 110, unless the case changes it.
struct ItemSetup {
    std::string key = "ENGY";
    bool upperOn = true;
    float upper = 110;
    bool lowerOn = true;
    float lower = 90;
    std::string upperFormula;
    std::string lowerFormula;
    bool formulaCapable = true;
};

ztesting::LimitItemSpec SpecOf(const ItemSetup& setup)
{
    return {.key = setup.key,
            .unit = "J",
            .upper = {setup.upperOn, setup.upper, setup.upperFormula},
            .lower = {setup.lowerOn, setup.lower, setup.lowerFormula},
            .formulaCapable = setup.formulaCapable};
}

std::shared_ptr<HostLimitItem> MakeItem(const ItemSetup& setup)
{
    return ztesting::MakeLimitItem(SpecOf(setup));
}

std::shared_ptr<HostStandard> MakeStandard(const std::vector<ItemSetup>& items, const std::string& alpha = "IEC")
{
    std::vector<ztesting::LimitItemSpec> specs;
    for (const auto& setup : items) specs.push_back(SpecOf(setup));
    return ztesting::MakeStandard(alpha, alpha + " complete", specs);
}

std::shared_ptr<CMeasurement> MakeMeasurement(const std::string& key, const Variant& value, const Variant& preset = {},
                                              int32_t valueType = 1)
{
    auto m = std::make_shared<CMeasurement>();
    m->Initialize(key, "20120::Energy", "J", valueType);
    m->SetValue(value);
    m->SetPresetValue(preset);
    return m;
}

} // namespace

// ---- Rating ----------------------------------------------------------------------------------

TEST(CMeasurementRating, UpdateStatusAndValidateLimitsAgreeAcrossBoundsFormulasKeysAndMissingValues)
{
    struct Case {
        const char* name;
        ItemSetup item;
        std::string key;
        Variant value;
        Variant preset;
        int32_t valueType;
        int32_t status;     // UpdateStatus
        int16_t validation; // ValidateLimits
    };
    const ItemSetup plain;
    ItemSetup upperOnly = plain;
    upperOnly.lowerOn = false;
    ItemSetup noBounds = plain;
    noBounds.upperOn = noBounds.lowerOn = false;
    ItemSetup percent = plain;
    percent.upper = 10;
    percent.upperFormula = "X+(X*Y%)";
    percent.lowerOn = false;

    const Case cases[] = {
        {"equal to the upper bound passes", plain, "ENGY", 110.0f, {}, 1, 1, 0},
        {"equal to the lower bound passes", plain, "ENGY", 90.0, {}, 1, 1, 0},
        {"inside both bounds passes", plain, "ENGY", 100, {}, 2, 1, 0},
        {"above the upper bound fails", plain, "ENGY", 110.5f, {}, 1, 2, 2},
        {"below the lower bound fails", plain, "ENGY", 89.9f, {}, 1, 2, 2},
        {"a numeric text is judged as its number", plain, "ENGY", "111", {}, 1, 2, 2},
        {"a disabled lower bound is not looked at", upperOnly, "ENGY", -1000.0, {}, 1, 1, 0},
        {"with both bounds disabled anything passes", noBounds, "ENGY", 1e6, {}, 1, 1, 0},
        {"formula limit X+(X*Y%) reached passes", percent, "ENGY", 110.0f, 100.0f, 1, 1, 0},
        {"formula limit X+(X*Y%) exceeded fails", percent, "ENGY", 110.5f, 100.0f, 1, 2, 2},
        {"a numbered key is judged by its quantity's item", plain, "ENGY3", 120.0, {}, 1, 2, 2},
        {"a numbered key inside the bounds passes", plain, "ENGY12", 100.0, {}, 1, 1, 0},
        {"a key without an item passes", plain, "PEAV", 5000.0, {}, 1, 1, 0},
        {"an Empty number fails an enabled item", plain, "ENGY", {}, {}, 1, 2, 2},
        {"NOSYNC fails an enabled item", plain, "ENGY2", "NOSYNC", {}, 1, 2, 2},
        {"NOSYNC of value type 2 fails too", plain, "ENGY", "NOSYNC", {}, 2, 2, 2},
        {"NOSYNC without an item of its key passes", plain, "PEAV", "NOSYNC", {}, 1, 1, 0},
        {"NOSYNC against disabled bounds passes", noBounds, "ENGY", "NOSYNC", {}, 1, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto limits = std::make_shared<FakeLimits>();
        auto standard = MakeStandard({c.item});
        limits->standards->Add(standard);
        auto given = std::make_shared<HostStandards>();
        given->Add(standard->Copy());

        auto m = MakeMeasurement(c.key, c.value, c.preset, c.valueType);
        m->UpdateStatus(limits, given);
        EXPECT_EQ(m->GetStatus(), c.status);
        EXPECT_EQ(m->ValidateLimits(standard), c.validation);
    }
}

TEST(CMeasurementRating, UpdateStatusRatesThroughTheLimitsAndPassesWithoutThem)
{
    auto limits = std::make_shared<FakeLimits>();
    auto failing = MakeStandard({ItemSetup{}}, "IEC");
    ItemSetup wide;
    wide.upper = 500;
    auto passing = MakeStandard({wide}, "AAMI");
    limits->standards->Add(failing);
    limits->standards->Add(passing);

    auto onlyPassing = std::make_shared<HostStandards>();
    onlyPassing->Add(passing->Copy());
    auto both = onlyPassing->Copy();
    both->Add(failing->Copy());

    auto m = MakeMeasurement("ENGY", 200.0);
    m->SetStatus(0);
    m->UpdateStatus(limits, onlyPassing);
    EXPECT_EQ(m->GetStatus(), 1);
    m->UpdateStatus(limits, both);
    EXPECT_EQ(m->GetStatus(), 2);
    EXPECT_EQ(limits->findCalls, 2);

    // Without limits there is nothing to fail against; the rating still marks it as rated.
    m->UpdateStatus(nullptr, both);
    EXPECT_EQ(m->GetStatus(), 1);

    // A measurement that no shared pointer owns can still be rated.
    CMeasurement onStack;
    onStack.Initialize("ENGY", "", "J", 1);
    onStack.SetValue(200.0);
    onStack.UpdateStatus(limits, both);
    EXPECT_EQ(onStack.GetStatus(), 2);
}

TEST(CMeasurementRating, AnEmptyNumberIsJudgedOnlyInTheGivenStandards)
{
    auto limits = std::make_shared<FakeLimits>();
    limits->standards->Add(MakeStandard({ItemSetup{}}, "IEC"));
    ItemSetup other;
    other.key = "PEAV";
    limits->standards->Add(MakeStandard({other}, "AAMI"));

    auto given = std::make_shared<HostStandards>();
    given->Add(MakeStandard({}, "AAMI"));
    auto m = MakeMeasurement("ENGY", Variant());
    m->UpdateStatus(limits, given);
    EXPECT_EQ(m->GetStatus(), 1);

    given->Add(MakeStandard({}, "IEC"));
    m->UpdateStatus(limits, given);
    EXPECT_EQ(m->GetStatus(), 2);

    m->UpdateStatus(limits, nullptr);
    EXPECT_EQ(m->GetStatus(), 1);
}

TEST(CMeasurementRating, ValidateLimitsStopsAtTheFirstFailingItemAndToleratesBrokenInput)
{
    ItemSetup wide;
    wide.upper = 1000;
    ItemSetup narrow;
    narrow.upper = 100;
    auto m = MakeMeasurement("ENGY", 150.0);
    EXPECT_EQ(m->ValidateLimits(MakeStandard({wide, narrow})), 2);
    EXPECT_EQ(m->ValidateLimits(MakeStandard({wide, wide})), 0);
    EXPECT_EQ(m->ValidateLimits(nullptr), 0);

    // A formula whose X is no number cannot be worked out, so it cannot pass the value either.
    ItemSetup formula;
    formula.upperFormula = "X+Y";
    formula.lowerOn = false;
    auto badPreset = MakeMeasurement("ENGY", 1.0, "abc");
    EXPECT_EQ(badPreset->ValidateLimits(MakeStandard({formula})), 2);
}

TEST(CMeasurementRating, CalculateLimitValueEvaluatesFormulaItemsOnly)
{
    auto m = MakeMeasurement("ENGY", 0.0, 100.0f);
    ItemSetup percent;
    percent.upper = 10;
    percent.upperFormula = "X+(X*Y%)";
    auto formulaItem = MakeItem(percent);
    EXPECT_FLOAT_EQ(m->CalculateLimitValue(formulaItem, kUpper), 110.0f);
    EXPECT_FLOAT_EQ(m->CalculateLimitValue(formulaItem, kLower), 90.0f); // no formula: the plain value

    // An item that cannot evaluate formulas gives its plain value whatever text it carries.
    percent.formulaCapable = false;
    EXPECT_FLOAT_EQ(m->CalculateLimitValue(MakeItem(percent), kUpper), 10.0f);

    // Failing host calls are skipped.
    auto noNumber = MakeMeasurement("ENGY", 0.0, "abc");
    EXPECT_FLOAT_EQ(noNumber->CalculateLimitValue(formulaItem, kUpper), 0.0f);
    EXPECT_FLOAT_EQ(m->CalculateLimitValue(nullptr, kUpper), 0.0f);
    EXPECT_FLOAT_EQ(m->CalculateLimitValue(formulaItem, 7), 0.0f);

    EXPECT_TRUE(m->SupportsLimit(0));
    EXPECT_TRUE(MakeMeasurement("ENGY", 0.0, {}, 2)->SupportsLimit(1));
    EXPECT_FALSE(MakeMeasurement("ECGR", true, {}, 3)->SupportsLimit(0));
    EXPECT_FALSE(MakeMeasurement("ECGR", "x", {}, 0)->SupportsLimit(0));
}

// ---- Limit and result values ----------------------------------------------------------------

TEST(CMeasurementLimitValue, ShowsPlainOrEvaluatedLimitsAsNumbersOrText)
{
    // ENGY: upper "X+(X*Y%)" with Y 10, lower a plain 90 J.
    ItemSetup energy;
    energy.upper = 10;
    energy.upperFormula = "X+(X*Y%)";
    auto standard = MakeStandard({energy});

    struct Case {
        const char* name;
        std::string key;
        std::string format;
        int32_t bound;
        int32_t flags;
        Variant expected;
    };
    const Case cases[] = {
        {"plain Y of the upper bound", "ENGY", "0.0", kUpper, 0, 10.0f},
        {"evaluated upper bound", "ENGY", "0.0", kUpper, 1, 110.0f},
        {"plain Y as text with its percent unit", "ENGY", "0.0", kUpper, 6, "10.0 %"},
        {"evaluated text with the measurement's unit", "ENGY", "0.0", kUpper, 7, "110.0 J"},
        {"text without the unit", "ENGY", "0.0", kUpper, 3, "110.0"},
        {"an empty mask gives the plain number", "ENGY", "", kUpper, 7, "110 J"},
        {"a plain lower bound keeps the measurement's unit", "ENGY", "0.0", kLower, 6, "90.0 J"},
        {"a plain lower bound evaluated", "ENGY", "0.0", kLower, 7, "90.0 J"},
        {"a numbered key finds its quantity's item", "ENGY4", "0.0", kUpper, 7, "110.0 J"},
        {"no item of the key", "PEAV", "0.0", kUpper, 7, Variant()},
        {"a bound that is no bound", "ENGY", "0.0", 2, 7, Variant()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto m = MakeMeasurement(c.key, 100.0, 100.0f);
        m->SetValueFormat(c.format);
        EXPECT_EQ(m->GetLimitValue(standard, c.bound, c.flags), c.expected);
    }
    EXPECT_EQ(MakeMeasurement("ENGY", 1.0)->GetLimitValue(nullptr, kUpper, 7), Variant());
}

TEST(CMeasurementLimitValue, ADisabledBoundIsNotShownAndTheStrictestOfSeveralItemsIs)
{
    ItemSetup upperOnly;
    upperOnly.lowerOn = false;
    auto m = MakeMeasurement("ENGY", 100.0);
    auto single = MakeStandard({upperOnly});
    EXPECT_EQ(m->GetLimitValue(single, kLower, 0), Variant());
    EXPECT_EQ(m->GetLimitValue(single, kUpper, 0), Variant(110.0f));

    ItemSetup loose;
    loose.upper = 120;
    loose.lower = 80;
    ItemSetup strict;
    strict.upper = 110;
    strict.lower = 90;
    for (const auto& standard : {MakeStandard({loose, strict}), MakeStandard({strict, loose})}) {
        EXPECT_EQ(m->GetLimitValue(standard, kUpper, 0), Variant(110.0f));
        EXPECT_EQ(m->GetLimitValue(standard, kLower, 0), Variant(90.0f));
    }
}

TEST(CMeasurementResultValue, FormatsTheValueByKeyMaskAndUnit)
{
    struct Case {
        const char* name;
        std::string key;
        int32_t valueType;
        Variant value;
        std::string format;
        std::string unit;
        int32_t flags;
        Variant expected;
    };
    const Case cases[] = {
        {"unformatted gives the value itself", "ENGY", 1, 4.25, "0.0", "J", 4, 4.25},
        {"formatted", "ENGY", 1, 4.25f, "0.00", "J", 2, "4.25"},
        {"formatted with the unit", "ENGY", 1, 4.25f, "0.0", "J", 6, "4.3 J"},
        {"an empty unit adds no blank", "ENGY", 1, 4.25f, "0.0", "", 6, "4.3"},
        {"a pulse width given as text is formatted as its number", "PULW", 1, "4.2", "0.00", " ms", 2, "4.20"},
        {"the leading number of a charge time's text", "CHTI", 1, "6.5 s", "0.0", "s", 2, "6.5"},
        {"a charge time's text without a number", "CHTI", 1, "abc", "0.0", "s", 2, "0.0"},
        {"other keys pass a text through", "ENGY", 1, "NOSYNC", "0.0", "J", 6, "NOSYNC J"},
        {"a thousands mask", "PACR", 1, 1234.5, "# ##0.0", " ppm", 6, "1 234.5  ppm"},
        {"Empty is empty text", "ENGY", 1, Variant(), "0.0", "", 2, ""},
        {"Null is empty text", "ENGY", 1, Variant::Null(), "0.0", "", 2, ""},
        {"an empty mask gives the plain text", "PEAV", 1, 2500, "", "V", 6, "2500 V"},
        {"a Boolean of a \"::\" key shows nothing", "::20140::Arrhythmia", 3, true, "", "", 2, ""},
        {"a Boolean of another key shows its text", "ECGR", 3, true, "", "", 2, "True"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMeasurement m;
        m.Initialize(c.key, "", c.unit, c.valueType);
        m.SetValue(c.value);
        m.SetValueFormat(c.format);
        EXPECT_EQ(m.GetResultValue(c.flags), c.expected);
    }
}

// ---- Texts and report lines -----------------------------------------------------------------

TEST(CMeasurementText, ValueToStringGivesTheServiceRecordTextByValueType)
{
    struct Case {
        int32_t valueType;
        Variant value;
        std::string expected;
    };
    const Case cases[] = {
        {0, "checked", "checked"},
        {0, 12, "12"},
        {-1, Variant(), ""},
        {1, 12.5, "12.5"},
        {2, 0.1f, "0.1"},
        {1, 7, "7"},
        {1, "12.50", "12.5"},
        {1, Variant(), ""},
        {2, "NOSYNC", "NOSYNC"},
        {3, true, "True"},
        {3, false, "False"},
        {3, Variant(), "False"},
        {3, "maybe", "False"},
        {5, "NOSYNC", "NOSYNC"},
        {4, 3.5, "3.5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(plat::CStr(c.valueType) + " " + c.expected);
        CMeasurement m;
        m.Initialize("ENGY", "", "J", c.valueType);
        m.SetValue(c.value);
        m.SetStatus(2);
        std::string text = "old";
        int32_t status = 0;
        m.ValueToString(text, status);
        EXPECT_EQ(text, c.expected);
        EXPECT_EQ(status, 2);
    }
}

TEST(CMeasurementText, ReportLinesListEveryRowOrOnlyFailedOnes)
{
    struct Case {
        int32_t flags;
        int32_t status;
        bool printed;
    };
    const Case cases[] = {
        {0, 0, true},  {0, 1, true},   {0, 2, true},  {16, 0, false}, {16, 1, false},
        {16, 2, true}, {1 | 16, 3, false}, {1 | 32, 1, true},
    };
    auto translator = std::make_shared<host::HostTranslator>();
    translator->SetText("ZARVIK", "20120", "Energie");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.flags) + "/" + std::to_string(c.status));
        auto report = std::make_shared<host::HostReport>(translator);
        report->SetFlags(c.flags);
        CMeasurement m;
        m.Initialize("ENGY", "20120::Energy", "J", 1);
        m.SetValueFormat("# ##0.0");
        m.SetPresetValue(100.0f);
        m.SetValue(1099.96);
        m.SetStatus(c.status);
        std::string line = "old";
        m.GetReportLine(report, line);
        EXPECT_EQ(line, c.printed ? "|      Energie|100.0|1 100.0|J;" : "");
    }

    // An Empty value prints an empty cell.
    CMeasurement unmeasured;
    unmeasured.Initialize("PULW", "20123::Pulse Width", "ms", 1);
    std::string line;
    unmeasured.GetReportLine(std::make_shared<host::HostReport>(std::make_shared<host::HostTranslator>()), line);
    EXPECT_EQ(line, "|      Pulse Width|||ms;");

    // A caption or unit holding the table's separators stays in its cell.
    CMeasurement odd;
    odd.Initialize("PKV", "20124::Peak|Voltage; max", "k;V", 1);
    odd.GetReportLine(std::make_shared<host::HostReport>(std::make_shared<host::HostTranslator>()), line);
    EXPECT_EQ(line, "|      Peak Voltage  max|||k V;");
}

TEST(CMeasurementText, TheHostSeesTheTranslatedCaptionAndTheFields)
{
    auto translator = std::make_shared<host::HostTranslator>();
    translator->SetText("ZARVIK", "20121", "Spitzenspannung");
    auto previous = host::HostTranslator::SetProcess(translator);

    CMeasurement m;
    EXPECT_EQ(m.Status(), 0);
    m.SetValue(2.5);
    m.SetStatus(1);
    m.Initialize("PEAV2", "20121::Peak Voltage", "V", 2);
    host::IMeasurement& host = m;
    EXPECT_EQ(host.Description(), "Spitzenspannung");
    EXPECT_EQ(host.Key(), "PEAV2");
    EXPECT_EQ(host.LimitKey(), "PEAV2");
    EXPECT_EQ(host.Unit(), "V");
    EXPECT_EQ(host.ValueType(), 2);
    EXPECT_EQ(host.value(), Variant(2.5)); // Initialize keeps the other fields
    EXPECT_EQ(host.Status(), 1);
    EXPECT_EQ(host.Flags(), 0);
    EXPECT_EQ(host.ToolTipText(), "");

    host::HostTranslator::SetProcess(previous);
}

// ---- Persistence ----------------------------------------------------------------------------

namespace {

std::vector<std::string> ChildNames(const host::HostXmlElement& element)
{
    std::vector<std::string> names;
    auto children = element.ChildNodes();
    for (int32_t i = 0; i < children->Count(); ++i) names.push_back(children->Item(i)->Name());
    return names;
}

std::shared_ptr<host::HostXmlElement> Parse(const std::string& xml)
{
    auto document = host::HostXmlDocument::Create();
    document->LoadXml(xml);
    return document->DocumentElement();
}

// Runs a load that must fail with the measurement's own load error and gives that error.
plat::ComError FailingLoad(CMeasurement& m, const std::shared_ptr<host::HostXmlElement>& element,
                           const std::shared_ptr<host::HostLoadLog>& log)
{
    try {
        m.Load(element, log);
    } catch (const plat::ComError& e) {
        return e;
    }
    ADD_FAILURE() << "the load did not fail";
    return plat::ComError(0, "", "");
}

} // namespace

TEST(CMeasurementXml, EveryKindOfValueComesBackAsItWasSaved)
{
    struct Case {
        const char* name;
        int32_t valueType;
        Variant value;
        int32_t savedType;
        int32_t loadedType;
    };
    const Case cases[] = {
        {"a text", 0, "checked", 0, 0},
        {"a Long as text value", 0, 42, 0, 0},
        {"a Double", 1, 12.5, 1, 1},
        {"a Single", 2, 3.25f, 2, 2},
        {"a Single that is no short decimal", 1, 0.1f, 1, 1},
        {"an Integer of another type", 4, int16_t(7), 4, 4},
        {"Boolean True", 3, true, 3, 3},
        {"Boolean False", 3, false, 3, 3},
        {"an unmeasured number", 1, Variant(), 1, 1},
        {"NOSYNC", 1, "NOSYNC", 5, 1},
        {"NOSYNC of value type 2", 2, "NOSYNC", 5, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CMeasurement m;
        m.Initialize("PACR2", "20126::Pacer Rate", " ppm", c.valueType);
        m.SetValue(c.value);
        m.SetStatus(2);

        auto document = host::HostXmlDocument::Create();
        auto saved = m.Save(document);
        ASSERT_TRUE(saved);
        EXPECT_EQ(saved->Name(), "Measurement");
        EXPECT_EQ(saved->GetAttribute("Key"), "PACR2");
        EXPECT_EQ(ChildNames(*saved), (std::vector<std::string>{"Description", "Value", "Unit", "Status"}));
        EXPECT_EQ(saved->SelectChild("Description")->Text(), "20126::Pacer Rate");
        EXPECT_EQ(saved->SelectChild("Value")->GetAttribute("ValueType"), std::to_string(c.savedType));
        EXPECT_EQ(m.ValueType(), c.valueType); // only the stored element carries the NOSYNC mark

        auto log = std::make_shared<host::HostLoadLog>();
        CMeasurement loaded;
        loaded.Load(saved, log);
        EXPECT_EQ(loaded.Key(), "PACR2");
        EXPECT_EQ(loaded.Description(), "Pacer Rate");
        EXPECT_EQ(loaded.Unit(), " ppm");
        EXPECT_EQ(loaded.value(), c.value);
        EXPECT_EQ(loaded.ValueType(), c.loadedType);
        EXPECT_EQ(loaded.Status(), 2);
        EXPECT_TRUE(log->Entries().empty());
        ASSERT_EQ(log->Sections().size(), 1u);
        EXPECT_EQ(log->Sections()[0].moduleKey, "ZARVIK");
        EXPECT_EQ(log->Sections()[0].text, "");
        EXPECT_EQ(log->OpenSectionCount(), 0);

        // What was loaded saves as it was read.
        EXPECT_EQ(loaded.Save(host::HostXmlDocument::Create())->Xml(), saved->Xml());
    }
}

// The preset a value was rated against is stored with it and restored over the one the record
// gives on loading (the configuration's, which may have changed since); an element without it
// keeps the record's preset.
TEST(CMeasurementXml, ThePresetTravelsWithTheMeasurement)
{
    const Variant presets[] = {Variant(100.0f), Variant(0.1f), Variant(std::numeric_limits<float>::max()),
                               Variant(-std::numeric_limits<float>::max()), Variant(int32_t{60}), Variant(0.05)};
    for (const Variant& preset : presets) {
        SCOPED_TRACE(plat::CStr(preset));
        CMeasurement m;
        m.Initialize("ENGY", "20120::Energy", "J", 1);
        m.SetValue(100.0);
        m.SetPresetValue(preset);
        m.SetStatus(1);
        auto saved = m.Save(host::HostXmlDocument::Create());
        ASSERT_TRUE(saved);
        EXPECT_EQ(ChildNames(*saved), (std::vector<std::string>{"Description", "Value", "Unit", "Status", "PresetValue"}));

        CMeasurement loaded;
        loaded.Initialize("ENGY", "20120::Energy", "J", 1);
        loaded.SetPresetValue(150.0f); // the configuration's preset as it is now
        loaded.Load(saved, nullptr);
        EXPECT_EQ(loaded.PresetValue(), preset);
        EXPECT_EQ(loaded.PresetValue().Type(), preset.Type());
        EXPECT_EQ(loaded.Save(host::HostXmlDocument::Create())->Xml(), saved->Xml());
    }

    // No preset, or one that no element can hold, writes no preset; the measurement is saved.
    for (const Variant& preset : {Variant(), Variant(plat::VariantArray::OneDim(0, 1))}) {
        CMeasurement unset;
        unset.Initialize("PULW", "", "ms", 1);
        unset.SetValue(5.0);
        unset.SetPresetValue(preset);
        auto saved = unset.Save(host::HostXmlDocument::Create());
        ASSERT_TRUE(saved);
        EXPECT_EQ(ChildNames(*saved), (std::vector<std::string>{"Value", "Unit", "Status"}));
    }

    CMeasurement older;
    older.SetPresetValue(150.0f);
    older.Load(Parse(R"(<Measurement Key="ENGY"><Value Type="Double" ValueType="1">100</Value></Measurement>)"), nullptr);
    EXPECT_EQ(older.PresetValue(), Variant(150.0f));
}

// A "NOSYNC" delay saved between two ratings: the save marks the stored element only, so the
// second rating still fails it, and a number measured later is saved and read back as a number.
TEST(CMeasurementXml, SavingANoSyncDelayLeavesTheMeasurementANumber)
{
    auto limits = std::make_shared<FakeLimits>();
    ItemSetup delay;
    delay.key = "CADT";
    delay.upper = 60;
    delay.lower = 0;
    auto standard = MakeStandard({delay});
    limits->standards->Add(standard);
    auto given = std::make_shared<HostStandards>();
    given->Add(standard->Copy());

    auto m = MakeMeasurement("CADT", "NOSYNC");
    m->UpdateStatus(limits, given);
    EXPECT_EQ(m->GetStatus(), 2);
    EXPECT_EQ(m->Save(host::HostXmlDocument::Create())->SelectChild("Value")->GetAttribute("ValueType"), "5");
    EXPECT_EQ(m->ValueType(), 1);
    m->UpdateStatus(limits, given);
    EXPECT_EQ(m->GetStatus(), 2);

    m->SetValue(40.0);
    auto saved = m->Save(host::HostXmlDocument::Create());
    EXPECT_EQ(saved->SelectChild("Value")->GetAttribute("ValueType"), "1");
    CMeasurement loaded;
    loaded.Load(saved, std::make_shared<host::HostLoadLog>());
    EXPECT_EQ(loaded.ValueType(), 1);

    // A number stored with the mark (as older files may hold it) is rated as a number.
    for (const auto& [value, status] : {std::pair{Variant(40.0), 1}, std::pair{Variant(75.0), 2}}) {
        auto marked = MakeMeasurement("CADT", value, {}, CMeasurement::ValueTypeNoSync);
        marked->UpdateStatus(limits, given);
        EXPECT_EQ(marked->GetStatus(), status);
        EXPECT_TRUE(marked->SupportsLimit(HostLimitItem::UpperBound));
    }
}

TEST(CMeasurementXml, EmptyTextsAreLeftOutAndTheStatusTextTravelsWithTheStatus)
{
    auto element = Parse(R"(<Measurement Key="ECGR"><Status Text="seen" TextType="String">1</Status></Measurement>)");
    CMeasurement m;
    m.Load(element, nullptr);
    auto saved = m.Save(host::HostXmlDocument::Create());
    ASSERT_TRUE(saved);
    EXPECT_EQ(ChildNames(*saved), (std::vector<std::string>{"Value", "Status"}));
    EXPECT_EQ(saved->SelectChild("Status")->Xml(), element->SelectChild("Status")->Xml());
}

TEST(CMeasurementXml, AMeasurementWithoutKeyWritesNothing)
{
    CMeasurement m;
    m.Initialize("", "20120::Energy", "J", 1);
    m.SetValue(5.0);
    auto document = host::HostXmlDocument::Create();
    EXPECT_EQ(m.Save(document), nullptr);
    EXPECT_EQ(document->DocumentElement(), nullptr);
}

TEST(CMeasurementXml, SavingWithoutADocumentRaisesTheSaveError)
{
    CMeasurement m;
    m.Initialize("ENGY", "", "J", 1);
    try {
        m.Save(nullptr);
        ADD_FAILURE() << "the save did not fail";
    } catch (const plat::ComError& e) {
        EXPECT_EQ(e.Number(), CMeasurement::ErrorSave);
        EXPECT_EQ(e.Source(), "TelvoZarvikTest.CMeasurement");
    }
}

TEST(CMeasurementXml, AnElementOfAnotherNameFailsTheLoadAndClosesItsLogSection)
{
    auto log = std::make_shared<host::HostLoadLog>();
    CMeasurement m;
    const plat::ComError e = FailingLoad(m, Parse(R"(<Result Key="ENGY"/>)"), log);
    EXPECT_EQ(e.Number(), static_cast<int32_t>(0x8004A3FFu));
    EXPECT_EQ(e.Source(), "TelvoZarvikTest.CMeasurement");
    EXPECT_EQ(e.Level(), 4);
    EXPECT_EQ(log->Sections().size(), 1u);
    EXPECT_EQ(log->OpenSectionCount(), 0);
    EXPECT_TRUE(log->Entries().empty());
    EXPECT_EQ(m.Key(), ""); // nothing was read

    EXPECT_EQ(FailingLoad(m, nullptr, nullptr).Number(), CMeasurement::ErrorLoad);
}

TEST(CMeasurementXml, AMissingKeyIsLoggedAndFailsTheLoad)
{
    for (const char* xml : {R"(<Measurement><Unit>J</Unit></Measurement>)", R"(<Measurement Key=""/>)"}) {
        SCOPED_TRACE(xml);
        auto log = std::make_shared<host::HostLoadLog>();
        CMeasurement m;
        const plat::ComError e = FailingLoad(m, Parse(xml), log);
        EXPECT_EQ(e.Number(), CMeasurement::ErrorLoad);
        EXPECT_EQ(e.Source(), "TelvoZarvikTest.CMeasurement");
        EXPECT_EQ(e.Level(), 2);
        ASSERT_EQ(log->Entries().size(), 1u);
        const auto& entry = log->Entries()[0];
        EXPECT_EQ(entry.section, log->Sections()[0].number);
        EXPECT_EQ(entry.code, static_cast<int32_t>(0x8004A3FFu));
        EXPECT_EQ(entry.severity, 2);
        EXPECT_EQ(entry.text, "Can not load a measurement because its key is missing");
        EXPECT_TRUE(entry.arguments.items.empty());
        EXPECT_EQ(log->OpenSectionCount(), 0);

        // Without a log the load fails the same way.
        CMeasurement unlogged;
        EXPECT_EQ(FailingLoad(unlogged, Parse(xml), nullptr).Level(), 2);
    }
}

TEST(CMeasurementXml, AnUnreadableChildIsReportedAndTheLoadKeepsWhatItRead)
{
    host::HostErrorRaiser::ReportCapture capture;
    auto log = std::make_shared<host::HostLoadLog>();
    CMeasurement m;
    m.Initialize("OLD", "old", "s", 2);
    m.SetStatus(1);
    m.Load(Parse(R"(<Measurement Key="PULW"><Description>20123::Pulse Width</Description>)"
                 R"(<Value Type="Long" ValueType="1">abc</Value><Unit>ms</Unit></Measurement>)"),
           log);

    ASSERT_EQ(capture.Reports().size(), 1u);
    EXPECT_EQ(capture.Reports()[0].reportedBy, "TelvoZarvikTest.CMeasurement");
    EXPECT_EQ(m.Key(), "PULW");
    EXPECT_EQ(m.Description(), "Pulse Width");
    EXPECT_EQ(m.Unit(), "s");  // after the broken value nothing more was read
    EXPECT_EQ(m.ValueType(), 2);
    EXPECT_EQ(m.Status(), 1);
    EXPECT_EQ(log->OpenSectionCount(), 0);
}

TEST(CMeasurementXml, OtherChildrenAreSkippedAndMissingOnesLeaveTheirFields)
{
    CMeasurement m;
    m.Initialize("PACR", "20126::Pacer Rate", "", 1);
    m.SetValue(70);
    m.SetStatus(1);
    m.Load(Parse(R"(<Measurement Key="PACR"><Comment>x</Comment><Unit> ppm</Unit></Measurement>)"), nullptr);
    EXPECT_EQ(m.Unit(), " ppm");
    EXPECT_EQ(m.value(), Variant(70));
    EXPECT_EQ(m.Status(), 1);
    EXPECT_EQ(m.Description(), "Pacer Rate");
}
