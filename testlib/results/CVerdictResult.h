#pragma once

#include "testlib/results/CResultRecord.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace ztest {

// The caption of one simulated wave: wave ID and language-ID text.
struct WaveCaption {
    int32_t id;
    const char* caption;
};

// A record that the operator judges (ECG R-wave detection and the three simulated-wave tests):
// one pass/fail measurement whose value the checklist result view sets to True or False.
// No reply is parsed into it and no limits are consulted.
class CVerdictResult : public CResultRecord {
public:
    // Builds the single measurement, with the caption that the record takes from the
    // configuration record (the caption is empty when the configuration gives none).
    void Initialize(const std::shared_ptr<host::IConfigData>& configuration);

    // Rates the record from the operator's verdict and makes its service record. Skipped (the
    // operator chose N/A): status 3 and the verdict is discarded (the measurement is not rated
    // and holds no value). Otherwise the status is that of the verdict: 0 until the operator
    // judged, then 1 or 2.
    void UpdateStatus(const std::shared_ptr<host::ITestElement>& element, bool skipped);

protected:
    CVerdictResult(std::string errorSource, std::string loadText, const char* key);

    // The caption of the measurement for this configuration.
    virtual std::string CaptionOf(const std::shared_ptr<host::IConfigData>& configuration) const = 0;

    // The caption of a wave ID in a table; empty for an ID the table lacks.
    static std::string CaptionOfWave(std::span<const WaveCaption> table, int32_t waveId);

private:
    const char* mKey;
};

} // namespace ztest
