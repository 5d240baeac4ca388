#include "ResultTestSupport.h"

#include "host/documents/HostErrorRaiser.h"
#include "host/documents/HostLoadLog.h"
#include "host/report/HostReport.h"
#include "host/units/HostServiceRecord.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/documents/HostXmlNodeList.h"
#include "host/interfaces/IDialog.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/base/RegistryStore.h"
#include "platform/com/ComRuntime.h"
#include "support/Errors.h"
#include "support/TempFolder.h"
#include "testlib/core/FDialogWrapper.h"
#include "tests/platform/ui/fixture/IFixtureControl.h"
#include "tests/platform/ui/fixture/UiFixtureRegistry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace ztesting {
namespace {

using ztest::CMeasurement;
using ztest::CResultRecord;

constexpr int32_t kWrongElement = static_cast<int32_t>(0x8004A3EBu);
constexpr int32_t kNotCreated = static_cast<int32_t>(0x8004A3ECu);
constexpr int32_t kMeasurementError = static_cast<int32_t>(0x8004A3FFu);

std::vector<std::string> ChildNames(const host::HostXmlElement& element)
{
    std::vector<std::string> names;
    auto children = element.ChildNodes();
    for (int32_t i = 0; i < children->Count(); ++i) names.push_back(children->Item(i)->Name());
    return names;
}

std::vector<std::string> KeysOf(const CResultRecord& record)
{
    std::vector<std::string> keys;
    for (const auto& measurement : record.Measurements()) keys.push_back(measurement->GetKey());
    return keys;
}

class ResultFamily : public testing::TestWithParam<RecordKind> {
protected:
    std::shared_ptr<CResultRecord> Make() { return GetParam().make(world); }

    // A record rated failed, with an analyzer index, a comment and a service record.
    std::shared_ptr<CResultRecord> MakeRated()
    {
        auto record = Make();
        GetParam().rate(*record, world, false);
        record->SetMTIID(7);
        record->SetComment("Paddles worn");
        return record;
    }

