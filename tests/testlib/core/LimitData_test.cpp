#include "host/documents/HostErrorRaiser.h"
#include "host/standards/HostFormulaLimit.h"
#include "host/standards/HostLimitItem.h"
#include "host/documents/HostLoadLog.h"
#include "host/report/HostPrintContext.h"
#include "host/report/HostReport.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "host/documents/HostTranslator.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "hostcontrols/XLimitView.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/base/RegistryStore.h"
#include "platform/com/ComRuntime.h"
#include "testlib/core/CLimitData.h"
#include "testlib/core/CMeasurement.h"
#include "testlib/core/FDialogWrapper.h"
#include "testlib/core/IZARVIKPlugIn.h"
#include "testlib/core/MMiscUtils.h"
#include "tests/support/LimitItems.h"
#include "tests/support/TempFolder.h"
#include "tests/testlib/core/LimitFakes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <limits>
#include <vector>

using host::HostLimitItem;
using host::HostStandard;
using host::HostStandards;
using plat::ComError;
using plat::Variant;
using ztest::CLimitData;
using ztest::CMeasurement;
using ztesting::FakeTestElement;
using ztesting::FakeResult;

namespace {

constexpr int kUpper = HostLimitItem::UpperBound;
constexpr int kLower = HostLimitItem::LowerBound;

// The plug-in entry as the limits ask it for catalogue standards.
class FakePlugIn : public ztest::IZARVIKPlugIn {
public:
    std::shared_ptr<HostStandard> LoadStandard(int32_t testId, const std::string& alphaName,
                                               const std::string& completeName) override
    {
        asked.push_back(std::to_string(testId) + " " + alphaName + " " + completeName);
        return answer;
    }

    std::shared_ptr<HostStandard> answer;
    std::vector<std::string> asked;
};

// Every test starts as a freshly loaded library: no plug-in stored. Errors the limits report
// are collected instead of printed.
class LimitData : public ::testing::Test {
protected:
    LimitData() { ztest::MMiscUtils::ResetModuleState(); }
    ~LimitData() override { ztest::MMiscUtils::ResetModuleState(); }

    // Limits owned by a test element of the type, as a test element's construction makes them;
    // the element holds the result when one is given.
    std::shared_ptr<CLimitData> OwnedLimits(int32_t testType, std::shared_ptr<host::IResultData> result = nullptr)
    {
        auto element = std::make_shared<FakeTestElement>(testType, std::move(result));
        auto limits = std::make_shared<CLimitData>();
        limits->SetOwner(element, true);
        element->SetLimits(limits);
        elements.push_back(element);
        return limits;
    }

    std::shared_ptr<host::HostXmlElement> ParseElement(const std::string& xml)
    {
        auto document = host::HostXmlDocument::Create();
        document->LoadXml(xml);
        return document->DocumentElement();
    }

    host::HostErrorRaiser::ReportCapture reports;
    std::vector<std::shared_ptr<FakeTestElement>> elements;
};

struct DefaultItem {
    const char* key;
    const char* unit;
    const char* upperFormula;
};

void ExpectDefaultItems(const HostStandard& standard, const std::vector<DefaultItem>& expected)
{
    ASSERT_EQ(standard.Count(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const HostLimitItem& item = *standard.Item(i);
        SCOPED_TRACE(expected[i].key);
        EXPECT_EQ(item.Key(), expected[i].key);
        EXPECT_EQ(item.Unit(), expected[i].unit);
        EXPECT_EQ(item.Formula(kUpper), expected[i].upperFormula);
        EXPECT_EQ(item.Formula(kLower), "");
        EXPECT_EQ(item.Caption(), "");
        EXPECT_EQ(item.Note(), "");
        // The host's new item: formula-capable, both bounds disabled.
        EXPECT_NE(dynamic_cast<const host::HostFormulaLimit*>(&item), nullptr);
        EXPECT_FALSE(item.Enabled(kUpper));
        EXPECT_FALSE(item.Enabled(kLower));
    }
}

const char* const kPercent = "X+(X*Y%)";

} // namespace

// ---- New standards ---------------------------------------------------------------------------

TEST_F(LimitData, ANewStandardStartsWithTheDefaultItemsOfItsType)
{
    struct Case {
        int32_t testType;
        std::vector<DefaultItem> items;
    };
    const Case cases[] = {
        {100, {{"ENGY", "J", kPercent}, {"PULW", "ms", ""}, {"PEAC", "A", ""}, {"PEAV", "V", ""}}},
        {200, {{"ENGY", "J", kPercent}, {"CHTI", "s", ""}, {"PEAC", "A", ""}, {"PEAV", "V", ""}}},
        {300, {{"ENGY", "J", kPercent}, {"CADT", "ms", ""}, {"PEAC", "A", ""}, {"PEAV", "V", ""}}},
        {400, {}},
        {500, {}},
        {600, {}},
        {700, {{"PACR", " ppm", ""}, {"PACC", " A", ""}, {"PACW", " ms", ""}}},
        {800, {{"SENS", "ms", ""}, {"PACE", "ms", ""}}},
        {900, {{"CHTI", "s", ""}}},
        {1000, {{"ENGY", "J", ""}, {"PLSC", "s", ""}}},
        {1100, {}},
        {0, {}},
        {1200, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.testType));
        auto limits = OwnedLimits(c.testType);
        const auto standard = limits->CreateStandard("IEC", "IEC 60601-2-4");
        ASSERT_NE(standard, nullptr);
        EXPECT_EQ(standard->AlphaName(), "IEC");
        EXPECT_EQ(standard->CompleteName(), "IEC 60601-2-4");
        EXPECT_EQ(standard->Kind(), 1);
        ExpectDefaultItems(*standard, c.items);
        ASSERT_NE(limits->Standards(), nullptr);
        ASSERT_EQ(limits->Standards()->Count(), 1u);
        EXPECT_EQ(limits->Standards()->Item(0), standard);
    }
    EXPECT_TRUE(reports.Reports().empty());
}

