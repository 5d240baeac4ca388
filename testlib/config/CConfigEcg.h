#pragma once

#include "testlib/config/CConfigBase.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace ztest {

// The configuration of the ECG R-wave detection test (1100): the R-wave width and amplitude
// (each as a value for the report and as an index into the analyzer's table), how long each
// setting is held, and what the test steps up after each hold.
//
// The editor sets a value and its index together; the test steps only the index, so the
// threshold command follows the indexes.
class CConfigEcg : public CConfigBase {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.CConfigEcg";

    // AutoIncrement: what the test steps up after each hold.
    static constexpr int16_t StepNothing = 0;
    static constexpr int16_t StepWidth = 1;
    static constexpr int16_t StepAmplitude = 2;

    CConfigEcg() = default;

    const RecordInfo& Info() const override;

    // Indexes: Singles holding whole numbers.
    float GetWidthIndex() const { return mWidthIndex; }
    void SetWidthIndex(float index) { mWidthIndex = index; }
    float GetAmplitudeIndex() const { return mAmplitudeIndex; }
    void SetAmplitudeIndex(float index) { mAmplitudeIndex = index; }
    // mV
    float GetAmplitude() const { return mAmplitude; }
    void SetAmplitude(float amplitude) { mAmplitude = amplitude; }
    // ms
    float GetWidth() const { return mWidth; }
    void SetWidth(float width) { mWidth = width; }
    // s
    int32_t GetDuration() const { return mDuration; }
    void SetDuration(int32_t duration) { mDuration = duration; }
    int16_t GetAutoIncrement() const { return mAutoIncrement; }
    void SetAutoIncrement(int16_t autoIncrement) { mAutoIncrement = autoIncrement; }

    // Step 1 gives the threshold command; every other step the empty text.
    std::string GetStepCommand(int32_t step) const;
    // "THRESH=" width "," amplitude, from the current indexes; an index that is not a whole
    // number of its table gives an empty part ("THRESH=,0.50"). No line end.
    std::string GetThresholdCommand() const;

    // The widths (ms) and amplitudes (mV) as sent, by index.
    static std::span<const std::string_view> WidthTable();
    static std::span<const std::string_view> AmplitudeTable();

protected:
    CConfigEcg(const CConfigEcg&) = default;
    std::shared_ptr<CConfigBase> Copy() const override { return std::shared_ptr<CConfigEcg>(new CConfigEcg(*this)); }
    std::vector<ReportRow> ReportRows() const override;

private:
    static std::span<const ValueChild> LoadOrder();
    static std::span<const ValueChild> SaveOrder();

    int32_t mDuration = 7;
    float mAmplitude = 0.5f;
    float mWidth = 160.0f;
    float mWidthIndex = 9.0f;
    float mAmplitudeIndex = 9.0f;
    int16_t mAutoIncrement = StepNothing;
};

} // namespace ztest