    ResultWorld world;
    std::shared_ptr<host::HostXmlDocument> document = host::HostXmlDocument::Create();
};

TEST_P(ResultFamily, InitializeBuildsTheMeasurementSetInOrder)
{
    auto record = Make();
    EXPECT_EQ(KeysOf(*record), GetParam().keys);
    EXPECT_EQ(record->MeasurementCount(), static_cast<int32_t>(GetParam().keys.size()));
    EXPECT_EQ(record->Status(), CResultRecord::StatusNotRated);
    EXPECT_EQ(record->ServiceRecord(), nullptr);

    // By 1-based position and by key; anything else names none.
    const std::string& first = GetParam().keys.front();
    const std::string& last = GetParam().keys.back();
    ASSERT_TRUE(record->Measurement(plat::Variant(1)));
    EXPECT_EQ(record->Measurement(plat::Variant(1))->Key(), first);
    EXPECT_EQ(record->Measurement(plat::Variant(record->MeasurementCount()))->Key(), last);
    EXPECT_EQ(record->Measurement(plat::Variant(last))->Key(), last);
    EXPECT_EQ(record->Measurement(plat::Variant(0)), nullptr);
    EXPECT_EQ(record->Measurement(plat::Variant(record->MeasurementCount() + 1)), nullptr);
    EXPECT_EQ(record->Measurement(plat::Variant(1e30)), nullptr);
    EXPECT_EQ(record->Measurement(plat::Variant("NONE")), nullptr);
    EXPECT_EQ(record->Measurement(plat::Variant()), nullptr);

    // Initialize again starts a new set.
    const std::shared_ptr<CMeasurement> former = record->Measurements().front();
    former->SetValue(1.0);
    GetParam().initialize(*record, world);
    EXPECT_EQ(KeysOf(*record), GetParam().keys);
    EXPECT_NE(record->Measurements().front(), former);
    EXPECT_TRUE(record->Measurements().front()->GetValue().IsEmpty());
}

TEST_P(ResultFamily, CommentAndHasDialog)
{
    auto record = Make();
    EXPECT_FALSE(record->HasDialog());
    record->SetComment("x");
    EXPECT_TRUE(record->HasDialog());
    EXPECT_EQ(record->Comment(), "x");
    record->SetComment("");
    EXPECT_FALSE(record->HasDialog());
}

TEST_P(ResultFamily, RatingMakesTheServiceRecordTheFilterAsksFor)
{
    auto record = Make();
    GetParam().rate(*record, world, true);
    EXPECT_EQ(record->Status(), CResultRecord::StatusPassed);
    auto passed = record->ServiceRecord();
    ASSERT_TRUE(passed);
    EXPECT_EQ(passed->Code(), "");
    EXPECT_EQ(passed->Text().front(), '/');
    EXPECT_EQ(passed->FilterFlags(), host::HostTestFilter::FlagServiceRecord);

    GetParam().rate(*record, world, false);
    EXPECT_EQ(record->Status(), CResultRecord::StatusFailed);
    ASSERT_TRUE(record->ServiceRecord());
    EXPECT_EQ(record->ServiceRecord()->Code(), "F");

    GetParam().skip(*record, world);
    EXPECT_EQ(record->Status(), CResultRecord::StatusSkipped);
    auto skipped = record->ServiceRecord();
    ASSERT_TRUE(skipped);
    EXPECT_EQ(skipped->Code(), "NA");
    EXPECT_EQ(skipped->Text(), "");

    // Bit 0 clear: no new service record, the last one stays.
    world.filter->SetFlags(2);
    GetParam().rate(*record, world, true);
    EXPECT_EQ(record->Status(), CResultRecord::StatusPassed);
    EXPECT_EQ(record->ServiceRecord(), skipped);

    // Without a filter none is made either.
    world.filter->SetFlags(1);
    world.element->SetFilter(nullptr);
    GetParam().skip(*record, world);
    EXPECT_EQ(record->ServiceRecord(), skipped);
}

TEST_P(ResultFamily, SaveWritesMeasurementsOnlyForARatedResult)
{
    struct Case {
        const char* what;
        std::function<void(CResultRecord&, ResultWorld&)> prepare;
        bool measurements;
    };
    const RecordKind& kind = GetParam();
    const Case cases[] = {
        {"not rated", [](CResultRecord&, ResultWorld&) {}, false},
        {"passed", [&](CResultRecord& r, ResultWorld& w) { kind.rate(r, w, true); }, true},
        {"failed", [&](CResultRecord& r, ResultWorld& w) { kind.rate(r, w, false); }, true},
        {"skipped", [&](CResultRecord& r, ResultWorld& w) { kind.skip(r, w); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResultWorld local;
        auto record = kind.make(local);
        c.prepare(*record, local);
        auto element = record->Save(document);
        ASSERT_TRUE(element);
        EXPECT_EQ(element->Name(), "ResultItem");
        const std::vector<std::string> names = ChildNames(*element);
        ASSERT_FALSE(names.empty());
        EXPECT_EQ(names.front(), "Status");
        const auto count = std::count(names.begin(), names.end(), "Measurement");
        EXPECT_EQ(count, c.measurements ? static_cast<long>(kind.keys.size()) : 0);
        EXPECT_EQ(std::count(names.begin(), names.end(), "ServiceRecord"), record->ServiceRecord() ? 1 : 0);
        EXPECT_EQ(std::count(names.begin(), names.end(), "Comment"), 0);
        EXPECT_FALSE(element->HasAttribute("MTI"));
    }
}

TEST_P(ResultFamily, TheAnalyzerIndexAndTheCommentAreWrittenOnlyWhenThere)
{
    struct Case {
        int32_t mti;
        const char* comment;
        const char* storedMti; // none: no attribute
    };
    const Case cases[] = {{0, "", nullptr}, {-1, "", nullptr}, {7, "ok", "7"}, {123456, "a\nb", "123456"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mti);
        auto record = Make();
        record->SetMTIID(c.mti);
        record->SetComment(c.comment);
        auto element = record->Save(document);
        ASSERT_TRUE(element);
        EXPECT_EQ(element->HasAttribute("MTI"), c.storedMti != nullptr);
        if (c.storedMti) {
            EXPECT_EQ(element->GetAttribute("MTI"), c.storedMti);
        }
        const std::vector<std::string> names = ChildNames(*element);
        const std::vector<std::string> expected =
            std::string(c.comment).empty() ? std::vector<std::string>{"Status"} : std::vector<std::string>{"Status", "Comment"};
        EXPECT_EQ(names, expected);
    }
}

TEST_P(ResultFamily, ALoadAndSaveCycleKeepsEverything)
{
    auto saved = MakeRated();
    auto element = saved->Save(document);
    ASSERT_TRUE(element);
    const std::string xml = element->Xml();

    auto loaded = Make();
    auto log = std::make_shared<host::HostLoadLog>();
    loaded->Load(element, log);

    EXPECT_EQ(loaded->Status(), CResultRecord::StatusFailed);
    EXPECT_EQ(loaded->GetMTIID(), 7);
    EXPECT_EQ(loaded->Comment(), "Paddles worn");
    ASSERT_TRUE(loaded->ServiceRecord());
    EXPECT_EQ(loaded->ServiceRecord()->Code(), saved->ServiceRecord()->Code());
    EXPECT_EQ(loaded->ServiceRecord()->Text(), saved->ServiceRecord()->Text());
    ASSERT_EQ(KeysOf(*loaded), KeysOf(*saved));
    for (std::size_t i = 0; i < saved->Measurements().size(); ++i) {
        EXPECT_EQ(loaded->Measurements()[i]->GetValue(), saved->Measurements()[i]->GetValue());
        EXPECT_EQ(loaded->Measurements()[i]->GetStatus(), saved->Measurements()[i]->GetStatus());
    }
    EXPECT_EQ(loaded->Save(host::HostXmlDocument::Create())->Xml(), xml);

    EXPECT_TRUE(log->Entries().empty()) << log->ToText();
    EXPECT_EQ(log->OpenSectionCount(), 0);
    ASSERT_FALSE(log->Sections().empty());
    EXPECT_EQ(log->Sections().front().moduleKey, host::HostTranslator::Process()->Translate("ZARVIK", GetParam().loadText));
}

// Stored elements with empty texts: after one load and save, a further load and save changes
// nothing, whatever the record's own defaults are.
TEST_P(ResultFamily, ASecondLoadAndSaveChangesNothing)
{
    const std::string first = GetParam().keys.front();
    const std::string last = GetParam().keys.back();
    const std::string stored[] = {
        "<ResultItem><Measurement Key=\"" + first + "\"><Unit></Unit></Measurement></ResultItem>",
        "<ResultItem><Measurement Key=\"" + first + "\"><Description/><Unit/></Measurement>"
        "<Measurement Key=\"" + last + "\"><Description></Description><Unit>mV</Unit></Measurement></ResultItem>",
        "<ResultItem MTI=\"3\"><Comment></Comment><Measurement Key=\"" + last + "\"><Unit></Unit></Measurement>"
        "</ResultItem>",
    };
    auto cycle = [this](const std::string& xml) {
        auto in = host::HostXmlDocument::Create();
        in->LoadXml(xml);
        auto record = Make();
        record->Load(in->DocumentElement(), std::make_shared<host::HostLoadLog>());
        return record->Save(host::HostXmlDocument::Create())->Xml();
    };
    for (const std::string& xml : stored) {
        SCOPED_TRACE(xml);
        const std::string once = cycle(xml);
        EXPECT_EQ(cycle(once), once);
    }
}

TEST_P(ResultFamily, LoadStartsFromAnUnratedRecordButKeepsTheIndexWithoutMti)
{
    auto record = MakeRated();
    auto document2 = host::HostXmlDocument::Create();
    document2->LoadXml("<ResultItem/>");
    record->Load(document2->DocumentElement(), nullptr);
    EXPECT_EQ(record->Status(), CResultRecord::StatusNotRated);
    EXPECT_EQ(record->Comment(), "");
    EXPECT_EQ(record->GetMTIID(), 7);

    struct Case {
        const char* mti;
        int32_t index;
    };
    // The leading number, rounded half to even; a number that does not fit keeps the index.
    const Case cases[] = {{"12", 12}, {"2.5", 2}, {"3.5abc", 4}, {"x", 0}, {"99999999999", 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mti);
        auto log = std::make_shared<host::HostLoadLog>();
        record->SetMTIID(5);
        document2->LoadXml(std::string("<ResultItem MTI=\"") + c.mti + "\"/>");
        record->Load(document2->DocumentElement(), log);
        EXPECT_EQ(record->GetMTIID(), c.index);
        EXPECT_EQ(log->Entries().size(), std::string(c.mti) == "99999999999" ? 1u : 0u);
    }
}

TEST_P(ResultFamily, LoadSkipsMeasurementsWithAMissingOrUnknownKey)
{
    auto saved = MakeRated();
    auto element = saved->Save(document);
    ASSERT_TRUE(element);
    // Two children that name no measurement of the record, before the good ones.
    auto item = document->CreateElement("ResultItem");
    item->AddChildWithText("Measurement", "")->AddChildWithText("Description", "no key");
    item->AddChildWithText("Measurement", "")->SetAttribute("Key", "QQQQ");
    item->AddChildWithText("ServiceRecord", "")->SetAttribute("Filter", "");
    auto children = element->ChildNodes();
    for (int32_t i = 0; i < children->Count(); ++i) item->AppendChild(children->Item(i));

    auto loaded = Make();
    auto log = std::make_shared<host::HostLoadLog>();
    host::HostErrorRaiser::ReportCapture reports;
    loaded->Load(item, log);

    ASSERT_EQ(log->Entries().size(), 3u) << log->ToText();
    EXPECT_EQ(log->Entries()[0].code, kMeasurementError);
    EXPECT_EQ(log->Entries()[0].text, "Can not load a measurement because its key is missing");
    EXPECT_EQ(log->Entries()[1].code, kMeasurementError);
    EXPECT_EQ(log->Entries()[1].arguments.At(0), plat::Variant("QQQQ"));
    EXPECT_EQ(log->Entries()[2].text, "The filter flags of a service record cannot be read: '%%1'");
    EXPECT_EQ(log->Entries()[0].section, 1);
    EXPECT_EQ(log->OpenSectionCount(), 0);
    EXPECT_TRUE(reports.Reports().empty());

    // The rest was read.
    EXPECT_EQ(loaded->Status(), CResultRecord::StatusFailed);
    EXPECT_EQ(loaded->Comment(), "Paddles worn");
    ASSERT_TRUE(loaded->ServiceRecord());
    EXPECT_EQ(KeysOf(*loaded), GetParam().keys);
    for (std::size_t i = 0; i < saved->Measurements().size(); ++i)
        EXPECT_EQ(loaded->Measurements()[i]->GetValue(), saved->Measurements()[i]->GetValue());
}

TEST_P(ResultFamily, LoadOfAnotherElementFailsWithTheRecordsCodeAndSource)
{
    for (const char* xml : {"<resultItem/>", "<RESULTITEM/>", "<PlugInData/>"}) {
        SCOPED_TRACE(xml);
        auto record = MakeRated();
        auto other = host::HostXmlDocument::Create();
        other->LoadXml(xml);
        auto log = std::make_shared<host::HostLoadLog>();
        try {
            record->Load(other->DocumentElement(), log);
            ADD_FAILURE() << "loaded";
        } catch (const plat::ComError& error) {
            EXPECT_EQ(error.Number(), kWrongElement);
            EXPECT_EQ(error.Source(), GetParam().errorSource);
        }
        EXPECT_EQ(log->OpenSectionCount(), 0);
        EXPECT_EQ(record->Status(), CResultRecord::StatusFailed);
        EXPECT_EQ(record->Comment(), "Paddles worn");
    }
}

TEST_P(ResultFamily, SaveWithoutAnElementFailsWithTheRecordsCodeAndSource)
{
    auto record = Make();
    try {
        record->Save(nullptr);
        FAIL() << "saved";
    } catch (const plat::ComError& error) {
        EXPECT_EQ(error.Number(), kNotCreated);
        EXPECT_EQ(error.Source(), GetParam().errorSource);
    }
    // A document that makes elements is all Save needs.
    EXPECT_EQ(ErrorNumberOf([&] { record->Save(document); }), 0);
}

TEST_P(ResultFamily, ReportTableOfTheMeasurements)
{
    auto record = Make();
    record->PrintReport(nullptr, nullptr); // nothing to write into

    GetParam().rate(*record, world, false);
    auto report = std::make_shared<host::HostReport>();
    report->SetPageMetric(host::HostReport::MetricBodyWidth, 7360);
    record->PrintReport(report, nullptr);
    ASSERT_EQ(report->Tables().size(), 1u);
    const host::HostReport::Table& table = report->Tables()[0];
    EXPECT_EQ(table.columnFormat, "<+560|<2240|>+1000|>+1000|^+1000|<+!1000|<+560;");
    EXPECT_EQ(table.header, "|{\\i\\b Result:}|{\\i\\b Preset Value}|{\\i\\b Value}|{\\i\\b Unit};");
    EXPECT_EQ(table.fontSize, 7);
    EXPECT_EQ(table.indent, 0);
    EXPECT_EQ(table.border, 1);
    std::string rows;
    for (const auto& measurement : record->Measurements()) {
        std::string line;
        measurement->GetReportLine(report, line);
        rows += line;
    }
    EXPECT_EQ(table.rows, rows);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), ';'), static_cast<long>(GetParam().keys.size()));

