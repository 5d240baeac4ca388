#pragma once

#include "testlib/results/CLimitRatedResult.h"
#include "testlib/results/MeasurementSpec.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ztest {

// A limit-rated record of a series of discharges or charges (pulse repetition, battery
// capacity): one numbered measurement per reading, "ENGY1", "ENGY2", ... Every measurement of
// the series is judged by the limit item of the series' key.
class CSeriesResult : public CLimitRatedResult {
public:
    // The highest number a stored measurement of the series may carry; a stored result is
    // never allowed to grow the set beyond it.
    static constexpr int32_t MaxNumber = 99;

protected:
    // series: the key, caption, unit, value type and format that every measurement of the
    // series shares; the key and the translated caption are followed by the number.
    CSeriesResult(std::string errorSource, std::string loadText, const MeasurementSpec& series);

    // Replaces the set by count numbered measurements, each with the preset (Empty: none).
    // The caption is translated now, in the language in use.
    void BuildSeries(int32_t count, const plat::Variant& preset);

    // What an empty reading means.
    enum class EmptyReading { EndsSeries, Skipped };

    // Stores reading i into the measurement numbered i + 1, for i from 0 to last: its leading
    // number, unscaled. Reads nothing past the readings given and writes nothing past the set.
    void StoreSeries(const std::vector<std::string>& readings, int32_t last, EmptyReading emptyReading);

    // A stored numbered measurement that the set lacks is made, so that a stored series longer
    // than the one configured now survives a load.
    std::shared_ptr<CMeasurement> MeasurementForStoredKey(const std::string& key) override;

private:
    std::shared_ptr<CMeasurement> MakeNumbered(int32_t number, const std::string& caption,
                                               const plat::Variant& preset) const;
    // The number of a key of this series ("ENGY12" gives 12), or none for any other key.
    std::optional<int32_t> NumberOf(std::string_view key) const;

    MeasurementSpec mSeries;
};

} // namespace ztest
