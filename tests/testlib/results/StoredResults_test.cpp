// A reopened result that contradicts itself: its stored status against its stored measurements,
// a measurement stored twice or not at all, and a stored verdict that the limits and preset
// stored beside it do not give. Each is told in the load log; what was stored is kept.

#include "ResultTestSupport.h"

#include "host/documents/HostLoadLog.h"
#include "host/documents/HostXmlDocument.h"
#include "host/documents/HostXmlElement.h"
#include "host/report/HostReport.h"
#include "testlib/elements/CTestEnergy.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace ztesting {
namespace {

using ztest::CMeasurement;
using ztest::CResultRecord;

// A stored test element as a saved file holds it: the element's limits, then the result.
std::string StoredTest(ResultWorld& world, CResultRecord& record)
{
    auto document = host::HostXmlDocument::Create();
    auto test = document->CreateElement("TestElement");
    test->SetAttribute("TestID", "100");
    test->SetAttribute("Name", "Bench test");
    document->AppendChild(test);
    if (auto limits = world.limits->Save(document)) test->AppendChild(limits);
    test->AppendChild(record.Save(document));
    return test->Xml();
}

// The text with its first occurrence of `from`, at or after `after`, replaced by `to`; the test
// fails when there is none.
std::string Edited(std::string text, const std::string& from, const std::string& to, const std::string& after = {})
{
    const std::size_t start = after.empty() ? 0 : text.find(after);
    const std::size_t at = start == std::string::npos ? std::string::npos : text.find(from, start);
    if (at == std::string::npos) {
        ADD_FAILURE() << "no " << from << " after " << after << " in " << text;
        return text;
    }
    return text.replace(at, from.size(), to);
}

// The stored element of one measurement, as it stands in the text.
std::string MeasurementElement(const std::string& text, const std::string& key)
{
    const std::size_t at = text.find("<Measurement Key=\"" + key + "\"");
    if (at == std::string::npos) return {};
    const std::string end = "</Measurement>";
    return text.substr(at, text.find(end, at) + end.size() - at);
}

struct Reopened {
    std::shared_ptr<CResultRecord> record;
    std::shared_ptr<host::HostLoadLog> log;
};

Reopened Reopen(const RecordKind& kind, ResultWorld& world, const std::string& text)
{
    auto document = host::HostXmlDocument::Create();
    document->LoadXml(text);
    Reopened reopened{kind.make(world), std::make_shared<host::HostLoadLog>()};
    reopened.record->Load(document->DocumentElement()->SelectChild(CResultRecord::ElementName), reopened.log);
    return reopened;
}

// Each entry of the log holds its expected text, in order, with severity 2 and the test named.
void ExpectTold(const host::HostLoadLog& log, const std::vector<std::string>& texts)
{
    ASSERT_EQ(log.Entries().size(), texts.size()) << log.ToText();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const auto& entry = log.Entries()[i];
        EXPECT_NE(entry.text.find(texts[i]), std::string::npos) << entry.text;
        EXPECT_EQ(entry.severity, 2);
        EXPECT_EQ(entry.arguments.At(0), plat::Variant("Bench test"));
    }
    EXPECT_EQ(log.OpenSectionCount(), 0);
}

// The measurement that the log's first entry names; Empty without one.
plat::Variant MeasurementNamed(const host::HostLoadLog& log)
{
    return log.Entries().empty() ? plat::Variant() : log.Entries().front().arguments.At(1);
}

class StoredResults : public testing::TestWithParam<RecordKind> {
protected:
    ResultWorld world;
};