    // A narrow page gives negative widths, as they are.
    report->SetPageMetric(host::HostReport::MetricBodyWidth, 3000);
    record->PrintReport(report, nullptr);
    ASSERT_EQ(report->Tables().size(), 2u);
    EXPECT_EQ(report->Tables()[1].columnFormat, "<+560|<2240|>+-90|>+-90|^+-90|<+!-90|<+560;");

    // A report of failed measurements only writes nothing for a passed record.
    auto failedOnly = std::make_shared<host::HostReport>();
    failedOnly->SetFlags(host::HostReport::FlagFailedOnly);
    auto passed = Make();
    ResultWorld other;
    GetParam().rate(*passed, other, true);
    passed->PrintReport(failedOnly, nullptr);
    EXPECT_TRUE(failedOnly->Tables().empty());
}

TEST_P(ResultFamily, CreateDialogShowsTheRecordInTheCommentView)
{
    // The comment view is played by the fixture control, registered under the view's ProgID.
    UiFixtureRegistry fixtures;
    plat::Registry().SetString(std::string(plat::kClassesRoot) + "\\" + CResultRecord::DialogProgId + "\\CLSID", "",
                               kFixtureControlClsid);

    auto record = Make();
    record->SetComment("Paddles worn");
    auto dialog = record->CreateDialog();
    ASSERT_TRUE(dialog);
    auto wrapper = std::dynamic_pointer_cast<ztest::FDialogWrapper>(dialog);
    ASSERT_TRUE(wrapper);
    ASSERT_TRUE(wrapper->Control());
    auto view = plat::QueryInterface<IFixtureControl>(wrapper->Control()->Object());
    ASSERT_TRUE(view);
    EXPECT_EQ(view->Journal().initializeCount, 1);
    EXPECT_EQ(view->Journal().lastData.Query<host::IResultData>(), record);
    dialog->Unload();
}