TEST_F(LimitData, CreateStandardAsksThePlugInFirst)
{
    auto plugIn = std::make_shared<FakePlugIn>();
    ztest::MMiscUtils::StorePlugInPointer(plugIn);
    auto limits = OwnedLimits(100);

    // The plug-in's standard is added as it is, without default items.
    plugIn->answer = std::make_shared<HostStandard>();
    plugIn->answer->Initialize("IEC", "IEC from the catalogue", 7);
    auto item = HostLimitItem::Create();
    item->Initialize("ENGY", "J", "", "");
    plugIn->answer->AddItem(item);
    const auto fromCatalogue = limits->CreateStandard("IEC", "IEC 60601-2-4");
    EXPECT_EQ(fromCatalogue, plugIn->answer);
    EXPECT_EQ(fromCatalogue->Count(), 1u);
    EXPECT_EQ(plugIn->asked, std::vector<std::string>{"100 IEC IEC 60601-2-4"});

    // A plug-in without that standard: the defaults of the type.
    plugIn->answer = nullptr;
    const auto defaults = limits->CreateStandard("House", "House rules");
    ASSERT_NE(defaults, nullptr);
    EXPECT_EQ(defaults->Count(), 4u);
    EXPECT_EQ(plugIn->asked.back(), "100 House House rules");
    EXPECT_EQ(limits->Standards()->Count(), 2u);
    EXPECT_TRUE(reports.Reports().empty());
}

TEST_F(LimitData, CreateStandardWithoutAnOwnerGivesNoneAndReportsIt)
{
    auto plugIn = std::make_shared<FakePlugIn>();
    ztest::MMiscUtils::StorePlugInPointer(plugIn);

    auto ownerless = std::make_shared<CLimitData>();
    EXPECT_EQ(ownerless->CreateStandard("IEC", "IEC 60601-2-4"), nullptr);
    EXPECT_EQ(ownerless->Standards(), nullptr);
    EXPECT_TRUE(plugIn->asked.empty());
    ASSERT_EQ(reports.Reports().size(), 1u);
    EXPECT_EQ(reports.Reports()[0].reportedBy, CLimitData::ErrorSource);
}

// ---- Owner -----------------------------------------------------------------------------------

TEST_F(LimitData, TheLimitsNeverKeepTheirOwnerAlive)
{
    auto element = std::make_shared<FakeTestElement>(100);
    auto limits = std::make_shared<CLimitData>();
    limits->SetOwner(element, true);
    element->SetLimits(limits); // the element keeps its limits, as every test element does
    EXPECT_EQ(limits->Owner(), element);

    std::weak_ptr<FakeTestElement> watch = element;
    element.reset();
    EXPECT_TRUE(watch.expired());

    // Without its owner the limits behave as limits without one.
    EXPECT_EQ(limits->Owner(), nullptr);
    EXPECT_EQ(limits->CreateStandard("IEC", "IEC"), nullptr);
    EXPECT_EQ(reports.Reports().size(), 1u);
}

