#include "host/report/HostReport.h"
#include "host/documents/HostTranslator.h"
#include "host/interfaces/IMeasurement.h"
#include "testlib/core/CMeasurement.h"
#include "testlib/core/MMiscUtils.h"
#include "tests/testlib/core/LimitFakes.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using plat::Variant;
using ztest::CMeasurement;
using ztesting::FakeTestElement;
using ztesting::FakeResult;

namespace {

struct ExpectedRow {
    const char* key;
    const char* caption; // as the report's translator gives it
    const char* format;
};

struct TypeCase {
    int32_t testType;
    std::vector<ExpectedRow> rows;
};

// "20120" is translated, so that the captions are seen to come from the report.
const std::vector<TypeCase> kCases = {
    {100, {{"ENGY", "Energie", "0.0"}, {"PULW", "Pulse Width", "0.0"}, {"PEAC", "Peak Current", "0.0"}, {"PEAV", "Peak Voltage", "0.0"}}},
    {200, {{"CHTI", "Charge Time", "0.0"}, {"ENGY", "Energie", "0.0"}}},
    {300, {{"ENGY", "Energie", "0.0"}}},
    {400, {}},
    {500, {}},
    {600, {}},
    // The pacer current is in amperes: with one decimal 0.045 to 0.055 A prints as 0.0 to 0.1, so
    // a failed 0.056 A would read as inside its limits. It prints to the milliampere, as its
    // result record does.
    {700, {{"PACR", "Pacer Rate", "0.0"}, {"PACC", "Pacer Current", "0.000"}, {"PACW", "Pacer Width", "0.0"}}},
    {800, {{"SENS", "Sensed Rp", "0"}, {"PACE", "Paced Rp", "0"}}},
    {900, {{"CHTI", "Charge Time", "0.0"}}},
    {1000, {{"ENGY", "Energie", "0.0"}, {"PLSC", "Pulse Count", "0"}, {"ENGY1", "Energie", "0.0"}}},
    {1100, {}},
    {0, {}},
    {1200, {}},
};

std::shared_ptr<CMeasurement> Measurement(const std::string& key)
{
    auto measurement = std::make_shared<CMeasurement>();
    measurement->Initialize(key, "20120::Energy", "J", 1);
    return measurement;
}

std::shared_ptr<host::HostReport> TranslatingReport()
{
    auto translator = std::make_shared<host::HostTranslator>();
    translator->SetText("ZARVIK", "20120", "Energie");
    return std::make_shared<host::HostReport>(translator);
}

} // namespace

TEST(LimitReportRows, EveryTypeGivesItsRowsWithTheMeasurementsOfItsResult)
{
    const auto report = TranslatingReport();
    for (const TypeCase& c : kCases) {
        SCOPED_TRACE("type " + std::to_string(c.testType));
        // The result holds a measurement under every key of every type, plus the plain "ENGY".
        auto result = std::make_shared<FakeResult>();
        for (const char* key : {"ENGY", "ENGY1", "PULW", "PEAC", "PEAV", "CHTI", "PACR", "PACC", "PACW", "SENS", "PACE", "PLSC"}) {
            result->measurements[key] = Measurement(key);
        }
        auto element = std::make_shared<FakeTestElement>(c.testType, result);

        const Variant rows = ztest::MMiscUtils::BuildLimitReportRows(report, element);
        if (c.rows.empty()) {
            EXPECT_TRUE(rows.IsEmpty());
            continue;
        }
        ASSERT_TRUE(rows.IsArray());
        const plat::VariantArray& array = rows.AsArray();
        ASSERT_EQ(array.Dimensions(), 2);
        EXPECT_EQ(array.LBound(1), 0);
        EXPECT_EQ(array.UBound(1), static_cast<int32_t>(c.rows.size()) - 1);
        EXPECT_EQ(array.LBound(2), 0);
        EXPECT_EQ(array.UBound(2), 3);
        for (int32_t i = 0; i < static_cast<int32_t>(c.rows.size()); ++i) {
            const ExpectedRow& expected = c.rows[static_cast<std::size_t>(i)];
            SCOPED_TRACE(std::string("row ") + expected.key);
            EXPECT_EQ(array.At(i, 0), Variant(expected.key));
            EXPECT_EQ(array.At(i, 1), Variant(expected.caption));
            EXPECT_EQ(array.At(i, 2), Variant(expected.format));
            // The pulse-repetition test shows the first discharge's energy in its energy row.
            const std::string shownKey = c.testType == 1000 && i == 0 ? "ENGY1" : expected.key;
            EXPECT_EQ(array.At(i, 3).Query<host::IMeasurement>(), result->measurements[shownKey]);
        }
    }
}

TEST(LimitReportRows, MissingMeasurementsLeaveTheirCellEmpty)
{
    const auto report = TranslatingReport();

    // The battery-capacity result holds only the numbered charge times.
    auto battery = std::make_shared<FakeResult>();
    for (int n = 1; n <= 15; ++n) battery->measurements["CHTI" + std::to_string(n)] = Measurement("CHTI" + std::to_string(n));
    Variant rows = ztest::MMiscUtils::BuildLimitReportRows(report, std::make_shared<FakeTestElement>(900, battery));
    ASSERT_TRUE(rows.IsArray());
    EXPECT_EQ(rows.AsArray().At(0, 0), Variant("CHTI"));
    EXPECT_TRUE(rows.AsArray().At(0, 3).IsEmpty());

    // A pulse-repetition result without a first discharge leaves both energy rows empty.
    auto repetition = std::make_shared<FakeResult>();
    repetition->measurements["ENGY"] = Measurement("ENGY");
    repetition->measurements["PLSC"] = Measurement("PLSC");
    rows = ztest::MMiscUtils::BuildLimitReportRows(report, std::make_shared<FakeTestElement>(1000, repetition));
    ASSERT_TRUE(rows.IsArray());
    EXPECT_TRUE(rows.AsArray().At(0, 3).IsEmpty());
    EXPECT_FALSE(rows.AsArray().At(1, 3).IsEmpty());
    EXPECT_TRUE(rows.AsArray().At(2, 3).IsEmpty());

    // Without a result, or with one whose calls fail, the rows are there without measurements.
    auto failing = std::make_shared<FakeResult>();
    failing->failing = true;
    for (const auto& result : {std::shared_ptr<FakeResult>(), failing}) {
        rows = ztest::MMiscUtils::BuildLimitReportRows(report, std::make_shared<FakeTestElement>(100, result));
        ASSERT_TRUE(rows.IsArray());
        for (int32_t i = 0; i < 4; ++i) {
            EXPECT_FALSE(rows.AsArray().At(i, 0).IsEmpty());
            EXPECT_TRUE(rows.AsArray().At(i, 3).IsEmpty());
        }
    }

    // No element: no rows.
    EXPECT_TRUE(ztest::MMiscUtils::BuildLimitReportRows(report, nullptr).IsEmpty());
}
