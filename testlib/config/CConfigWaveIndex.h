#pragma once

#include "testlib/config/CConfigDischarge.h"

#include <cstdint>
#include <span>
#include <string>

namespace ztest {

// The discharge records that also choose the ECG rhythm the analyzer shows the defibrillator
// while the test runs (energy, charge time, cardioversion): an index into the record's wave
// table, and the description of the wave last derived, kept for the report and persisted.
class CConfigWaveIndex : public CConfigDischarge {
public:
    int32_t GetWaveFormIndex() const { return mWaveFormIndex; }
    void SetWaveFormIndex(int32_t index) { mWaveFormIndex = index; }
    const std::string& GetWavetype() const { return mWavetype; }
    void SetWavetype(const std::string& wavetype) { mWavetype = wavetype; }

    // The analyzer's code of the wave of that index, or the empty text for an index outside
    // the table. The description of the wave (translated) becomes Wavetype; an index outside
    // the table keeps Wavetype's text.
    std::string GetWaveCode(int32_t index);

    // The record's wave table, by index.
    virtual std::span<const WaveEntry> Waves() const = 0;

protected:
    CConfigWaveIndex() = default;
    CConfigWaveIndex(const CConfigWaveIndex&) = default;

    // A copy derives its description from its own index.
    void AfterCopy() override;
    // "Preset Energy" (whole joules) and "ECG Waveform", the wave named after the configured
    // index whenever that index is in the table.
    std::vector<ReportRow> ReportRows() const override;

    int32_t mWaveFormIndex = 1;
    std::string mWavetype;
    // Persisted by the energy and charge-time records only; nothing else uses it.
    float mAmplitudeIndex = 0.0f;
};

} // namespace ztest