// ---- Rating ----------------------------------------------------------------------------------

namespace {

std::shared_ptr<HostStandard> EnergyStandard(const std::string& alpha, const std::string& complete, float upper, float lower)
{
    return ztesting::MakeStandard(
        alpha, complete, {{.key = "ENGY", .unit = "J", .upper = {true, upper, ""}, .lower = {true, lower, ""}}});
}

std::shared_ptr<CMeasurement> Energy(const std::string& key, Variant value, Variant preset = Variant())
{
    auto measurement = std::make_shared<CMeasurement>();
    measurement->Initialize(key, "20120::Energy", "J", 1);
    measurement->SetValue(value);
    measurement->SetPresetValue(preset);
    measurement->SetValueFormat("0.0");
    return measurement;
}

std::vector<std::string> Names(const std::shared_ptr<HostStandards>& standards)
{
    std::vector<std::string> names;
    if (standards) {
        for (const auto& standard : *standards) names.push_back(standard->AlphaName());
    }
    return names;
}

} // namespace

TEST_F(LimitData, FindFailedStandardsGivesThisObjectsStandardsInWhichTheValueFails)
{
    auto limits = OwnedLimits(1000);
    auto standards = std::make_shared<HostStandards>();
    standards->Add(EnergyStandard("IEC", "IEC 60601-2-4", 110.0f, 90.0f));
    standards->Add(EnergyStandard("House", "House rules", 105.0f, 95.0f));
    {
        // Stored and loaded elsewhere, then copied in, so that the limits hold standards of
        // their own that share nothing with those built here.
        auto holder = std::make_shared<CLimitData>();
        auto document = host::HostXmlDocument::Create();
        auto element = standards->Save(document);
        element->SetName("ExpectedResult");
        holder->Load(element, nullptr);
        limits->CopyStandards(holder);
    }
    ASSERT_EQ(limits->Standards()->Count(), 2u);

    // The host asks with standards of its own, known by name; one of them the limits lack.
    auto asked = std::make_shared<HostStandards>();
    asked->Add(EnergyStandard("Other", "Other rules", 1.0f, 0.0f));
    asked->Add(EnergyStandard("House", "House rules", 1000.0f, 0.0f));
    asked->Add(EnergyStandard("IEC", "IEC 60601-2-4", 1000.0f, 0.0f));

    struct Case {
        const char* key;
        Variant value;
        std::vector<std::string> failed;
    };
    const Case cases[] = {
        {"ENGY", Variant(100.0f), {}},
        {"ENGY", Variant(105.0f), {}}, // equal to House's upper bound: passes
        {"ENGY", Variant(107.0f), {"House"}},
        {"ENGY", Variant(120.0f), {"House", "IEC"}}, // in the order the host asked
        {"ENGY", Variant(90.0f), {"House"}},
        {"ENGY3", Variant(107.0f), {"House"}},       // a numbered key meets the ENGY items
        {"ENGY14", Variant(89.0f), {"House", "IEC"}},
        {"ENGY", Variant("107.0"), {"House"}},       // a stored text is read as its number
        {"ENGY", Variant("NOSYNC"), {"House", "IEC"}}, // no number cannot pass a limit
        {"PLSC", Variant(1e9f), {}},                   // no item of that key
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + plat::CStr(c.value));
        const auto failed = limits->FindFailedStandards(Energy(c.key, c.value), asked);
        EXPECT_EQ(Names(failed), c.failed);
        if (failed) {
            // The result holds the limits' own standards, not the host's.
            for (const auto& standard : *failed) {
                EXPECT_EQ(standard, limits->Standards()->Find(standard->AlphaName(), standard->CompleteName()));
            }
        }
    }

    // Nothing to rate with, or nothing to rate: none.
    EXPECT_EQ(limits->FindFailedStandards(nullptr, asked), nullptr);
    EXPECT_EQ(limits->FindFailedStandards(Energy("ENGY", Variant(500.0f)), nullptr), nullptr);
    EXPECT_EQ(OwnedLimits(100)->FindFailedStandards(Energy("ENGY", Variant(500.0f)), asked), nullptr);
}

