#include "host/standards/HostFormulaLimit.h"
#include "host/standards/HostLimitItem.h"
#include "host/documents/HostLoadLog.h"
#include "host/report/HostPrintContext.h"
#include "host/report/HostReport.h"
#include "host/standards/HostStandard.h"
#include "host/standards/HostStandards.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/interfaces/IMeasurement.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "tests/support/LimitItems.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

using host::HostFormulaLimit;
using host::HostLimitItem;
using host::HostLoadLog;
using host::HostStandard;
using host::HostStandards;
using host::HostXmlDocument;
using host::HostXmlElement;
using plat::ComError;
using plat::Variant;

namespace {

constexpr int kUpper = HostLimitItem::UpperBound;
constexpr int kLower = HostLimitItem::LowerBound;

// Two standards that use every field: formula and plain items, units with leading blanks,
// the two further texts, odd floats, a disabled bound that keeps its value and formula, a
// standard without items, and texts that XML must escape.
std::shared_ptr<HostStandards> RichStandards()
{
    auto standards = std::make_shared<HostStandards>();

    standards->Add(ztesting::MakeStandard(
        "IEC", "IEC 60601-2-4 <\"&'>",
        {{.key = "ENGY", .unit = "J", .upper = {true, 15.0f, "X+(X*Y%)"}, .lower = {true, -15.0f, "X+(X*Y%)"},
          .caption = "20120::Energy", .note = "note & more\n\tand a tab"},
         {.key = "PACR", .unit = " ppm", .upper = {true, 0.1f, ""}, .lower = {false, 1e-7f, "X+Y"}},
         {.key = "PEAV", .unit = "V", .upper = {false, 3.4e38f, "X+Y"}, .lower = {true, -0.0f, ""}, .formulaCapable = false}}));

    standards->Add(ztesting::MakeStandard("", "", {}, -7));
    return standards;
}

void ExpectSameStandards(const HostStandards& expected, const HostStandards& actual)
{
    ASSERT_EQ(actual.Count(), expected.Count());
    for (std::size_t s = 0; s < expected.Count(); ++s) {
        const HostStandard& e = *expected.Item(s);
        const HostStandard& a = *actual.Item(s);
        SCOPED_TRACE("standard " + e.AlphaName());
        EXPECT_EQ(a.AlphaName(), e.AlphaName());
        EXPECT_EQ(a.CompleteName(), e.CompleteName());
        EXPECT_EQ(a.Kind(), e.Kind());
        ASSERT_EQ(a.Count(), e.Count());
        for (std::size_t i = 0; i < e.Count(); ++i) {
            const HostLimitItem& ei = *e.Item(i);
            const HostLimitItem& ai = *a.Item(i);
            SCOPED_TRACE("item " + ei.Key());
            EXPECT_EQ(ai.Key(), ei.Key());
            EXPECT_EQ(ai.Unit(), ei.Unit());
            EXPECT_EQ(ai.Caption(), ei.Caption());
            EXPECT_EQ(ai.Note(), ei.Note());
            EXPECT_EQ(dynamic_cast<const HostFormulaLimit*>(&ai) != nullptr,
                      dynamic_cast<const HostFormulaLimit*>(&ei) != nullptr);
            for (int bound : {kUpper, kLower}) {
                EXPECT_EQ(ai.Enabled(bound), ei.Enabled(bound));
                EXPECT_EQ(ai.Value(bound), ei.Value(bound));
                EXPECT_EQ(ai.Formula(bound), ei.Formula(bound));
            }
        }
    }
}

// Loads the standards from the text of an element.
void LoadFromText(HostStandards& standards, const std::string& text, const std::shared_ptr<HostLoadLog>& log = nullptr)
{
    auto document = HostXmlDocument::Create();
    document->LoadXml(text);
    standards.Load(document->DocumentElement(), log);
}

} // namespace

