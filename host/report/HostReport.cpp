#include "host/report/HostReport.h"

#include "platform/base/ComError.h"

#include <algorithm>
#include <cctype>
#include <limits>

namespace host {

namespace {

constexpr const char* kSource = "Host.HostReport";
constexpr int64_t kGutter = 560;
// A column format can ask for any width; plain text stops at this many characters per column.
constexpr std::size_t kMaxColumnChars = 400;

enum class Align { Left, Right, Centre };

struct Column {
    Align align = Align::Left;
    std::size_t width = 0; // characters
};

int32_t Clamp32(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// Characters on screen of a UTF-8 text: every byte that does not continue a sequence.
std::size_t DisplayWidth(std::string_view s)
{
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// Splits at a separator; the text after the last separator counts only when it is not empty,
// so "a;b;" is two pieces and "a;b" too.
std::vector<std::string_view> SplitPieces(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    while (!text.empty()) {
        std::size_t end = text.find(separator);
        if (end == std::string_view::npos) {
            pieces.push_back(text);
            break;
        }
        pieces.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return pieces;
}

// The words of a cell without its rich-text markup: groups, control words ("\b", "\fs20")
// and their one delimiting blank go; "\\", "\{" and "\}" stand for the character itself; line
// breaks and tabs become blanks so that a row stays on one line.
std::string PlainCellText(std::string_view cell)
{
    std::string out;
    out.reserve(cell.size());
    for (std::size_t i = 0; i < cell.size(); ++i) {
        char c = cell[i];
        if (c == '{' || c == '}') continue;
        if (c == '\\' && i + 1 < cell.size()) {
            char next = cell[i + 1];
            if (next == '\\' || next == '{' || next == '}') {
                out += next;
                ++i;
                continue;
            }
            if (std::isalpha(static_cast<unsigned char>(next))) {
                std::size_t j = i + 1;
                while (j < cell.size() && std::isalpha(static_cast<unsigned char>(cell[j]))) ++j;
                if (j < cell.size() && cell[j] == '-') ++j;
                while (j < cell.size() && std::isdigit(static_cast<unsigned char>(cell[j]))) ++j;
                if (j < cell.size() && cell[j] == ' ') ++j;
                i = j - 1;
                continue;
            }
        }
        out += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
    }
    return out;
}

std::vector<std::vector<std::string>> ParseRows(std::string_view text)
{
    std::vector<std::vector<std::string>> rows;
    for (std::string_view row : SplitPieces(text, ';')) {
        // Line ends between rows are layout of the text, not content.
        while (!row.empty() && (row.front() == '\r' || row.front() == '\n')) row.remove_prefix(1);
        if (row.empty()) continue;
        std::vector<std::string> cells;
        std::size_t start = 0;
        for (;;) {
            std::size_t bar = row.find('|', start);
            cells.push_back(PlainCellText(row.substr(start, bar == std::string_view::npos ? bar : bar - start)));
            if (bar == std::string_view::npos) break;
            start = bar + 1;
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

std::vector<Column> ParseColumns(std::string_view format, int32_t characterWidth)
{
    std::vector<Column> columns;
    std::vector<std::string_view> rows = SplitPieces(format, ';');
    if (rows.empty()) return columns;
    std::string_view columnRow = rows.front();
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = columnRow.find('|', start);
        std::string_view cell = columnRow.substr(start, bar == std::string_view::npos ? bar : bar - start);
        Column column;
        int64_t twips = 0;
        bool negative = false;
        for (char c : cell) {
            if (c == '<') column.align = Align::Left;
            else if (c == '>') column.align = Align::Right;
            else if (c == '^') column.align = Align::Centre;
            else if (c == '-') negative = true;
            else if (std::isdigit(static_cast<unsigned char>(c)) && twips < (int64_t{1} << 40)) twips = twips * 10 + (c - '0');
        }
        if (!negative && twips > 0) {
            int64_t chars = (twips + characterWidth / 2) / characterWidth;
            column.width = static_cast<std::size_t>(std::min<int64_t>(chars, kMaxColumnChars));
        }
        columns.push_back(column);
        if (bar == std::string_view::npos) break;
        start = bar + 1;
    }
    return columns;
}

std::string Pad(const std::string& text, std::size_t width, Align align)
{
    std::size_t shown = DisplayWidth(text);
    if (shown >= width) return text;
    std::size_t room = width - shown;
    switch (align) {
    case Align::Right: return std::string(room, ' ') + text;
    case Align::Centre: return std::string(room / 2, ' ') + text + std::string(room - room / 2, ' ');
    case Align::Left: break;
    }
    return text + std::string(room, ' ');
}

void TrimRight(std::string& line)
{
    line.erase(line.find_last_not_of(' ') + 1);
}

} // namespace

HostReport::HostReport() = default;

HostReport::HostReport(std::shared_ptr<HostTranslator> translator) : mTranslator(std::move(translator)) {}

void HostReport::SetPageSize(int32_t width, int32_t height)
{
    mPageWidth = width;
    mPageHeight = height;
}

void HostReport::SetMargins(int32_t left, int32_t right, int32_t top, int32_t bottom)
{
    mLeftMargin = left;
    mRightMargin = right;
    mTopMargin = top;
    mBottomMargin = bottom;
}

int32_t HostReport::PageMetric(int32_t number) const
{
    if (auto fixed = mFixedMetrics.find(number); fixed != mFixedMetrics.end()) return fixed->second;
    int64_t bodyWidth = int64_t{mPageWidth} - mLeftMargin - mRightMargin;
    switch (number) {
    case MetricPageWidth: return mPageWidth;
    case MetricPageHeight: return mPageHeight;
    case MetricLeftMargin: return mLeftMargin;
    case MetricRightMargin: return mRightMargin;
    case MetricTopMargin: return mTopMargin;
    case MetricBottomMargin: return mBottomMargin;
    case MetricInnerWidth: return Clamp32(bodyWidth - 2 * kGutter);
    case MetricBodyHeight: return Clamp32(int64_t{mPageHeight} - mTopMargin - mBottomMargin);
    case MetricCharacterWidth: return 120;
    case MetricBodyWidth: return Clamp32(bodyWidth);
    default:
        throw plat::ComError(plat::rt::InvalidCall, kSource, "There is no page metric " + std::to_string(number));
    }
}

void HostReport::SetPageMetric(int32_t number, int32_t value)
{
    (void)PageMetric(number); // raises for an unknown number
    if (number == MetricCharacterWidth && value < 1) {
        throw plat::ComError(plat::rt::InvalidCall, kSource, "The character width must be at least one twip");
    }
    mFixedMetrics[number] = value;
}

std::shared_ptr<HostTranslator> HostReport::Translator() const
{
    return mTranslator ? mTranslator : HostTranslator::Process();
}

std::string HostReport::Translate(const std::string& moduleKey, std::string_view text) const
{
    return Translator()->Translate(moduleKey, text);
}

std::string HostReport::Translate(const std::string& moduleKey, std::string_view text,
                                  const std::vector<plat::Variant>& args) const
{
    return Translator()->Translate(moduleKey, text, args);
}

std::string HostReport::Translate(const std::string& moduleKey, std::string_view text,
                                  const plat::VariantArray& args) const
{
    return Translator()->Translate(moduleKey, text, args);
}

std::vector<std::string> HostReport::RenderTable(std::string_view columnFormat, std::string_view header,
                                                 std::string_view rows) const
{
    const int32_t characterWidth = PageMetric(MetricCharacterWidth);
    std::vector<Column> columns = ParseColumns(columnFormat, characterWidth);
    std::vector<std::vector<std::string>> headerRows = ParseRows(header);
    std::vector<std::vector<std::string>> bodyRows = ParseRows(rows);

    // Columns grow to their widest cell; cells beyond the format get left-aligned columns.
    for (const auto* part : {&headerRows, &bodyRows}) {
        for (const auto& row : *part) {
            if (row.size() > columns.size()) columns.resize(row.size());
            for (std::size_t i = 0; i < row.size(); ++i) columns[i].width = std::max(columns[i].width, DisplayWidth(row[i]));
        }
    }

    std::size_t tableWidth = 0;
    for (const auto& column : columns) tableWidth += column.width;
    if (!columns.empty()) tableWidth += columns.size() - 1;

    const int64_t indentChars = std::clamp<int64_t>((int64_t{mIndent} + characterWidth / 2) / characterWidth, 0,
                                                    static_cast<int64_t>(kMaxColumnChars));
    const std::string indent(static_cast<std::size_t>(indentChars), ' ');
    const std::string rule = indent + std::string(tableWidth, '-');

    auto renderRow = [&](const std::vector<std::string>& cells) {
        std::string line = indent;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0) line += ' ';
            line += Pad(i < cells.size() ? cells[i] : std::string(), columns[i].width, columns[i].align);
        }
        TrimRight(line);
        return line;
    };

    std::vector<std::string> lines;
    if (mBorder != 0) lines.push_back(rule);
    for (const auto& row : headerRows) lines.push_back(renderRow(row));
    if (!headerRows.empty()) lines.push_back(rule);
    for (const auto& row : bodyRows) lines.push_back(renderRow(row));
    if (mBorder != 0 && !bodyRows.empty()) lines.push_back(rule);
    return lines;
}

void HostReport::WriteTable(std::string_view columnFormat, std::string_view header, std::string_view rows,
                            int32_t option1, int32_t option2, int32_t option3)
{
    std::vector<std::string> lines = RenderTable(columnFormat, header, rows);
    mTables.push_back(Table{std::string(columnFormat), std::string(header), std::string(rows),
                            {option1, option2, option3}, mFontSize, mIndent, mBorder});
    mLines.insert(mLines.end(), lines.begin(), lines.end());
}

std::string HostReport::CellText(std::string_view text)
{
    std::string cell(text);
    std::replace_if(cell.begin(), cell.end(), [](char c) { return c == '|' || c == ';'; }, ' ');
    return cell;
}

std::string HostReport::Row(std::initializer_list<std::string_view> cells)
{
    std::string row;
    bool first = true;
    for (std::string_view cell : cells) {
        if (!first) row += '|';
        first = false;
        row += CellText(cell);
    }
    return row + ";";
}

void HostReport::WriteLine(std::string_view text)
{
    // One call is one body line; embedded line breaks start further lines.
    for (;;) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        mLines.emplace_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

std::string HostReport::Text() const
{
    std::string text;
    for (const auto& line : mLines) {
        text += line;
        text += '\n';
    }
    return text;
}

void HostReport::Clear()
{
    mTables.clear();
    mLines.clear();
}

} // namespace host