// Every record, rated passed and failed: saved as it is, it reopens without a word; each edit
// that makes its stored status contradict its measurements is told, and the statuses stored
// are kept.
TEST_P(StoredResults, AStatusThatItsMeasurementsDoNotGiveIsTold)
{
    const RecordKind& kind = GetParam();
    const std::string first = kind.keys.front();
    for (const bool passed : {true, false}) {
        SCOPED_TRACE(passed ? "rated passed" : "rated failed");
        auto record = kind.make(world);
        kind.rate(*record, world, passed);
        ASSERT_EQ(record->Status(), passed ? CResultRecord::StatusPassed : CResultRecord::StatusFailed);
        const std::string stored = StoredTest(world, *record);
        const std::string recordStatus = passed ? "<Status>1</Status>" : "<Status>2</Status>";
        const std::string firstElement = MeasurementElement(stored, first);
        ASSERT_FALSE(firstElement.empty()) << stored;
        // A failed rating fails the first measurement, and with it every one of its series.
        std::size_t failedCount = 0;
        for (const auto& measurement : record->Measurements())
            failedCount += measurement->GetStatus() == CMeasurement::StatusFailed;

        {
            SCOPED_TRACE("as saved");
            ExpectTold(*Reopen(kind, world, stored).log, {});
        }
        {
            SCOPED_TRACE("the record's status turned over");
            const Reopened reopened =
                Reopen(kind, world, Edited(stored, recordStatus, passed ? "<Status>2</Status>" : "<Status>1</Status>"));
            const std::vector<std::string> told =
                passed ? std::vector<std::string>{"is stored as failed, but none of its measurements is stored as failed"}
                       : std::vector<std::string>(failedCount,
                                                  "is stored as passed, but its measurement '%%2' is stored as failed");
            ExpectTold(*reopened.log, told);
            EXPECT_EQ(reopened.record->Status(), passed ? CResultRecord::StatusFailed : CResultRecord::StatusPassed);
        }
        {
            SCOPED_TRACE("a measurement stored twice");
            // The repeat holds another value; the first stays whole.
            std::string repeat = Edited(firstElement, "</Value>", "9</Value>");
            const Reopened reopened = Reopen(kind, world, Edited(stored, "</ResultItem>", repeat + "</ResultItem>"));
            ExpectTold(*reopened.log, {"is stored more than once; the first is kept"});
            EXPECT_EQ(MeasurementNamed(*reopened.log), plat::Variant(first));
            EXPECT_EQ(reopened.record->FindMeasurement(first)->GetValue(), record->FindMeasurement(first)->GetValue());
        }
        {
            SCOPED_TRACE("a measurement missing");
            const Reopened reopened = Reopen(kind, world, Edited(stored, firstElement, ""));
            std::vector<std::string> told = {"its measurement '%%2' is missing"};
            // The only failed measurement gone, a failed record is failed by none.
            if (!passed && failedCount == 1) told.push_back("is stored as failed, but none of its measurements is stored as failed");
            ExpectTold(*reopened.log, told);
            EXPECT_EQ(MeasurementNamed(*reopened.log), plat::Variant(first));
        }
        {
            SCOPED_TRACE("a measurement stored without its status");
            const std::string measurementStatus = passed ? "<Status>1</Status>" : "<Status>2</Status>";
            const Reopened reopened = Reopen(kind, world, Edited(stored, measurementStatus, "", "<Measurement"));
            std::vector<std::string> told;
            if (passed) told.push_back("is stored as passed, but its measurement '%%2' is stored as not rated");
            if (!passed && failedCount == 1)
                told.push_back("is stored as failed, but none of its measurements is stored as failed");
            ExpectTold(*reopened.log, told);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryRecord, StoredResults, testing::ValuesIn(AllRecordKinds()), KindName);

// The records rated against limits rate each stored value again against the limits and the
// preset stored beside it; a stored verdict that this rating does not give is told, and kept.
class StoredRatings : public StoredResults {};

TEST_P(StoredRatings, AVerdictThatTheStoredLimitsDoNotGiveIsTold)
{
    const RecordKind& kind = GetParam();
    const std::string first = kind.keys.front();
    const std::string limitKey = first.substr(0, 4);
    const struct {
        const char* name;
        float bound;    // the upper bound the record is rated with; every value is 5
        const char* from; // the edit of the stored file: the first such text after `after`
        const char* to;
        const char* after;
        const char* told;
        bool everyOfTheKey; // the edit reaches every measurement that the item judges
    } cases[] = {
        {"value beyond the limit, stored passed", 10.0f, ">5</Value>", ">50</Value>", "<Measurement",
         "is stored as passed, but the limits and preset stored with it rate it failed", false},
        {"limit edited below the value", 10.0f, "Value=\"10\"", "Value=\"1\"", "<Upper",
         "is stored as passed, but the limits and preset stored with it rate it failed", true},
        {"limit edited above the value, stored failed", 1.0f, "Value=\"1\"", "Value=\"10\"", "<Upper",
         "is stored as failed, but the limits and preset stored with it rate it passed", true},
        {"limit disabled, stored failed", 1.0f, "Enabled=\"True\"", "Enabled=\"False\"", "<Upper",
         "is stored as failed, but the limits and preset stored with it rate it passed", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto record = kind.make(world);
        for (const auto& measurement : record->Measurements()) measurement->SetValue(5.0);
        world.standard->ClearItems();
        world.AddBounds(limitKey, c.bound, std::nullopt);
        dynamic_cast<ztest::CLimitRatedResult&>(*record).UpdateStatus(world.element, world.standards, false);
        const std::string stored = StoredTest(world, *record);
        ExpectTold(*Reopen(kind, world, stored).log, {});

        std::size_t reached = 1;
        if (c.everyOfTheKey) {
            reached = 0;
            for (const auto& measurement : record->Measurements())
                reached += measurement->GetKey().starts_with(limitKey);
        }
        const Reopened reopened = Reopen(kind, world, Edited(stored, c.from, c.to, c.after));
        ExpectTold(*reopened.log, std::vector<std::string>(reached, c.told));
        EXPECT_EQ(MeasurementNamed(*reopened.log), plat::Variant(first));
        EXPECT_EQ(reopened.record->FindMeasurement(first)->GetStatus(), record->FindMeasurement(first)->GetStatus());
    }
}

std::vector<RecordKind> LimitRatedKinds()
{
    std::vector<RecordKind> kinds;
    for (const RecordKind& kind : AllRecordKinds()) {
        auto record = kind.create();
        if (std::dynamic_pointer_cast<ztest::CLimitRatedResult>(record)) kinds.push_back(kind);
    }
    return kinds;
}

INSTANTIATE_TEST_SUITE_P(EveryLimitRatedRecord, StoredRatings, testing::ValuesIn(LimitRatedKinds()), KindName);

// ---- A reopened energy test, printed ---------------------------------------------------------

// A passed 100 J energy test as a run saves it: preset 100 J, limits 85 to 115 J.
const char* const kPassedEnergyTest = R"xml(<TestElement PlugInID="ZARVIK" TestID="100" ID="100" ClassName="TelvoZarvikTest.CTestEnergy" Name="Bench test">
  <PlugInData PlugIn="ZARVIK">
    <AmplitudeIndex>0</AmplitudeIndex>
    <PresetEnergy>100</PresetEnergy>
    <Wavetype>Ventricular fibrillation 2,fine</Wavetype>
    <WaveFormIndex>1</WaveFormIndex>
  </PlugInData>
  <ExpectedResult>
    <Standard AlphaName="IEC" CompleteName="IEC 60601-2-4" Kind="1">
      <LimitItem Key="ENGY" Unit="J" Caption="" Note="" Type="Formula">
        <Upper Enabled="True" Value="15" Formula="X+(X*Y%)" />
        <Lower Enabled="True" Value="-15" Formula="X+(X*Y%)" />
      </LimitItem>
    </Standard>
  </ExpectedResult>
  <ResultItem MTI="1">
    <Status>1</Status>
    <Measurement Key="ENGY">
      <Description>20120::Energy</Description>
      <Value Type="Double" ValueType="1">100</Value>
      <Unit>J</Unit>
      <Status>1</Status>
      <PresetValue><Value Type="Single" ValueType="1">100</Value></PresetValue>
    </Measurement>
    <Measurement Key="PEAV"><Value Type="Double" ValueType="1">1414</Value><Unit>V</Unit><Status>1</Status></Measurement>
    <Measurement Key="PEAC"><Value Type="Double" ValueType="1">28.3</Value><Unit>A</Unit><Status>1</Status></Measurement>
    <Measurement Key="PULW"><Value Type="Double" ValueType="1">5</Value><Unit>ms</Unit><Status>1</Status></Measurement>
  </ResultItem>
</TestElement>)xml";

std::string LineStartingWith(const std::string& text, const std::string& start)
{
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with(start)) return line;
    return {};
}

// One edit at a time of a passed energy test, reopened and printed: a stored verdict that the
// row's own limits and preset contradict is told on load and printed marked as the stored one;
// the stored status stays. A refused preset is told by itself and not rated again (the preset
// the value was rated with is unknown), and its row is marked the same way.
TEST(StoredEnergyTest, AReopenedVerdictIsNeverPrintedBareAgainstItsOwnLimits)
{
    ResultWorld world; // the default language, and message boxes kept
    const char* const kRatedFailed = "stored as passed, but the limits and preset stored with it rate it failed";
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> edits;
        std::vector<std::string> told;
        const char* row;
    } cases[] = {
        {"as saved", {}, {}, "Energy                       85.0        115.0        100.0 J        Passed"},
        {"value 130",
         {{">100</Value>\n      <Unit>", ">130</Value>\n      <Unit>"}},
         {kRatedFailed},
         "Energy                       85.0        115.0        130.0 J        Passed (stored)"},
        {"preset -100",
         {{">100</Value></PresetValue>", ">-100</Value></PresetValue>"}},
         {kRatedFailed},
         "Energy                      -85.0       -115.0        100.0 J        Passed (stored)"},
        {"preset 0",
         {{">100</Value></PresetValue>", ">0</Value></PresetValue>"}},
         {kRatedFailed},
         "Energy                        0.0          0.0        100.0 J        Passed (stored)"},
        {"upper limit edited to 95",
         {{"<Upper Enabled=\"True\" Value=\"15\" Formula=\"X+(X*Y%)\" />", "<Upper Enabled=\"True\" Value=\"95\" Formula=\"\" />"}},
         {kRatedFailed},
         "Energy                       85.0         95.0        100.0 J        Passed (stored)"},
        {"preset refused, 150 J configured",
         {{"<PresetEnergy>100<", "<PresetEnergy>150<"},
          {"<Value Type=\"Single\" ValueType=\"1\">100</Value></PresetValue>",
           "<Value Type=\"String\" ValueType=\"1\">100 J</Value></PresetValue>"}},
         {"Can not load the preset value '%%1' of the measurement '%%2'"},
         "Energy                      127.5        172.5        100.0 J        Passed (stored)"},
        {"passed over a failed energy",
         {{"<Unit>J</Unit>\n      <Status>1</Status>", "<Unit>J</Unit>\n      <Status>2</Status>"}},
         {"is stored as passed, but its measurement '%%2' is stored as failed",
          "is stored as failed, but the limits and preset stored with it rate it passed"},
         "Energy                       85.0        115.0        100.0 J        Failed (stored)"},
        {"passed with its energy missing",
         {{"<Measurement Key=\"ENGY\">", "<Unknown>"}, {"</PresetValue>\n    </Measurement>", "</PresetValue>\n    </Unknown>"}},
         {"its measurement '%%2' is missing"},
         "Energy                       85.0        115.0              J"},
        {"energy stored twice, the repeat with another value and preset",
         {{"<Measurement Key=\"PEAV\">",
           "<Measurement Key=\"ENGY\"><Value Type=\"Double\" ValueType=\"1\">150</Value><Status>1</Status>"
           "<PresetValue><Value Type=\"Single\" ValueType=\"1\">150</Value></PresetValue></Measurement>"
           "<Measurement Key=\"PEAV\">"}},
         {"is stored more than once; the first is kept"},
         "Energy                       85.0        115.0        100.0 J        Passed"},
        {"failed over passed measurements",
         {{"<ResultItem MTI=\"1\">\n    <Status>1</Status>", "<ResultItem MTI=\"1\">\n    <Status>2</Status>"}},
         {"is stored as failed, but none of its measurements is stored as failed"},
         "Energy                       85.0        115.0        100.0 J        Passed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = kPassedEnergyTest;
        for (const auto& [from, to] : c.edits) text = Edited(text, from, to);
        auto file = host::HostXmlDocument::Create();
        file->LoadXml(text);
        auto reopened = ztest::CTestEnergy::Create();
        auto log = std::make_shared<host::HostLoadLog>();
        auto children = file->DocumentElement()->ChildNodes();
        for (int32_t i = 0; i < children->Count(); ++i) reopened->Load(children->Item(i), log);

        ASSERT_EQ(log->Entries().size(), c.told.size()) << log->ToText();
        for (std::size_t i = 0; i < c.told.size(); ++i) {
            EXPECT_NE(log->Entries()[i].text.find(c.told[i]), std::string::npos) << log->Entries()[i].text;
            EXPECT_EQ(log->Entries()[i].severity, 2);
        }
        ASSERT_NE(reopened->Result(), nullptr);
        auto report = std::make_shared<host::HostReport>();
        reopened->PrintReport(report, {});
        EXPECT_EQ(LineStartingWith(report->Text(), "Energy  "), c.row) << report->Text();
    }
}

} // namespace
} // namespace ztesting
