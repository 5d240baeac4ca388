#include "testlib/results/CSeriesResult.h"

#include "testlib/core/CMeasurement.h"
#include "testlib/results/ReplyFieldReader.h"

#include <charconv>
#include <exception>
#include <utility>

namespace ztest {

CSeriesResult::CSeriesResult(std::string errorSource, std::string loadText, const MeasurementSpec& series)
    : CLimitRatedResult(std::move(errorSource), std::move(loadText)), mSeries(series)
{
}

std::shared_ptr<CMeasurement> CSeriesResult::MakeNumbered(int32_t number, const std::string& caption,
                                                          const plat::Variant& preset) const
{
    const std::string text = std::to_string(number);
    auto measurement = std::make_shared<CMeasurement>();
    measurement->Initialize(mSeries.key + text, caption + " " + text, mSeries.unit, mSeries.valueType);
    measurement->SetValueFormat(mSeries.format);
    if (!preset.IsEmpty()) measurement->SetPresetValue(preset);
    return measurement;
}

void CSeriesResult::BuildSeries(int32_t count, const plat::Variant& preset)
{
    ClearMeasurements();
    const std::string caption = Translate(mSeries.caption);
    for (int32_t number = 1; number <= count; ++number) AddMeasurement(MakeNumbered(number, caption, preset));
}

void CSeriesResult::StoreSeries(const std::vector<std::string>& readings, int32_t last, EmptyReading emptyReading)
{
    for (int32_t i = 0; i <= last && static_cast<std::size_t>(i) < readings.size(); ++i) {
        const std::string& reading = readings[static_cast<std::size_t>(i)];
        if (reading.empty()) {
            if (emptyReading == EmptyReading::EndsSeries) return;
            continue;
        }
        const std::shared_ptr<CMeasurement> measurement = FindMeasurement(mSeries.key + std::to_string(i + 1));
        if (!measurement) return; // past the end of the set
        try {
            measurement->SetValue(ReplyFieldReader::LeadingNumber(reading));
        } catch (const std::exception&) {
            // A reading beyond every number is left unset; the series goes on.
        }
    }
}

std::optional<int32_t> CSeriesResult::NumberOf(std::string_view key) const
{
    const std::string_view prefix = mSeries.key;
    if (!key.starts_with(prefix)) return std::nullopt;
    const std::string_view digits = key.substr(prefix.size());
    // Only the form the series writes: digits without a leading zero.
    if (digits.empty() || digits.front() == '0') return std::nullopt;
    int32_t number = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (ec != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    return number;
}

std::shared_ptr<CMeasurement> CSeriesResult::MeasurementForStoredKey(const std::string& key)
{
    if (std::shared_ptr<CMeasurement> measurement = FindMeasurement(key)) return measurement;
    const std::optional<int32_t> number = NumberOf(key);
    if (!number || *number > MaxNumber) return nullptr;

    // The new measurement is one more of the series: same caption and preset, and its place
    // keeps the series in the order of its numbers.
    plat::Variant preset;
    std::size_t position = Measurements().size();
    for (std::size_t i = 0; i < Measurements().size(); ++i) {
        const std::optional<int32_t> other = NumberOf(Measurements()[i]->GetKey());
        if (!other) continue;
        if (preset.IsEmpty()) preset = Measurements()[i]->GetPresetValue();
        if (*other > *number) {
            position = i;
            break;
        }
    }
    std::shared_ptr<CMeasurement> measurement = MakeNumbered(*number, Translate(mSeries.caption), preset);
    InsertMeasurement(position, measurement);
    return measurement;
}

} // namespace ztest