TEST(HostStandardsXml, RoundTripsEveryFieldThroughAFile)
{
    const auto original = RichStandards();
    auto document = HostXmlDocument::Create();
    auto element = original->Save(document);
    element->SetName("ExpectedResult");
    document->AppendChild(element);

    // Through the text, as a stored document goes.
    auto reread = HostXmlDocument::Create();
    reread->LoadXml(document->Xml());
    HostStandards loaded;
    loaded.Load(reread->DocumentElement(), nullptr);
    ExpectSameStandards(*original, loaded);

    // Saving what was loaded gives the same text again.
    auto again = HostXmlDocument::Create();
    auto againElement = loaded.Save(again);
    againElement->SetName("ExpectedResult");
    again->AppendChild(againElement);
    EXPECT_EQ(again->Xml(), document->Xml());
}

TEST(HostStandardsXml, ReadsTheShortFormThatACatalogueGives)
{
    HostStandards standards;
    LoadFromText(standards, R"xml(<ExpectedResult>
        <Standard AlphaName="IEC" CompleteName="IEC 60601-2-4">
          <LimitItem Key="ENGY" Unit="J">
            <Upper Enabled="True" Value="15" Formula="X+(X*Y%)"/>
            <Lower Enabled="True" Value="-15" Formula="X+(X*Y%)"/>
          </LimitItem>
          <!-- a comment is no element -->
          <LimitItem Key="PACR" Unit=" ppm" Type="Plain"><Upper Enabled="True" Value="72.5"/></LimitItem>
        </Standard>
      </ExpectedResult>)xml");

    ASSERT_EQ(standards.Count(), 1u);
    const auto& iec = *standards.Item(0);
    EXPECT_EQ(iec.Kind(), 1);
    ASSERT_EQ(iec.Count(), 2u);
    const auto& energy = *iec.Item(0);
    EXPECT_NE(dynamic_cast<const HostFormulaLimit*>(&energy), nullptr);
    EXPECT_EQ(energy.Formula(kLower), "X+(X*Y%)");
    EXPECT_FLOAT_EQ(energy.LimitValue(kUpper, 200.0f), 230.0f);
    EXPECT_FLOAT_EQ(energy.LimitValue(kLower, 200.0f), 170.0f);

    const auto& rate = *iec.Item(1);
    EXPECT_EQ(dynamic_cast<const HostFormulaLimit*>(&rate), nullptr);
    EXPECT_EQ(rate.Unit(), " ppm");
    EXPECT_TRUE(rate.Enabled(kUpper));
    EXPECT_EQ(rate.Value(kUpper), 72.5f);
    // A bound that is not given is the new item's: disabled, 0, no formula.
    EXPECT_FALSE(rate.Enabled(kLower));
    EXPECT_EQ(rate.Value(kLower), 0.0f);
    EXPECT_EQ(rate.Formula(kLower), "");
    EXPECT_EQ(rate.Caption(), "");

    // The standards judge as they were written.
    EXPECT_EQ(iec.Evaluate("ENGY", 230.0f, Variant(200.0f)), HostStandard::StatusPassed);
    EXPECT_EQ(iec.Evaluate("ENGY", 230.5f, Variant(200.0f)), HostStandard::StatusFailed);
}