TEST_F(LimitData, FormulaLimitsStartFromThePresetValue)
{
    auto limits = OwnedLimits(100);
    const auto standard = limits->CreateStandard("IEC", "IEC 60601-2-4");
    const auto& energy = standard->Item(0);
    energy->SetEnabled(kUpper, true);
    energy->SetValue(kUpper, 15.0f); // X+(X*15%)
    const auto& current = standard->Item(2);
    current->SetFormula(kUpper, "X+Y");
    current->SetEnabled(kUpper, true);
    current->SetValue(kUpper, 50.0f);

    struct Case {
        const char* name;
        const char* key;
        Variant value;
        Variant preset;
        bool fails;
    };
    const float largest = std::numeric_limits<float>::max();
    const Case cases[] = {
        {"at 15 % above the preset", "ENGY", Variant(115.0f), Variant(100.0f), false},
        {"beyond 15 % above the preset", "ENGY", Variant(116.0f), Variant(100.0f), true},
        // No preset is X = 0, so "X+Y" is the plain Y.
        {"no preset: the plain Y", "PEAC", Variant(50.0f), Variant(), false},
        {"no preset: beyond the plain Y", "PEAC", Variant(50.5f), Variant(), true},
        {"a zero preset allows zero", "ENGY", Variant(0.0f), Variant(0.0f), false},
        {"a zero preset allows nothing above it", "ENGY", Variant(0.5f), Variant(0.0f), true},
        {"a negative preset: X+Y reached", "PEAC", Variant(-50.0f), Variant(-100.0f), false},
        {"a negative preset: X+Y exceeded", "PEAC", Variant(-49.0f), Variant(-100.0f), true},
        // 15 % of a negative preset lies below it: -115 for -100.
        {"a negative preset: the percentage below it", "ENGY", Variant(-116.0f), Variant(-100.0f), false},
        {"a negative preset: above the percentage", "ENGY", Variant(-114.0f), Variant(-100.0f), true},
        // A limit that cannot be worked out never lets a value pass.
        {"15 % above the largest Single overflows", "ENGY", Variant(1.0f), Variant(largest), true},
        {"a preset beyond a Single", "ENGY", Variant(1.0f), Variant(1e39), true},
        {"a preset beyond a Single, negative", "PEAC", Variant(1.0f), Variant(-1e39), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto failed = limits->FindFailedStandards(Energy(c.key, c.value, c.preset), limits->Standards());
        EXPECT_EQ(failed != nullptr, c.fails);
    }
}

// ---- Persistence and copies ------------------------------------------------------------------

TEST_F(LimitData, SaveAndLoadRoundTripAsExpectedResult)
{
    auto limits = OwnedLimits(700);
    limits->CreateStandard("IEC", "IEC 60601-2-4");
    const auto house = limits->CreateStandard("House", "House rules");
    house->Item(0)->SetEnabled(kLower, true);
    house->Item(0)->SetValue(kLower, 69.5f);
    house->Item(1)->SetFormula(kUpper, "X+(X*Y%)");

    auto document = host::HostXmlDocument::Create();
    const auto element = limits->Save(document);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->Name(), "ExpectedResult");
    document->AppendChild(element);

    auto reread = host::HostXmlDocument::Create();
    reread->LoadXml(document->Xml());
    auto loaded = std::make_shared<CLimitData>();
    loaded->Load(reread->DocumentElement(), std::make_shared<host::HostLoadLog>());
    ASSERT_NE(loaded->Standards(), nullptr);

    auto again = host::HostXmlDocument::Create();
    again->AppendChild(loaded->Save(again));
    EXPECT_EQ(again->Xml(), document->Xml());
    EXPECT_EQ(loaded->Standards()->Item(1)->Item(0)->Value(kLower), 69.5f);
    EXPECT_EQ(loaded->Standards()->Item(0)->Item(0)->Unit(), " ppm");
    EXPECT_TRUE(reports.Reports().empty());
}

TEST_F(LimitData, LoadRefusesAnotherElementWithItsOwnError)
{
    auto limits = OwnedLimits(100);
    limits->CreateStandard("IEC", "IEC 60601-2-4");
    const auto before = limits->Standards();

    for (const char* xml : {"<Measurement Key=\"ENGY\"/>", "<expectedresult/>"}) {
        SCOPED_TRACE(xml);
        try {
            limits->Load(ParseElement(xml), nullptr);
            ADD_FAILURE() << "loaded";
        } catch (const ComError& error) {
            EXPECT_EQ(error.Number(), CLimitData::ErrorLoad);
            EXPECT_EQ(error.Number(), static_cast<int32_t>(0x8004A4EEu));
            EXPECT_EQ(error.Source(), "TelvoZarvikTest.CLimitData");
        }
        EXPECT_EQ(limits->Standards(), before);
    }
    EXPECT_THROW(limits->Load(nullptr, nullptr), ComError);
    EXPECT_TRUE(reports.Reports().empty());
}

