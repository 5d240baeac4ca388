#pragma once

#include "testlib/config/CConfigSimWave.h"

#include <span>
#include <string>

namespace ztest {

// The configuration of the arrhythmia test (500): one of 36 arrhythmia waves, its hold time,
// and the atrial pacer width and amplitude of the two atrial-pacing waves.
class CConfigArr : public CConfigSimWave {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CConfigArr";
    // The waves that the analyzer paces atrially.
    static constexpr int32_t WaveAtrioventricularSequential = 229;
    static constexpr int32_t WaveNoncapture = 230;

    CConfigArr() : CConfigSimWave(200) {}

    const RecordInfo& Info() const override;
    std::span<const WaveEntry> Waves() const override { return WaveTable(); }
    static std::span<const WaveEntry> WaveTable();

    // ms
    float GetWidth() const { return mWidth; }
    void SetWidth(float width) { mWidth = width; }
    // mV
    float GetAmplitude() const { return mAmplitude; }
    void SetAmplitude(float amplitude) { mAmplitude = amplitude; }

    // "ATRPACE=" width "," amplitude and LF for the two atrial-pacing waves; the empty text for
    // every other wave. The width keeps at least one decimal ("2.0"); both are written with
    // "." as the decimal point.
    std::string GetAtrialPaceCommand() const;

protected:
    CConfigArr(const CConfigArr&) = default;
    std::shared_ptr<CConfigBase> Copy() const override { return std::shared_ptr<CConfigArr>(new CConfigArr(*this)); }
    std::string SecondCommand() override { return GetAtrialPaceCommand(); }
    // Adds the width and amplitude rows for the two atrial-pacing waves.
    std::vector<ReportRow> ReportRows() const override;

private:
    static std::span<const ValueChild> LoadOrder();
    static std::span<const ValueChild> SaveOrder();
    bool PacesAtrially() const { return mWavetype == WaveAtrioventricularSequential || mWavetype == WaveNoncapture; }

    float mAmplitude = 100.0f;
    float mWidth = 0.1f;
};

} // namespace ztest