TEST(HostStandardsXml, BadContentIsALogEntryAndAnErrorAndChangesNothing)
{
    struct Case {
        const char* name;
        const char* xml;
        const char* mentions;
    };
    const Case cases[] = {
        {"no alpha name", R"xml(<E><Standard CompleteName="x"/></E>)xml", "\"AlphaName\""},
        {"no complete name", R"xml(<E><Standard AlphaName="x"/></E>)xml", "\"CompleteName\""},
        {"no key", R"xml(<E><Standard AlphaName="A" CompleteName="B"><LimitItem Unit="J"/></Standard></E>)xml", "\"Key\""},
        {"bad number", R"xml(<E><Standard AlphaName="A" CompleteName="B"><LimitItem Key="ENGY"><Upper Value="1,5"/></LimitItem></Standard></E>)xml", "\"1,5\" is not a number"},
        {"empty number", R"xml(<E><Standard AlphaName="A" CompleteName="B"><LimitItem Key="ENGY"><Upper Value=""/></LimitItem></Standard></E>)xml", "is not a number"},
        {"number beyond a float", R"xml(<E><Standard AlphaName="A" CompleteName="B"><LimitItem Key="ENGY"><Lower Value="1e39"/></LimitItem></Standard></E>)xml", "out of range"},
        {"bad flag", R"xml(<E><Standard AlphaName="A" CompleteName="B"><LimitItem Key="ENGY"><Upper Enabled="true"/></LimitItem></Standard></E>)xml", "\"true\" is neither"},
        {"bad type", R"xml(<E><Standard AlphaName="A" CompleteName="B"><LimitItem Key="ENGY" Type="Fancy"/></Standard></E>)xml", "\"Fancy\""},
        {"bad kind", R"xml(<E><Standard AlphaName="A" CompleteName="B" Kind="1.5"/></E>)xml", "\"Kind\""},
        {"bound twice", R"xml(<E><Standard AlphaName="A" CompleteName="B"><LimitItem Key="ENGY"><Upper/><Upper/></LimitItem></Standard></E>)xml", "twice"},
        {"stray bound name", R"xml(<E><Standard AlphaName="A" CompleteName="B"><LimitItem Key="ENGY"><Uper/></LimitItem></Standard></E>)xml", "\"Uper\""},
        {"stray item name", R"xml(<E><Standard AlphaName="A" CompleteName="B"><Limit Key="ENGY"/></Standard></E>)xml", "\"Limit\""},
        {"stray standard name", R"xml(<E><Standards/></E>)xml", "\"Standards\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HostStandards standards = *RichStandards();
        auto log = std::make_shared<HostLoadLog>();
        try {
            LoadFromText(standards, c.xml, log);
            ADD_FAILURE() << "loaded";
        } catch (const ComError& error) {
            EXPECT_EQ(error.Number(), HostStandards::ErrorBadContent);
            EXPECT_NE(error.Description().find(c.mentions), std::string::npos) << error.Description();
        }
        ASSERT_EQ(log->Entries().size(), 1u);
        EXPECT_EQ(log->Entries()[0].code, HostStandards::ErrorBadContent);
        EXPECT_EQ(log->Entries()[0].severity, 2);
        EXPECT_NE(log->Entries()[0].text.find(c.mentions), std::string::npos);
        ExpectSameStandards(*RichStandards(), standards);
    }

    HostStandards standards;
    EXPECT_THROW(standards.Load(nullptr, nullptr), ComError);
    EXPECT_THROW((void)standards.Save(nullptr), ComError);
}

TEST(HostStandardsXml, AFormulaThatCannotBeReadLoadsWithAWarning)
{
    // Whatever was saved must load again: a formula typed wrongly stays as it was typed.
    HostStandards original;
    original.Add(ztesting::MakeStandard(
        "IEC", "IEC",
        {{.key = "ENGY", .unit = "J", .upper = {true, 10.0f, "X+*Y"}, .lower = {false, 0.0f, ""}},
         {.key = "PEAV", .unit = "V", .upper = {true, 10.0f, "X+*Y"}, .lower = {false, 0.0f, ""}, .formulaCapable = false}}));
    auto document = HostXmlDocument::Create();
    document->AppendChild(original.Save(document));

    HostStandards loaded;
    auto log = std::make_shared<HostLoadLog>();
    loaded.Load(document->DocumentElement(), log);
    ExpectSameStandards(original, loaded);
    // Only the formula item evaluates its formula, so only it is noted.
    ASSERT_EQ(log->Entries().size(), 1u);
    EXPECT_EQ(log->Entries()[0].severity, 1);
    EXPECT_NE(log->Entries()[0].text.find("\"X+*Y\" of the Upper bound of limit item \"ENGY\""), std::string::npos)
        << log->Entries()[0].text;
    // Such a bound fails every value, so the fault shows in the rating.
    EXPECT_EQ(loaded.Item(0)->Evaluate("ENGY", 1.0f, Variant(100.0f)), HostStandard::StatusFailed);
}

TEST(HostStandardsXml, AnEmptyElementLoadsNoStandards)
{
    HostStandards standards = *RichStandards();
    LoadFromText(standards, "<ExpectedResult>  </ExpectedResult>");
    EXPECT_EQ(standards.Count(), 0u);

    auto document = HostXmlDocument::Create();
    EXPECT_EQ(standards.Save(document)->Xml(), "<Standards/>");
}

namespace {

// A measurement as the host sees it, with the values the printout reads.
class FakeMeasurement : public host::IMeasurement {
public:
    FakeMeasurement(std::string key, Variant value, Variant preset, std::string unit, int32_t status = 0)
        : mKey(std::move(key)), mValue(std::move(value)), mPreset(std::move(preset)), mUnit(std::move(unit)),
          mStatus(status)
    {
    }
    std::string Description() override { return {}; }
    std::string Key() override { return mKey; }
    std::string LimitKey() override { return mKey; }
    int32_t Status() override { return mStatus; }
    std::string Unit() override { return mUnit; }
    Variant value() override { return mValue; }
    Variant PresetValue() override { return mPreset; }
    int32_t ValueType() override { return 1; }
    std::string ValueFormat() override { return {}; }
    int32_t Flags() override { return 0; }
    std::string ToolTipText() override { return {}; }
    void Load(const std::shared_ptr<HostXmlElement>&, const std::shared_ptr<HostLoadLog>&) override {}
    std::shared_ptr<HostXmlElement> Save(const std::shared_ptr<HostXmlDocument>&) override { return nullptr; }

private:
    std::string mKey;
    Variant mValue;
    Variant mPreset;
    std::string mUnit;
    int32_t mStatus;
};

plat::VariantArray Rows(std::initializer_list<std::tuple<const char*, const char*, const char*, std::shared_ptr<FakeMeasurement>>> rows)
{
    auto array = plat::VariantArray::TwoDim(0, static_cast<int32_t>(rows.size()), 0, 4);
    int32_t i = 0;
    for (const auto& [key, caption, format, measurement] : rows) {
        array.At(i, 0) = Variant(key);
        array.At(i, 1) = Variant(caption);
        array.At(i, 2) = Variant(format);
        if (measurement) array.At(i, 3) = Variant(measurement);
        ++i;
    }
    return array;
}

} // namespace

namespace {

const char* const kPrintStandards = R"xml(<ExpectedResult>
    <Standard AlphaName="IEC" CompleteName="IEC 60601-2-4">
      <LimitItem Key="ENGY" Unit="J">
        <Upper Enabled="True" Value="15" Formula="X+(X*Y%)"/>
        <Lower Enabled="True" Value="-15" Formula="X+(X*Y%)"/>
      </LimitItem>
      <LimitItem Key="PULW" Unit="ms"><Upper Enabled="True" Value="5"/></LimitItem>
      <LimitItem Key="PEAV" Unit="V"><Upper Value="1000"/></LimitItem>
    </Standard>
    <Standard AlphaName="House" CompleteName="House">
      <LimitItem Key="ENGY" Unit="J" Caption="Energy"><Upper Enabled="True" Value="0.5" Formula="X+Y"/></LimitItem>
    </Standard>
  </ExpectedResult>)xml";

} // namespace