TEST_F(LimitData, ALoadThatFailsHalfWayKeepsWhatWasThere)
{
    auto limits = OwnedLimits(100);
    limits->CreateStandard("IEC", "IEC 60601-2-4");
    const auto before = limits->Standards();

    // The first standard reads well; the second has a bound that is no number.
    auto log = std::make_shared<host::HostLoadLog>();
    limits->Load(ParseElement(R"xml(<ExpectedResult>
        <Standard AlphaName="A" CompleteName="A"><LimitItem Key="ENGY"/></Standard>
        <Standard AlphaName="B" CompleteName="B"><LimitItem Key="ENGY"><Upper Enabled="True" Value="ten"/></LimitItem></Standard>
      </ExpectedResult>)xml"),
                 log);

    EXPECT_EQ(limits->Standards(), before);
    ASSERT_EQ(before->Count(), 1u);
    EXPECT_EQ(before->Item(0)->AlphaName(), "IEC");
    EXPECT_EQ(before->Item(0)->Count(), 4u);
    ASSERT_EQ(log->Entries().size(), 1u);
    EXPECT_NE(log->Entries()[0].text.find("\"ten\""), std::string::npos);
    ASSERT_EQ(reports.Reports().size(), 1u);
    EXPECT_EQ(reports.Reports()[0].number, HostStandards::ErrorBadContent);
    EXPECT_EQ(reports.Reports()[0].reportedBy, CLimitData::ErrorSource);
}

TEST_F(LimitData, AnExpectedResultWithoutStandardsLeavesNone)
{
    auto limits = OwnedLimits(100);
    limits->CreateStandard("IEC", "IEC 60601-2-4");
    limits->Load(ParseElement("<ExpectedResult/>"), nullptr);
    EXPECT_EQ(limits->Standards(), nullptr);
    EXPECT_EQ(limits->Save(host::HostXmlDocument::Create()), nullptr);

    // Emptied standards (as a new test from the catalogue has them) save nothing either.
    limits->CreateStandard("IEC", "IEC 60601-2-4");
    limits->Standards()->ReleaseAll();
    EXPECT_EQ(limits->Save(host::HostXmlDocument::Create()), nullptr);
}

TEST_F(LimitData, CloneCopiesTheStandardsDeepAndTheDialogFlagButNotTheOwner)
{
    auto limits = OwnedLimits(100);
    limits->CreateStandard("IEC", "IEC 60601-2-4");
    limits->SetHasDialog(false);

    const auto clone = std::dynamic_pointer_cast<CLimitData>(limits->Clone());
    ASSERT_NE(clone, nullptr);
    EXPECT_FALSE(clone->HasDialog());
    EXPECT_EQ(clone->Owner(), nullptr);
    ASSERT_NE(clone->Standards(), nullptr);
    ASSERT_NE(clone->Standards(), limits->Standards());
    ASSERT_EQ(clone->Standards()->Count(), 1u);

    // Changing the clone changes nothing of the original.
    const auto& cloneItem = clone->Standards()->Item(0)->Item(0);
    EXPECT_NE(cloneItem, limits->Standards()->Item(0)->Item(0));
    cloneItem->SetEnabled(kUpper, true);
    cloneItem->SetValue(kUpper, 99.0f);
    clone->Standards()->Item(0)->SetAlphaName("Changed");
    clone->CreateStandard("More", "More"); // no owner: nothing is added
    EXPECT_FALSE(limits->Standards()->Item(0)->Item(0)->Enabled(kUpper));
    EXPECT_EQ(limits->Standards()->Item(0)->AlphaName(), "IEC");
    EXPECT_EQ(clone->Standards()->Count(), 1u);

    // Limits without standards clone to limits without standards.
    const auto bare = OwnedLimits(100)->Clone();
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->Standards(), nullptr);
    EXPECT_TRUE(bare->HasDialog());

    // CopyStandards takes a copy too, and drops what was there.
    auto copied = OwnedLimits(200);
    copied->CreateStandard("Old", "Old");
    copied->CopyStandards(limits);
    EXPECT_EQ(Names(copied->Standards()), std::vector<std::string>{"IEC"});
    EXPECT_NE(copied->Standards()->Item(0), limits->Standards()->Item(0));
    copied->CopyStandards(OwnedLimits(200));
    EXPECT_EQ(copied->Standards(), nullptr);
}

