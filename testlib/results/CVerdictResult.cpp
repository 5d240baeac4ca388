#include "testlib/results/CVerdictResult.h"

#include "host/interfaces/ITestElement.h"
#include "testlib/core/CMeasurement.h"

#include <exception>
#include <utility>

namespace ztest {

CVerdictResult::CVerdictResult(std::string errorSource, std::string loadText, const char* key)
    : CResultRecord(std::move(errorSource), std::move(loadText)), mKey(key)
{
}

std::string CVerdictResult::CaptionOfWave(std::span<const WaveCaption> table, int32_t waveId)
{
    for (const WaveCaption& wave : table) {
        if (wave.id == waveId) return wave.caption;
    }
    return {};
}

void CVerdictResult::Initialize(const std::shared_ptr<host::IConfigData>& configuration)
{
    ClearMeasurements();
    std::string caption;
    try {
        caption = CaptionOf(configuration);
    } catch (const std::exception&) {
        // A configuration that cannot be read gives the empty caption.
    }
    auto measurement = std::make_shared<CMeasurement>();
    measurement->Initialize(mKey, caption, "", CMeasurement::ValueTypeBoolean);
    AddMeasurement(std::move(measurement));
}

void CVerdictResult::UpdateStatus(const std::shared_ptr<host::ITestElement>& element, bool skipped)
{
    if (skipped) {
        SetResultStatus(StatusSkipped);
        for (const auto& measurement : Measurements()) {
            measurement->SetStatus(CMeasurement::StatusNotRated);
            measurement->SetValue(plat::Variant());
        }
    } else {
        SetResultStatus(StatusNotRated);
        for (const auto& measurement : Measurements()) {
            const int32_t status = measurement->GetStatus();
            if (status == CMeasurement::StatusPassed) SetResultStatus(StatusPassed);
            if (status == CMeasurement::StatusFailed) {
                SetResultStatus(StatusFailed);
                break;
            }
        }
    }

    CreateServiceRecord(FilterOf(element));
}

} // namespace ztest