TEST(HostStandardsPrint, PrintsEachStandardWithItsLimitsBesideTheValues)
{
    HostStandards standards;
    LoadFromText(standards, kPrintStandards);

    // Rated by both standards: House fails the energy, IEC the pulse width.
    auto energy = std::make_shared<FakeMeasurement>("ENGY1", Variant(101.5f), Variant(100.0f), "J", 2);
    auto width = std::make_shared<FakeMeasurement>("PULW", Variant("5.2"), Variant(), "ms", 2);
    auto voltage = std::make_shared<FakeMeasurement>("PEAV", Variant(2000.0f), Variant(), "V", 1);
    const Variant rows(Rows({{"ENGY", "Energy", "0.0", energy},
                             {"PULW", "Pulse Width", "0.0", width},
                             {"PEAC", "Peak Current", "0.0", nullptr},
                             {"PEAV", "Peak Voltage", "0", voltage}}));

    auto report = std::make_shared<host::HostReport>();
    standards.PrintReport(report, nullptr, rows);
    EXPECT_EQ(report->Text(),
              "Standard IEC - IEC 60601-2-4\n"
              "Quantity              Lower limit  Upper limit        Value Unit     Result\n"
              "------------------------------------------------------------------------------\n"
              "Energy                       85.0        115.0        101.5 J        Passed\n"
              "Pulse Width                     -          5.0          5.2 ms       Failed\n"
              "Peak Current                    -            -\n"
              "Peak Voltage                    -            -         2000 V\n"
              "Standard House\n"
              "Quantity              Lower limit  Upper limit        Value Unit     Result\n"
              "------------------------------------------------------------------------------\n"
              "Energy                          -        100.5        101.5 J        Failed\n"
              "Pulse Width                     -            -          5.2 ms\n"
              "Peak Current                    -            -\n"
              "Peak Voltage                    -            -         2000 V\n");

    // A print context that selects one standard prints that one only.
    host::HostPrintContext context;
    auto selection = std::make_shared<HostStandards>();
    auto house = std::make_shared<HostStandard>();
    house->Initialize("House", "House", 1);
    selection->Add(house);
    context.SelectStandards(selection);
    report->Clear();
    standards.PrintReport(report, context.ReportObject(report), rows);
    EXPECT_EQ(report->Lines().front(), "Standard House");
    EXPECT_EQ(report->Tables().size(), 1u);
}

