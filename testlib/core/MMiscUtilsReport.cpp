#include "testlib/core/MMiscUtils.h"

#include "host/report/HostReport.h"
#include "host/documents/HostTranslator.h"
#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/IResultData.h"
#include "host/interfaces/ITestElement.h"
#include "instrument/ZarvikModule.h"

#include <exception>
#include <vector>

namespace ztest::MMiscUtils {

// ---- Limit report rows ----

namespace {

constexpr const char* kModuleKey = zarvik::ModuleKey;
constexpr int32_t kPulseRepetition = 1000;

struct ReportRow {
    const char* key;
    const char* caption;
    const char* format;
};

struct TypeRows {
    int32_t testType;
    std::vector<ReportRow> rows;
};

// The quantities each test type shows in its limits report. They differ from the default
// limits on purpose: the charge-time test reports its charge time and energy only, the
// cardioversion test its energy only.
const std::vector<TypeRows>& RowTables()
{
    static const std::vector<TypeRows> tables = {
        {100,
         {{"ENGY", "20120::Energy", "0.0"},
          {"PULW", "20123::Pulse Width", "0.0"},
          {"PEAC", "20122::Peak Current", "0.0"},
          {"PEAV", "20121::Peak Voltage", "0.0"}}},
        {200, {{"CHTI", "20124::Charge Time", "0.0"}, {"ENGY", "20120::Energy", "0.0"}}},
        {300, {{"ENGY", "20120::Energy", "0.0"}}},
        {700,
         {{"PACR", "20126::Pacer Rate", "0.0"},
          // The current is in amperes: it prints to the milliampere, as its result record shows
          // it, so that a value and its limits a few milliamperes apart can be told apart.
          {"PACC", "20127::Pacer Current", "0.000"},
          {"PACW", "20128::Pacer Width", "0.0"}}},
        {800, {{"SENS", "20129::Sensed Rp", "0"}, {"PACE", "20130::Paced Rp", "0"}}},
        {900, {{"CHTI", "20124::Charge Time", "0.0"}}},
        // Row 2 is the first discharge's energy ("ENGY" and the discharge number 1).
        {1000, {{"ENGY", "20120::Energy", "0.0"}, {"PLSC", "20133::Pulse Count", "0"}, {"ENGY1", "20120::Energy", "0.0"}}},
    };
    return tables;
}

const std::vector<ReportRow>* RowsOf(int32_t testType)
{
    for (const TypeRows& table : RowTables()) {
        if (table.testType == testType) return &table.rows;
    }
    return nullptr;
}

std::string Translated(const std::shared_ptr<host::HostReport>& report, const char* caption)
{
    const std::vector<plat::Variant> noArguments;
    try {
        if (report) return report->Translate(kModuleKey, caption, noArguments);
        return host::HostTranslator::Process()->Translate(kModuleKey, caption, noArguments);
    } catch (const std::exception&) {
        return caption;
    }
}

// The measurement of the key in the result, or Empty.
plat::Variant MeasurementOf(const std::shared_ptr<host::IResultData>& result, const std::string& key)
{
    if (!result) return {};
    try {
        std::shared_ptr<host::IMeasurement> measurement = result->Measurement(plat::Variant(key));
        if (measurement) return plat::Variant(measurement);
    } catch (const std::exception&) {
        // A result that cannot give the measurement leaves the cell empty.
    }
    return {};
}

} // namespace

plat::Variant BuildLimitReportRows(const std::shared_ptr<host::HostReport>& report,
                                   const std::shared_ptr<host::ITestElement>& element)
{
    std::shared_ptr<host::IResultData> result;
    try {
        if (element) result = element->Result();
    } catch (const std::exception&) {
        // Without a result the rows stay without values.
    }
    return BuildLimitReportRows(report, element, result);
}

plat::Variant BuildLimitReportRows(const std::shared_ptr<host::HostReport>& report,
                                   const std::shared_ptr<host::ITestElement>& element,
                                   const std::shared_ptr<host::IResultData>& result)
{
    if (!element) return {};
    int32_t testType = 0;
    const std::vector<ReportRow>* rows = nullptr;
    try {
        testType = element->TestID();
        rows = RowsOf(testType);
    } catch (const std::exception&) {
        // Without a test type there are no rows.
    }
    if (!rows) return {};

    const auto count = static_cast<int32_t>(rows->size());
    plat::VariantArray array = plat::VariantArray::TwoDim(0, count, 0, 4);
    for (int32_t i = 0; i < count; ++i) {
        const ReportRow& row = (*rows)[static_cast<std::size_t>(i)];
        array.At(i, 0) = plat::Variant(row.key);
        array.At(i, 1) = plat::Variant(Translated(report, row.caption));
        array.At(i, 2) = plat::Variant(row.format);
        array.At(i, 3) = MeasurementOf(result, row.key);
    }
    // The pulse-repetition test shows the first discharge's energy in its energy row.
    if (testType == kPulseRepetition) array.At(0, 3) = array.At(2, 3);
    return plat::Variant(std::move(array));
}

// ---- End of limit report rows ----

} // namespace ztest::MMiscUtils