// Without the view the record still gives its dialog, which shows nothing.
TEST_P(ResultFamily, CreateDialogWithoutTheViewGivesAnEmptyDialog)
{
    UiFixtureRegistry fixtures;
    auto record = Make();
    auto dialog = record->CreateDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(std::dynamic_pointer_cast<ztest::FDialogWrapper>(dialog)->Control(), nullptr);
    dialog->Unload();
}

INSTANTIATE_TEST_SUITE_P(AllRecords, ResultFamily, testing::ValuesIn(AllRecordKinds()), KindName);

// The rows as the report shows them: caption, preset and value through the measurement's mask,
// and unit.
TEST(ResultReport, RowsOfMeasuredAndJudgedResults)
{
    // The largest Double in full, its last three digits grouped by the mask.
    const std::string kLargestChargeRows = "|      Energy|100.0|1.0|J;|      Peak Voltage||2.0|V;|      Peak Current||3.0|A;"
                                           "|      Charge Time||179769313486232" + std::string(291, '0') + " 000.0|s;";
    struct Case {
        const char* record;
        std::function<void(CResultRecord&, ResultWorld&)> fill;
        const char* rows;
    };
    const Case cases[] = {
        {"CResultEnergy",
         [](CResultRecord& r, ResultWorld&) {
             dynamic_cast<ztest::CReplyResult&>(r).StoreResult("150.2,2000,50.1,0.0045\r\n");
         },
         "|      Energy|100.0|150.2|J;|      Peak Voltage||2 000.0|V;|      Peak Current||50.1|A;"
         "|      Pulse Width||4.5|ms;"},
        // A pulse width beyond the range once scaled is left unset, not shown as 0.0.
        {"CResultEnergy",
         [](CResultRecord& r, ResultWorld&) {
             dynamic_cast<ztest::CReplyResult&>(r).StoreResult("150.2,2000,50.1,1e306\r\n");
         },
         "|      Energy|100.0|150.2|J;|      Peak Voltage||2 000.0|V;|      Peak Current||50.1|A;"
         "|      Pulse Width|||ms;"},
        // The largest Double is printed as it is; its row is not lost.
        {"CResultCharge",
         [](CResultRecord& r, ResultWorld&) {
             dynamic_cast<ztest::CReplyResult&>(r).StoreResult("1,2,3,1.7976931348623157e308\r\n");
         },
         kLargestChargeRows.c_str()},
        {"CResultCardio",
         [](CResultRecord& r, ResultWorld&) {
             dynamic_cast<ztest::CReplyResult&>(r).StoreResult("150.2,2000,50.1,NOSYNC\r\n");
         },
         "|      Energy|100.0|150.2|J;|      Peak Voltage||2 000.0|V;|      Peak Current||50.1|A;"
         "|      Cardio Delay Time||NOSYNC|ms;"},
        {"CResultPacerRef",
         [](CResultRecord& r, ResultWorld&) { dynamic_cast<ztest::CReplyResult&>(r).StoreResult("0,0.25,0.3\r\n"); },
         "|      Sensed Rp||300|ms;|      Paced Rp||250|ms;"},
        {"CResultEcg", [](CResultRecord& r, ResultWorld& w) { RateByVerdict(r, w, true); },
         "|      ECG R-Wave Detection ||True|;"},
        {"CResultNSW", [](CResultRecord&, ResultWorld&) {}, "|      Sine 30 BPM|||;"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        ResultWorld world;
        auto record = KindNamed(c.record).make(world);
        c.fill(*record, world);
        auto report = std::make_shared<host::HostReport>();
        record->PrintReport(report, nullptr);
        ASSERT_EQ(report->Tables().size(), 1u);
        EXPECT_EQ(report->Tables()[0].rows, c.rows);
    }
}

template <class Config>
void SetPresetEnergy(ResultWorld& world, float preset)
{
    ConfigurationOf<Config>(world)->SetPresetEnergy(preset);
}

// A result rated at one preset, saved after the configuration's preset changed and reopened
// into a record built from the changed configuration, reads back as it was rated: the same
// presets, limits worked out from them, statuses and report rows.
TEST(ResultPresets, AResultReopenedAfterItsPresetChangedReadsBackAsItWasRated)
{
    struct Case {
        const char* record;
        std::function<void(ResultWorld&, float)> setPreset;
    };
    const Case cases[] = {
        {"CResultEnergy", SetPresetEnergy<ztest::CConfigEnergy>},
        {"CResultCharge", SetPresetEnergy<ztest::CConfigCharge>},
        {"CResultCardio", SetPresetEnergy<ztest::CConfigCardio>},
        {"CResultDefib", SetPresetEnergy<ztest::CConfigDefib>},
        {"CResultPacerPar",
         [](ResultWorld& world, float preset) {
             ConfigurationOf<ztest::CConfigPacerPar>(world)->SetRate(preset);
             ConfigurationOf<ztest::CConfigPacerPar>(world)->SetAmplitude(preset);
         }},
    };
    // What a reader of the result sees of it.
    auto seen = [](CResultRecord& record, ResultWorld& world) {
        std::vector<std::string> seen{std::to_string(record.GetResultStatus())};
        constexpr int32_t kPrinted = CMeasurement::FlagEvaluateFormula | CMeasurement::FlagFormatted | CMeasurement::FlagAppendUnit;
        for (const auto& m : record.Measurements()) {
            seen.push_back(m->GetKey() + " preset " + plat::CStr(m->GetPresetValue()) + " status " +
                           std::to_string(m->GetStatus()) + " limits " +
                           plat::CStr(m->GetLimitValue(world.standard, host::HostLimitItem::LowerBound, kPrinted)) + " .. " +
                           plat::CStr(m->GetLimitValue(world.standard, host::HostLimitItem::UpperBound, kPrinted)));
        }
        auto report = std::make_shared<host::HostReport>();
        record.PrintReport(report, nullptr);
        seen.push_back(report->Text());
        return seen;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        ResultWorld world;
        c.setPreset(world, 100.0f);
        auto rated = KindNamed(c.record).make(world);
        std::vector<std::string> limited;
        for (const auto& m : rated->Measurements()) {
            const std::string key = m->GetKey().substr(0, 4);
            const bool hasPreset = !m->GetPresetValue().IsEmpty();
            m->SetValue(hasPreset ? plat::CDbl(m->GetPresetValue()) : 5.0);
            if (!hasPreset || std::count(limited.begin(), limited.end(), key) > 0) continue;
            // Within 15 % of the preset either way.
            world.standard->AddItem(
                MakeLimitItem({.key = key, .upper = {true, 15.0f, "X+(X*Y%)"}, .lower = {true, -15.0f, "X+(X*Y%)"}}));
            limited.push_back(key);
        }
        ASSERT_FALSE(limited.empty());
        dynamic_cast<ztest::CLimitRatedResult&>(*rated).UpdateStatus(world.element, world.standards, false);
        ASSERT_EQ(rated->GetResultStatus(), CResultRecord::StatusPassed);
        const std::vector<std::string> asRated = seen(*rated, world);
        auto element = rated->Save(host::HostXmlDocument::Create());
        ASSERT_TRUE(element);

        // The next run is set up at 150 before the document is reopened.
        c.setPreset(world, 150.0f);
        auto reopened = KindNamed(c.record).make(world);
        auto log = std::make_shared<host::HostLoadLog>();
        reopened->Load(element, log);
        EXPECT_TRUE(log->Entries().empty()) << log->ToText();
        EXPECT_EQ(seen(*reopened, world), asRated);
    }
}

// The host and the test elements create the records by ProgID through the registry.
TEST(ResultRegistration, EveryRecordIsServedByTheTestLibrary)
{
    TempRegistry registry;
    const auto registered = plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/libtelvoZarvikTest.so");
    for (const RecordKind& kind : AllRecordKinds()) {
        SCOPED_TRACE(kind.name);
        const std::string progId = "TelvoZarvikTest." + kind.name;
        const auto found = std::find_if(registered.begin(), registered.end(),
                                        [&](const plat::RegisteredClass& c) { return c.progId == progId; });
        ASSERT_NE(found, registered.end());
        EXPECT_TRUE(plat::IsClsid(found->clsid));
        auto record = plat::CreateObjectAs<host::IResultData>(progId);
        ASSERT_TRUE(record);
        EXPECT_EQ(record->MeasurementCount(), 0);
        EXPECT_EQ(record->Status(), 0);
    }
}

} // namespace
} // namespace ztesting