namespace {

// A standard whose energy limit passes a value of 100 ('P': up to 110), fails it ('F': up to
// 90), or that has no limit of it ('-': no item, 'd': an item with both bounds disabled).
std::shared_ptr<HostStandard> EnergyStandard(const std::string& name, char verdict)
{
    std::vector<ztesting::LimitItemSpec> items;
    if (verdict == 'P' || verdict == 'F')
        items.push_back({.key = "ENGY", .unit = "J", .upper = {true, verdict == 'P' ? 110.0f : 90.0f, ""}});
    if (verdict == 'd') items.push_back({.key = "ENGY", .unit = "J", .upper = {false, 90.0f, ""}});
    return ztesting::MakeStandard(name, name, items);
}

// The verdict words of the one row in each printed table, in the order of the tables.
std::vector<std::string> PrintedVerdicts(const HostStandards& standards, const plat::ObjectPtr& printObject,
                                         const std::shared_ptr<FakeMeasurement>& measurement)
{
    auto report = std::make_shared<host::HostReport>();
    standards.PrintReport(report, printObject, Variant(Rows({{"ENGY", "Energy", "0.0", measurement}})));
    std::vector<std::string> verdicts;
    for (const auto& table : report->Tables()) {
        std::string word = table.rows.substr(table.rows.rfind('|') + 1);
        verdicts.push_back(word.substr(0, word.size() - 1)); // without the row's ";"
    }
    return verdicts;
}

} // namespace

