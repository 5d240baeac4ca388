#pragma once

#include "host/documents/HostTranslator.h"
#include "platform/base/Unknown.h"
#include "platform/base/Variant.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace host {

// The report object handed to every PrintReport: it carries the report's flags and page
// metrics, translates texts, and takes tables in the row format the records build. This
// stand-in renders everything as plain text lines (its body), which tests and zarvik-host read
// back; it keeps each table as it was given too.
//
// Table format. A table is three texts: the column format, the header rows and the body rows.
// Rows end with ";" and their cells are separated by "|"; the text before the first "|" is the
// first cell, so "|      Energy|100.0|J;" has an empty first cell. The column format is one row
// whose cells describe the columns in order: "<" left, ">" right and "^" centred alignment,
// a width in twips (a width of 0 or less means as wide as the content), "+" and "!" flags that
// plain text does not show. Cells may carry rich-text markup ("{\i\b Value}"); plain text keeps
// their words only.
class HostReport : public plat::IUnknown {
public:
    // Flags word: with this flag set, records list their failed measurements only.
    static constexpr int32_t FlagFailedOnly = 16;

    // Page metrics by number, all in twips (1440 to the inch).
    enum Metric : int32_t {
        MetricPageWidth = 1,
        MetricPageHeight = 2,
        MetricLeftMargin = 3,
        MetricRightMargin = 4,
        MetricTopMargin = 5,
        MetricBottomMargin = 6,
        // The body width less a gutter of 560 twips at each side.
        MetricInnerWidth = 7,
        MetricBodyHeight = 8,
        // The width of one character of the plain-text rendering.
        MetricCharacterWidth = 9,
        // The page width less the left and right margins.
        MetricBodyWidth = 10,
    };

    // One table as it was given, with the formatting in force when it was written.
    struct Table {
        std::string columnFormat;
        std::string header;
        std::string rows;
        std::array<int32_t, 3> options{};
        int32_t fontSize = 0;
        int32_t indent = 0;
        int32_t border = 0;
    };

    // An A4 portrait page with 2 cm margins and characters 120 twips wide (80 to the body line);
    // translation through the process translator.
    HostReport();
    explicit HostReport(std::shared_ptr<HostTranslator> translator);

    int32_t Flags() const { return mFlags; }
    void SetFlags(int32_t flags) { mFlags = flags; }
    bool FailedOnly() const { return (mFlags & FlagFailedOnly) != 0; }

    void SetPageSize(int32_t width, int32_t height);
    void SetMargins(int32_t left, int32_t right, int32_t top, int32_t bottom);
    // The metric of that number; a number that is not a Metric raises Invalid procedure call.
    int32_t PageMetric(int32_t number) const;
    // Fixes one metric at a value, whatever the page says; the character width must be above 0.
    void SetPageMetric(int32_t number, int32_t value);

    // Translation through this report's translator (the process translator unless one is set).
    std::string Translate(const std::string& moduleKey, std::string_view text) const;
    std::string Translate(const std::string& moduleKey, std::string_view text, const std::vector<plat::Variant>& args) const;
    std::string Translate(const std::string& moduleKey, std::string_view text, const plat::VariantArray& args) const;
    std::shared_ptr<HostTranslator> Translator() const;
    void SetTranslator(std::shared_ptr<HostTranslator> translator) { mTranslator = std::move(translator); }

    // Formatting of the tables written next: font size in points (kept, plain text has one),
    // left indent in twips, and border (0 none, otherwise ruled above and below).
    int32_t FontSize() const { return mFontSize; }
    void SetFontSize(int32_t points) { mFontSize = points; }
    int32_t Indent() const { return mIndent; }
    void SetIndent(int32_t twips) { mIndent = twips; }
    int32_t Border() const { return mBorder; }
    void SetBorder(int32_t border) { mBorder = border; }

    // Writes one table into the body. The three options are kept with the table; the plain
    // text rendering uses none of them. Cells are never cut: a column grows to its widest cell.
    void WriteTable(std::string_view columnFormat, std::string_view header, std::string_view rows,
                    int32_t option1 = 0, int32_t option2 = 0, int32_t option3 = 0);
    // One body row as WriteTable takes it: the texts of the cells, each made safe by CellText,
    // separated by "|" and ended by ";". Every row writer builds its rows with it.
    static std::string Row(std::initializer_list<std::string_view> cells);
    // A text as one cell may hold it: a "|" or ";" in a caption or value would end the cell or
    // the row early, so each becomes a blank. Markup a writer means goes around the result.
    static std::string CellText(std::string_view text);

    // Writes one line of text into the body.
    void WriteLine(std::string_view text);

    const std::vector<Table>& Tables() const { return mTables; }
    const std::vector<std::string>& Lines() const { return mLines; }
    // The body as text, each line ended by a line feed.
    std::string Text() const;
    // Empties the body and forgets the tables; flags, page and formatting stay.
    void Clear();

    // The plain-text lines of one table, as WriteTable renders it with this report's metrics.
    std::vector<std::string> RenderTable(std::string_view columnFormat, std::string_view header,
                                         std::string_view rows) const;

private:
    int32_t mFlags = 0;
    int32_t mPageWidth = 11906;
    int32_t mPageHeight = 16838;
    int32_t mLeftMargin = 1134;
    int32_t mRightMargin = 1134;
    int32_t mTopMargin = 1134;
    int32_t mBottomMargin = 1134;
    std::map<int32_t, int32_t> mFixedMetrics;
    std::shared_ptr<HostTranslator> mTranslator;
    int32_t mFontSize = 10;
    int32_t mIndent = 0;
    int32_t mBorder = 0;
    std::vector<Table> mTables;
    std::vector<std::string> mLines;
};

} // namespace host
