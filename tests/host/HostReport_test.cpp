#include "host/report/HostReport.h"
#include "platform/base/ComError.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using host::HostReport;
using host::HostTranslator;
using plat::ComError;
using plat::Variant;

namespace {

// The table a result record writes: an empty margin cell, caption, preset, value, unit.
const char* const kResultFormat = "<+560|<2240|>+1000|>+1000|^+1000|<+!1000|<+560;";
const char* const kResultHeader = "|{\\i\\b Result:}|{\\i\\b Preset Value}|{\\i\\b Value}|{\\i\\b Unit};";
const char* const kResultRows = "|      Energy|100.0|101.5|J;|      Peak Voltage||2 000.0|V;";

} // namespace

TEST(HostReport, FlagsAndPageMetrics)
{
    HostReport report;
    EXPECT_FALSE(report.FailedOnly());
    report.SetFlags(HostReport::FlagFailedOnly | 1);
    EXPECT_TRUE(report.FailedOnly());
    EXPECT_EQ(report.Flags() & 16, 16);

    // A4 portrait with 2 cm margins.
    EXPECT_EQ(report.PageMetric(HostReport::MetricPageWidth), 11906);
    EXPECT_EQ(report.PageMetric(10), 11906 - 2 * 1134);
    EXPECT_EQ(report.PageMetric(7), 11906 - 2 * 1134 - 1120);

    report.SetPageSize(12240, 15840);
    report.SetMargins(1440, 1440, 720, 720);
    EXPECT_EQ(report.PageMetric(10), 9360);
    EXPECT_EQ(report.PageMetric(7), 8240);
    EXPECT_EQ(report.PageMetric(HostReport::MetricBodyHeight), 14400);

    report.SetPageMetric(10, 7360);
    EXPECT_EQ(report.PageMetric(10), 7360);
    EXPECT_EQ(report.PageMetric(7), 8240); // only the fixed metric changes

    for (int32_t unknown : {0, 11, -1}) EXPECT_THROW(report.PageMetric(unknown), ComError);
    EXPECT_THROW(report.SetPageMetric(11, 1), ComError);
    EXPECT_THROW(report.SetPageMetric(HostReport::MetricCharacterWidth, 0), ComError);
}

TEST(HostReport, TranslatesThroughItsTranslator)
{
    auto translator = std::make_shared<HostTranslator>();
    translator->SetText("ZARVIK", "231", "Wert");
    HostReport report(translator);
    EXPECT_EQ(report.Translate("ZARVIK", "231::Value"), "Wert");
    EXPECT_EQ(report.Translate("ZARVIK", "20171::in %%1 s", {Variant(int32_t{3})}), "in 3 s");

    HostReport processReport;
    EXPECT_EQ(processReport.Translator(), HostTranslator::Process());
}

TEST(HostReport, RendersARecordTableAsReadableText)
{
    HostReport report;
    report.SetPageMetric(10, 7360);
    report.SetFontSize(7);
    report.SetIndent(0);
    report.SetBorder(1);
    report.WriteTable(kResultFormat, kResultHeader, kResultRows, 0, 0, 0);

    // Columns of 5, 19, 8, 8, 8, 8 and 5 characters at 120 twips each; "Preset Value" widens its
    // column to 12.
    const std::vector<std::string> expected = {
        "-----------------------------------------------------------------------",
        "      Result:             Preset Value    Value   Unit",
        "-----------------------------------------------------------------------",
        "            Energy               100.0    101.5    J",
        "            Peak Voltage                2 000.0    V",
        "-----------------------------------------------------------------------",
    };
    EXPECT_EQ(report.Lines(), expected);

    ASSERT_EQ(report.Tables().size(), 1u);
    const HostReport::Table& table = report.Tables().front();
    EXPECT_EQ(table.columnFormat, kResultFormat);
    EXPECT_EQ(table.header, kResultHeader);
    EXPECT_EQ(table.rows, kResultRows);
    EXPECT_EQ(table.fontSize, 7);
    EXPECT_EQ(table.border, 1);
}

TEST(HostReport, NeverCutsOrDropsCells)
{
    HostReport report;
    // A negative width (a page too narrow for the layout) means as wide as the content; cells
    // beyond the format and rows without a closing ";" still show.
    report.WriteTable(">+-90|<+240;", "", "|a very long caption text|x|extra;|tail|y");
    const std::vector<std::string> expected = {
        " a very long caption text x extra",
        " tail                     y",
    };
    EXPECT_EQ(report.Lines(), expected);

    report.Clear();
    report.SetIndent(240);
    report.WriteTable("", "{\\b\\fs20 Big} \\{1\\}|back\\\\slash;", "one|two\r\nlines;\r\n");
    const std::vector<std::string> indented = {
        "  Big {1} back\\slash",
        "  ------------------",
        "  one     two  lines",
    };
    EXPECT_EQ(report.Lines(), indented);
}

TEST(HostReport, RowsKeepEveryCellWhole)
{
    // A "|" or ";" inside a cell's text would split the cell or end the row.
    EXPECT_EQ(HostReport::Row({"", "Energy | peak; max", "100.0", "J"}), "|Energy   peak  max|100.0|J;");
    EXPECT_EQ(HostReport::Row({"a;b", "", "c|d"}), "a b||c d;");
    EXPECT_EQ(HostReport::Row({}), ";");

    HostReport report;
    report.WriteTable("", "", HostReport::Row({"x|y", "1;2"}) + HostReport::Row({"z", "3"}));
    EXPECT_EQ(report.Lines(), (std::vector<std::string>{"x y 1 2", "z   3"}));
}

TEST(HostReport, BodyCollectsLinesAndTables)
{
    HostReport report;
    report.WriteLine("IEC 60601");
    report.WriteTable("<1200|>1200;", "", "Energy|100;");
    report.WriteLine("first\r\nsecond");
    EXPECT_EQ(report.Text(), "IEC 60601\nEnergy            100\nfirst\nsecond\n");

    report.Clear();
    EXPECT_EQ(report.Text(), "");
    EXPECT_TRUE(report.Tables().empty());
}