// One rule for both verdicts: a rated measurement reads Passed in each printed standard whose
// limits pass it and Failed in each that fails it; where no printed standard gives the verdict
// it was stored with, every printed standard shows that verdict marked as the stored one. A
// standard without a limit of the quantity prints no verdict and fails nothing, as in the
// rating; a measurement that was not rated gets none. Standards that are not printed have no
// say. The table runs over the stored status and each printed standard's own verdict.
TEST(HostStandardsPrint, VerdictsAgreeWithTheStoredStatus)
{
    const char* const kPassed = "Passed";
    const char* const kFailed = "Failed";
    const char* const kStoredPassed = "Passed (stored)";
    const char* const kStoredFailed = "Failed (stored)";
    const struct {
        int32_t status;
        char first;  // the own verdicts of the two printed standards
        char second;
        char unprinted; // of a standard the print context leaves out ('-': there is none)
        const char* firstWord;
        const char* secondWord;
        Variant value = Variant(100.0f);
    } cases[] = {
        // stored passed
        {1, 'P', 'P', '-', kPassed, kPassed},
        {1, 'P', 'F', '-', kPassed, kFailed}, // rated by the first alone: the second fails it
        {1, 'F', 'P', '-', kFailed, kPassed},
        {1, 'P', '-', '-', kPassed, ""},
        {1, 'F', '-', '-', kFailed, ""}, // the second, without a limit, fails nothing
        {1, '-', 'd', '-', "", ""},
        {1, 'F', 'F', '-', kStoredPassed, kStoredPassed}, // limits changed since the rating
        {1, 'F', 'F', 'P', kStoredPassed, kStoredPassed}, // an unprinted standard has no say
        // stored failed
        {2, 'F', 'F', '-', kFailed, kFailed},
        {2, 'P', 'F', '-', kPassed, kFailed},
        {2, 'F', 'P', '-', kFailed, kPassed},
        {2, 'F', '-', '-', kFailed, ""},
        {2, 'P', 'P', '-', kStoredFailed, kStoredFailed},
        {2, 'P', '-', '-', kStoredFailed, kStoredFailed},
        {2, '-', 'd', '-', kStoredFailed, kStoredFailed}, // failed by a standard not printed
        {2, 'P', 'P', 'F', kStoredFailed, kStoredFailed},
        // a number never measured fails wherever a limit waits for it
        {2, 'P', '-', '-', kFailed, "", Variant()},
        {2, '-', '-', '-', kStoredFailed, kStoredFailed, Variant("NOSYNC")},
        // not rated: no verdict, whatever the limits make of the value
        {0, 'P', 'F', '-', "", ""},
        {0, 'F', 'F', '-', "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "stored " << c.status << ", own verdicts " << c.first << c.second
                                          << ", unprinted " << c.unprinted << ", value " << plat::CStr(c.value));
        HostStandards standards;
        standards.Add(EnergyStandard("A", c.first));
        if (c.unprinted != '-') standards.Add(EnergyStandard("C", c.unprinted));
        standards.Add(EnergyStandard("B", c.second));
        host::HostPrintContext context;
        auto selection = std::make_shared<HostStandards>();
        selection->Add(EnergyStandard("A", '-'));
        selection->Add(EnergyStandard("B", '-'));
        context.SelectStandards(selection);

        auto energy = std::make_shared<FakeMeasurement>("ENGY", c.value, Variant(100.0f), "J", c.status);
        auto report = std::make_shared<host::HostReport>();
        EXPECT_EQ(PrintedVerdicts(standards, context.ReportObject(report), energy),
                  (std::vector<std::string>{c.firstWord, c.secondWord}));
    }
}

// Values of a record that was not rated (a test left not applicable) get no verdict, not even
// where the standard would fail them.
TEST(HostStandardsPrint, ValuesThatWereNotRatedArePrintedWithoutAVerdict)
{
    HostStandards standards;
    LoadFromText(standards, kPrintStandards);
    auto energy = std::make_shared<FakeMeasurement>("ENGY", Variant(150.0f), Variant(100.0f), "J", 2);
    const Variant rows(Rows({{"ENGY", "Energy", "0.0", energy}}));
    host::HostPrintContext context;
    context.SetValuesRated(false);
    auto report = std::make_shared<host::HostReport>();
    standards.PrintReport(report, context.ReportObject(report), rows);
    EXPECT_EQ(report->Lines().at(3), "Energy                       85.0        115.0        150.0 J");
    EXPECT_EQ(report->Text().find("Failed"), std::string::npos) << report->Text();

    context.SetValuesRated(true);
    report->Clear();
    standards.PrintReport(report, context.ReportObject(report), rows);
    EXPECT_EQ(report->Lines().at(3), "Energy                       85.0        115.0        150.0 J        Failed");
}

TEST(HostStandardsPrint, WithoutRowsPrintsTheItemsAndTheFormulas)
{
    HostStandards standards;
    LoadFromText(standards, kPrintStandards);
    auto report = std::make_shared<host::HostReport>();
    standards.PrintReport(report, nullptr, Variant());
    EXPECT_EQ(report->Text(),
              "Standard IEC - IEC 60601-2-4\n"
              "Quantity              Lower limit  Upper limit        Value Unit     Result\n"
              "------------------------------------------------------------------------------\n"
              "ENGY                   X+(X*-15%)    X+(X*15%)              J\n"
              "PULW                            -            5              ms\n"
              "PEAV                            -            -              V\n"
              "Standard House\n"
              "Quantity              Lower limit  Upper limit        Value Unit     Result\n"
              "------------------------------------------------------------------------------\n"
              "Energy                          -        X+0.5              J\n");

    EXPECT_THROW(standards.PrintReport(nullptr, nullptr, Variant()), ComError);
}