TEST_F(LimitData, TheRestOfTheHostInterface)
{
    auto limits = OwnedLimits(100);
    EXPECT_TRUE(limits->HasDialog());
    limits->SetDescription("ignored");
    EXPECT_EQ(limits->Description(), "");

    limits->CreateStandard("IEC", "IEC 60601-2-4");
    limits->UpdateLimits(limits);
    EXPECT_EQ(limits->Standards()->Count(), 1u);
    EXPECT_EQ(limits->Standards()->Item(0)->Count(), 4u);

    // Without standards nothing is printed.
    auto report = std::make_shared<host::HostReport>();
    OwnedLimits(100)->PrintReport(report, std::make_shared<host::HostPrintContext>());
    EXPECT_TRUE(report->Lines().empty());
}

// ---- Printing --------------------------------------------------------------------------------

TEST_F(LimitData, PrintsARatedMeasurementSetWithItsStandards)
{
    auto translator = std::make_shared<host::HostTranslator>();
    translator->SetText("ZARVIK", "20123", "Pulse width");
    auto report = std::make_shared<host::HostReport>(translator);

    // An energy test with its result and two standards from the catalogue form.
    auto result = std::make_shared<FakeResult>();
    auto element = std::make_shared<FakeTestElement>(100, result);
    auto limits = std::make_shared<CLimitData>();
    limits->SetOwner(element, true);
    element->SetLimits(limits);
    limits->Load(ParseElement(R"xml(<ExpectedResult>
        <Standard AlphaName="IEC" CompleteName="IEC 60601-2-4">
          <LimitItem Key="ENGY" Unit="J">
            <Upper Enabled="True" Value="15" Formula="X+(X*Y%)"/>
            <Lower Enabled="True" Value="-15" Formula="X+(X*Y%)"/>
          </LimitItem>
          <LimitItem Key="PULW" Unit="ms"><Upper Enabled="True" Value="5"/><Lower Enabled="True" Value="3"/></LimitItem>
          <LimitItem Key="PEAC" Unit="A"><Upper Enabled="True" Value="60"/><Lower Enabled="True" Value="40"/></LimitItem>
          <LimitItem Key="PEAV" Unit="V"/>
        </Standard>
        <Standard AlphaName="House" CompleteName="House rules">
          <LimitItem Key="ENGY" Unit="J"><Upper Enabled="True" Value="1" Formula="X+Y"/></LimitItem>
        </Standard>
      </ExpectedResult>)xml"),
                 nullptr);
    ASSERT_NE(limits->Standards(), nullptr);

    struct Measured {
        const char* key;
        const char* caption;
        const char* unit;
        Variant value;
        Variant preset;
        int32_t status;
    };
    const Measured measured[] = {
        {"ENGY", "20120::Energy", "J", Variant(101.5f), Variant(100.0f), CMeasurement::StatusFailed}, // House
        {"PULW", "20123::Pulse Width", "ms", Variant("5.2"), Variant(), CMeasurement::StatusFailed},  // IEC
        {"PEAC", "20122::Peak Current", "A", Variant(45.25f), Variant(), CMeasurement::StatusPassed},
        {"PEAV", "20121::Peak Voltage", "V", Variant(2100.0f), Variant(), CMeasurement::StatusPassed},
    };
    for (const Measured& m : measured) {
        auto measurement = std::make_shared<CMeasurement>();
        measurement->Initialize(m.key, m.caption, m.unit, 1);
        measurement->SetValue(m.value);
        measurement->SetPresetValue(m.preset);
        measurement->UpdateStatus(limits, limits->Standards());
        EXPECT_EQ(measurement->GetStatus(), m.status) << m.key;
        result->measurements[m.key] = measurement;
    }

    limits->PrintReport(report, std::make_shared<host::HostPrintContext>());
    EXPECT_EQ(report->Text(),
              "Standard IEC - IEC 60601-2-4\n"
              "Quantity              Lower limit  Upper limit        Value Unit     Result\n"
              "------------------------------------------------------------------------------\n"
              "Energy                       85.0        115.0        101.5 J        Passed\n"
              "Pulse width                   3.0          5.0          5.2 ms       Failed\n"
              "Peak Current                 40.0         60.0         45.3 A        Passed\n"
              "Peak Voltage                    -            -       2100.0 V\n"
              "Standard House - House rules\n"
              "Quantity              Lower limit  Upper limit        Value Unit     Result\n"
              "------------------------------------------------------------------------------\n"
              "Energy                          -        101.0        101.5 J        Failed\n"
              "Pulse width                     -            -          5.2 ms\n"
              "Peak Current                    -            -         45.3 A\n"
              "Peak Voltage                    -            -       2100.0 V\n");

    // A print context that selects one standard prints that one; one without a selection, or
    // none at all, prints every standard.
    auto context = std::make_shared<host::HostPrintContext>();
    auto selection = std::make_shared<HostStandards>();
    selection->Add(EnergyStandard("House", "House rules", 0, 0));
    context->SelectStandards(selection);
    report->Clear();
    limits->PrintReport(report, context);
    EXPECT_EQ(report->Lines().front(), "Standard House - House rules");
    EXPECT_EQ(report->Tables().size(), 1u);
    report->Clear();
    limits->PrintReport(report, nullptr);
    EXPECT_EQ(report->Tables().size(), 2u);

    // Without its owner the standards still print, without measured values.
    element.reset();
    result.reset();
    report->Clear();
    limits->PrintReport(report, nullptr);
    EXPECT_EQ(report->Lines()[3], "ENGY                   X+(X*-15%)    X+(X*15%)              J");
    EXPECT_TRUE(reports.Reports().empty());
}

