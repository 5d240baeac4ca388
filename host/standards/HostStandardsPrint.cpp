// Printing a collection of standards into a report: one title line and one table per standard,
// each table row a measured quantity with the standard's lower and upper limit beside the
// measured value, its unit and, when the values were rated, the standard's own verdict on the
// value, or the stored verdict marked as such where no printed standard gives it.

#include "host/standards/HostStandards.h"

#include "host/standards/HostFormulaLimit.h"
#include "host/report/HostPrintContext.h"
#include "host/report/HostReport.h"
#include "host/interfaces/IMeasurement.h"
#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"

#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace host {

namespace {

constexpr const char* kSource = "Host.HostStandards";

constexpr const char* kColumnFormat = "<2400|>1440|>1440|>1440|<960|<1080;";
constexpr const char* kHeader = "Quantity|Lower limit|Upper limit|Value|Unit|Result;";
// A bound that does not take part in the judgement.
constexpr const char* kNoLimit = "-";

// One report row as the test library gives it.
struct ReportRow {
    std::string key;
    std::string caption;
    std::string format;
    std::shared_ptr<IMeasurement> measurement;
};

std::string CellText(const plat::Variant& cell)
{
    if (cell.IsString()) return cell.AsString();
    if (cell.IsNumeric()) return plat::CStr(cell);
    return {};
}

// The rows of a 2-D array of at least four columns; anything else gives no rows, and missing
// cells count as empty.
std::vector<ReportRow> ReadRows(const plat::Variant& rows)
{
    std::vector<ReportRow> result;
    if (!rows.IsArray()) return result;
    const plat::VariantArray& array = rows.AsArray();
    if (array.Dimensions() != 2) return result;
    const int32_t firstColumn = array.LBound(2);
    const int32_t columns = array.UBound(2) - firstColumn + 1;
    for (int32_t i = array.LBound(1); i <= array.UBound(1); ++i) {
        auto cell = [&](int32_t column) -> plat::Variant {
            return column < columns ? array.At(i, firstColumn + column) : plat::Variant();
        };
        result.push_back(ReportRow{CellText(cell(0)), CellText(cell(1)), CellText(cell(2)),
                                   cell(3).Query<IMeasurement>()});
    }
    return result;
}

std::string Trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string Formatted(const plat::Variant& value, const std::string& format)
{
    try {
        return plat::Format(value, format);
    } catch (const plat::ComError&) {
        return {};
    }
}

std::optional<float> Number(const plat::Variant& value)
{
    if (value.IsEmpty() || value.IsNull()) return std::nullopt;
    try {
        float number = plat::CSng(value);
        if (std::isnan(number)) return std::nullopt;
        return number;
    } catch (const plat::ComError&) {
        return std::nullopt;
    }
}

bool MentionsX(const std::string& formula)
{
    return formula.find_first_of("Xx") != std::string::npos;
}

// The limit of one bound as printed: the number the value is compared with when it can be
// worked out, else the formula with the plain value in place of Y ("X+(X*10%)").
std::string LimitText(const HostLimitItem* item, int bound, const std::optional<float>& preset,
                      const std::string& format)
{
    if (!item || !item->Enabled(bound)) return kNoLimit;
    const std::string& formula = item->Formula(bound);
    const bool formulaItem = dynamic_cast<const HostFormulaLimit*>(item) != nullptr;
    if (!formulaItem || !MentionsX(formula) || preset) {
        try {
            return Formatted(plat::Variant(item->LimitValue(bound, preset.value_or(0.0f))), format);
        } catch (const plat::ComError&) {
            // A formula that cannot be evaluated is shown as it is written.
        }
    }
    std::string shown;
    for (char c : formula) {
        if (c == 'Y' || c == 'y') {
            shown += plat::CStr(item->Value(bound));
        } else if (c != ' ') {
            shown += c;
        }
    }
    return shown;
}

bool HasEnabledBound(const HostStandard& standard, const std::string& key)
{
    for (const auto& item : standard) {
        if (item->Key() == key && (item->Enabled(HostLimitItem::UpperBound) || item->Enabled(HostLimitItem::LowerBound))) {
            return true;
        }
    }
    return false;
}

// Limits judge a measurement by the first four characters of its key ("ENGY1" by "ENGY").
std::string LimitKeyOf(const ReportRow& row)
{
    return row.key.substr(0, 4);
}

// What one standard, as it is now, makes of a row's value, by the rule the rating follows: an
// enabled bound of the key fails a value beyond it, and a value that is no number (nothing
// measured, "NOSYNC") wherever it waits for one; a standard without an enabled bound of the
// key fails nothing. The row has a measurement.
enum class OwnVerdict { NoLimit, Passes, Fails };

OwnVerdict VerdictOf(const HostStandard& standard, const ReportRow& row)
{
    const std::string limitKey = LimitKeyOf(row);
    if (!HasEnabledBound(standard, limitKey)) return OwnVerdict::NoLimit;
    const std::optional<float> presetX = Number(row.measurement->PresetValue());
    const float number = Number(row.measurement->value()).value_or(std::nanf(""));
    const bool fails = standard.Evaluate(limitKey, number, presetX ? plat::Variant(*presetX) : plat::Variant()) ==
                       HostStandard::StatusFailed;
    return fails ? OwnVerdict::Fails : OwnVerdict::Passes;
}

// The statuses a measurement is stored with once its record was rated.
constexpr int32_t kMeasurementPassed = 1;
constexpr int32_t kMeasurementFailed = 2;

// The verdict words of one row, one per printed standard. A measurement that was rated reads
// what each printed standard's own limits make of it, Passed or Failed; where none of them
// gives the verdict it was rated and stored with (limits or a preset changed since, or
// standards that are not printed judged it), every standard prints that stored verdict,
// marked as the stored one, so that no row shows a bare verdict its own limits contradict.
// Values that were not rated (a record left not applicable, a measurement never rated) get no
// verdict, and no standard prints one where it has no limit of the key.
std::vector<std::string> VerdictWords(const std::vector<const HostStandard*>& printed, const ReportRow& row,
                                      bool valuesRated)
{
    std::vector<std::string> words(printed.size());
    if (!valuesRated || !row.measurement) return words;
    const int32_t stored = row.measurement->Status();
    if (stored != kMeasurementPassed && stored != kMeasurementFailed) return words;

    std::vector<OwnVerdict> verdicts;
    bool givesStored = false;
    for (const HostStandard* standard : printed) {
        const OwnVerdict verdict = VerdictOf(*standard, row);
        verdicts.push_back(verdict);
        // A standard without a limit of the key fails nothing, as in the rating.
        const bool fails = verdict == OwnVerdict::Fails;
        if (fails == (stored == kMeasurementFailed)) givesStored = true;
    }
    for (std::size_t i = 0; i < printed.size(); ++i) {
        if (!givesStored) {
            words[i] = stored == kMeasurementFailed ? "Failed (stored)" : "Passed (stored)";
        } else if (verdicts[i] == OwnVerdict::Passes) {
            words[i] = "Passed";
        } else if (verdicts[i] == OwnVerdict::Fails) {
            words[i] = "Failed";
        }
    }
    return words;
}

std::string RowText(const HostStandard& standard, const ReportRow& row, const std::string& verdict)
{
    const std::string limitKey = LimitKeyOf(row);
    const std::shared_ptr<HostLimitItem> item = standard.FindItem(limitKey);

    plat::Variant value;
    plat::Variant preset;
    std::string unit = item ? item->Unit() : std::string();
    if (row.measurement) {
        value = row.measurement->value();
        preset = row.measurement->PresetValue();
        unit = row.measurement->Unit();
    }
    const std::optional<float> presetX = Number(preset);
    return HostReport::Row({row.caption, LimitText(item.get(), HostLimitItem::LowerBound, presetX, row.format),
                            LimitText(item.get(), HostLimitItem::UpperBound, presetX, row.format),
                            Formatted(value, row.format), Trimmed(unit), verdict});
}

// Without report rows the standard's own items are printed, without measured values.
std::string ItemText(const HostLimitItem& item)
{
    const std::string caption = item.Caption().empty() ? item.Key() : item.Caption();
    return HostReport::Row({caption, LimitText(&item, HostLimitItem::LowerBound, std::nullopt, {}),
                            LimitText(&item, HostLimitItem::UpperBound, std::nullopt, {}), "", Trimmed(item.Unit()), ""});
}

} // namespace

