// Printing a collection of standards into a report: one title line and one table per standard,
// each table row a measured quantity with the standard's lower and upper limit beside the
// measured value, its unit and, when the values were rated, whether the value passes the
// standard, in agreement with the status the measurement was rated with.

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

// Whether the standard, as it is now, fails the row's value; none when it gives the value no
// verdict (no measurement, no value, or no enabled bound of its key).
std::optional<bool> FailsNow(const HostStandard& standard, const ReportRow& row)
{
    const std::string limitKey = LimitKeyOf(row);
    if (!row.measurement || !HasEnabledBound(standard, limitKey)) return std::nullopt;
    const plat::Variant value = row.measurement->value();
    if (value.IsEmpty() || value.IsNull()) return std::nullopt;
    const std::optional<float> presetX = Number(row.measurement->PresetValue());
    // A value that is no number cannot pass; the standard fails it.
    const float number = Number(value).value_or(std::nanf(""));
    return standard.Evaluate(limitKey, number, presetX ? plat::Variant(*presetX) : plat::Variant()) ==
           HostStandard::StatusFailed;
}

// The statuses a measurement is stored with once its record was rated.
constexpr int32_t kMeasurementPassed = 1;
constexpr int32_t kMeasurementFailed = 2;

// failsSomewhere: whether one of the printed standards, as they are now, fails the row's value.
std::string RowText(const HostStandard& standard, const ReportRow& row, bool valuesRated, bool failsSomewhere)
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

    std::string result;
    // Values of a record that was not rated (left not applicable, or never rated) are printed
    // without a verdict, whatever the standard would make of them.
    std::optional<bool> fails = valuesRated ? FailsNow(standard, row) : std::nullopt;
    if (fails) {
        // The verdict never contradicts the status the measurement was rated and stored with,
        // which limits or a preset changed since (or a preset a reopened file could not give
        // back) may no longer reproduce: a measurement rated passed passes, and one rated failed
        // fails where a standard still fails it, or in every standard when none does.
        const int32_t stored = row.measurement->Status();
        if (stored == kMeasurementPassed) fails = false;
        if (stored == kMeasurementFailed && !failsSomewhere) fails = true;
        result = *fails ? "Failed" : "Passed";
    }

    return HostReport::Row({row.caption, LimitText(item.get(), HostLimitItem::LowerBound, presetX, row.format),
                            LimitText(item.get(), HostLimitItem::UpperBound, presetX, row.format),
                            Formatted(value, row.format), Trimmed(unit), result});
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
    auto printed = [&](const HostStandard& standard) {
        return !selection || selection->Find(standard.AlphaName(), standard.CompleteName()) != nullptr;
    };
    std::vector<bool> failsSomewhere(reportRows.size(), false);
    for (std::size_t i = 0; i < reportRows.size(); ++i) {
        for (const auto& standard : mStandards) {
            if (printed(*standard) && FailsNow(*standard, reportRows[i]).value_or(false)) failsSomewhere[i] = true;
        }
    }
    for (const auto& standard : mStandards) {
        if (!printed(*standard)) continue;

        std::string title = "Standard " + standard->AlphaName();
        if (!standard->CompleteName().empty() && standard->CompleteName() != standard->AlphaName()) {
            title += " - " + standard->CompleteName();
        }
        report->WriteLine(title);

        std::string body;
        if (!reportRows.empty()) {
            for (std::size_t i = 0; i < reportRows.size(); ++i)
                body += RowText(*standard, reportRows[i], valuesRated, failsSomewhere[i]);
        } else {
            for (const auto& item : *standard) body += ItemText(*item);
        }
        report->WriteTable(kColumnFormat, kHeader, body);
    }
}

} // namespace host