// A run rated by one standard of two prints each standard's own verdict: a 110 J discharge
// passes IEC (15 %), by which it was rated, and reads Failed under STRICT (2 %), whose limits
// fail it; one that both fail reads Failed in both.
TEST_F(LimitData, ARunRatedByOneStandardPrintsEachStandardsOwnVerdict)
{
    auto result = std::make_shared<FakeResult>();
    auto limits = OwnedLimits(300, result);
    limits->Load(ParseElement(R"xml(<ExpectedResult>
        <Standard AlphaName="IEC" CompleteName="IEC">
          <LimitItem Key="ENGY" Unit="J">
            <Upper Enabled="True" Value="15" Formula="X+(X*Y%)"/><Lower Enabled="True" Value="-15" Formula="X+(X*Y%)"/>
          </LimitItem>
        </Standard>
        <Standard AlphaName="STRICT" CompleteName="STRICT">
          <LimitItem Key="ENGY" Unit="J">
            <Upper Enabled="True" Value="2" Formula="X+(X*Y%)"/><Lower Enabled="True" Value="-2" Formula="X+(X*Y%)"/>
          </LimitItem>
        </Standard>
      </ExpectedResult>)xml"),
                 nullptr);
    auto ratedBy = std::make_shared<HostStandards>();
    ratedBy->Add(EnergyStandard("IEC", "IEC", 0.0f, 0.0f));

    const struct {
        float joules;
        int32_t status;
        const char* iec;
        const char* strict;
    } cases[] = {
        {110.0f, CMeasurement::StatusPassed, "Energy                       85.0        115.0        110.0 J        Passed",
         "Energy                       98.0        102.0        110.0 J        Failed"},
        {120.0f, CMeasurement::StatusFailed, "Energy                       85.0        115.0        120.0 J        Failed",
         "Energy                       98.0        102.0        120.0 J        Failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.joules);
        auto energy = Energy("ENGY", Variant(c.joules), Variant(100.0f));
        energy->UpdateStatus(limits, ratedBy);
        ASSERT_EQ(energy->GetStatus(), c.status);
        result->measurements["ENGY"] = energy;
        auto report = std::make_shared<host::HostReport>();
        limits->PrintReport(report, std::make_shared<host::HostPrintContext>());
        ASSERT_EQ(report->Lines().size(), 8u) << report->Text();
        EXPECT_EQ(report->Lines()[3], c.iec);
        EXPECT_EQ(report->Lines()[7], c.strict);
    }
}

// ---- The limits dialog -----------------------------------------------------------------------

namespace {

// A temporary registry in which the host's control library is registered, so that the limit
// view can be created by ProgID; the process translator gives one caption a translation.
class LimitDialog : public LimitData {
protected:
    LimitDialog()
    {
        plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/libtelvoView.so");

        auto translator = std::make_shared<host::HostTranslator>();
        translator->SetText("ZARVIK", "20120", "Energie");
        mPreviousTranslator = host::HostTranslator::SetProcess(translator);
    }
    ~LimitDialog() override { host::HostTranslator::SetProcess(mPreviousTranslator); }

    // The limit view inside a dialog that CreateDialog made.
    static std::shared_ptr<host::XLimitView> ViewOf(const std::shared_ptr<host::IDialog>& dialog)
    {
        const auto wrapper = std::dynamic_pointer_cast<ztest::FDialogWrapper>(dialog);
        if (!wrapper || !wrapper->Control()) return nullptr;
        return plat::QueryInterface<host::XLimitView>(wrapper->Control()->Object());
    }

    ztesting::TempRegistry mRegistry;
    const std::string mDir = mRegistry.Folder();
    std::shared_ptr<host::HostTranslator> mPreviousTranslator;
};

struct Row {
    std::string key;
    std::string caption;
    std::string unit;
    std::string operators;
    bool operator==(const Row&) const = default;
};

std::vector<Row> RowsOf(const host::XLimitView& view)
{
    std::vector<Row> rows;
    for (const auto& row : view.Rows()) rows.push_back(Row{row.key, row.caption, row.unit, row.operators});
    return rows;
}

const char* const kOps = "<op>Y;X+Y;X+(X*Y%)</op>";

} // namespace

TEST_F(LimitDialog, TheViewGetsTheRowsOfTheOwnersType)
{
    struct Case {
        int32_t testType;
        std::vector<Row> rows;
    };
    const Case cases[] = {
        {100, {{"ENGY", "Energie", "J", kOps}, {"PULW", "Pulse Width", "ms", kOps}, {"PEAC", "Peak Current", "A", kOps}, {"PEAV", "Peak Voltage", "V", ""}}},
        {200, {{"ENGY", "Energie", "J", kOps}, {"CHTI", "Charge Time", "s", kOps}, {"PEAC", "Peak Current", "A", kOps}, {"PEAV", "Peak Voltage", "V", ""}}},
        {300, {{"ENGY", "Energie", "J", kOps}, {"CADT", "Cardio Delay Time", "ms", kOps}, {"PEAC", "Peak Current", "A", kOps}, {"PEAV", "Peak Voltage", "V", ""}}},
        {400, {}},
        {500, {}},
        {600, {}},
        {700, {{"PACR", "Pacer Rate", "", kOps}, {"PACC", "Pacer Current", "", kOps}, {"PACW", "Pacer Width", "ms", ""}}},
        {800, {{"SENS", "Sensed Rp", "ms", ""}, {"PACE", "Paced Rp", "ms", ""}}},
        {900, {{"CHTI", "Charge Time", "s", ""}}},
        {1000, {{"ENGY", "Energie", "J", kOps}, {"PLSC", "Pulse Count", "", ""}}},
        {1100, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.testType));
        auto limits = OwnedLimits(c.testType);
        const auto dialog = limits->CreateDialog();
        ASSERT_NE(dialog, nullptr);
        const auto view = ViewOf(dialog);
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(RowsOf(*view), c.rows);
        // The view edits these limits.
        EXPECT_EQ(view->Limits(), limits);
        dialog->Unload();
    }
    EXPECT_TRUE(reports.Reports().empty());
}