void HostStandards::PrintReport(const std::shared_ptr<HostReport>& report, const plat::ObjectPtr& printObject,
                                const plat::Variant& rows) const
{
    if (!report) plat::RaiseRuntime(plat::rt::ObjectNotSet, kSource);

    std::shared_ptr<HostStandards> selection = std::dynamic_pointer_cast<HostStandards>(printObject);
    bool valuesRated = true;
    if (const auto subject = std::dynamic_pointer_cast<HostPrintContext::Subject>(printObject)) {
        selection = subject->selection;
        valuesRated = subject->valuesRated;
    }
    const std::vector<ReportRow> reportRows = ReadRows(rows);
    std::vector<const HostStandard*> printed;
    for (const auto& standard : mStandards) {
        if (!selection || selection->Find(standard->AlphaName(), standard->CompleteName()) != nullptr)
            printed.push_back(standard.get());
    }
    // words[row][standard]: the verdicts are decided per row over all printed standards.
    std::vector<std::vector<std::string>> words;
    for (const ReportRow& row : reportRows) words.push_back(VerdictWords(printed, row, valuesRated));

    for (std::size_t s = 0; s < printed.size(); ++s) {
        const HostStandard& standard = *printed[s];
        std::string title = "Standard " + standard.AlphaName();
        if (!standard.CompleteName().empty() && standard.CompleteName() != standard.AlphaName()) {
            title += " - " + standard.CompleteName();
        }
        report->WriteLine(title);

        std::string body;
        if (!reportRows.empty()) {
            for (std::size_t i = 0; i < reportRows.size(); ++i) body += RowText(standard, reportRows[i], words[i][s]);
        } else {
            for (const auto& item : standard) body += ItemText(*item);
        }
        report->WriteTable(kColumnFormat, kHeader, body);
    }
}

} // namespace host