TEST_F(LimitDialog, TheDialogIsAHostDialogAroundTheView)
{
    auto limits = OwnedLimits(900);
    const auto dialog = limits->CreateDialog();
    ASSERT_NE(dialog, nullptr);
    const auto view = ViewOf(dialog);
    ASSERT_NE(view, nullptr);

    auto callback = std::make_shared<host::HostCallback>();
    dialog->SetCallBack(callback);
    EXPECT_EQ(view->CallBack(), callback);
    dialog->SetLocked(true);
    EXPECT_TRUE(view->Locked());
    EXPECT_TRUE(dialog->Locked());
    dialog->Unload();

    // Limits without an owner give a dialog without rows.
    auto ownerless = std::make_shared<CLimitData>();
    const auto empty = ownerless->CreateDialog();
    ASSERT_NE(empty, nullptr);
    ASSERT_NE(ViewOf(empty), nullptr);
    EXPECT_TRUE(ViewOf(empty)->Rows().empty());
    empty->Unload();
}

TEST_F(LimitDialog, NoDialogWithoutHasDialogOrWithoutTheView)
{
    auto limits = OwnedLimits(100);
    limits->SetHasDialog(false);
    EXPECT_EQ(limits->CreateDialog(), nullptr);
    limits->SetHasDialog(true);

    // A registry without the host's control library has no limit view to offer.
    plat::SetRegistryPath(mDir + "/empty-registry");
    EXPECT_EQ(limits->CreateDialog(), nullptr);
}
