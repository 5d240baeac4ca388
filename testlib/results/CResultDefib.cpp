#include "testlib/results/CResultDefib.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/config/CConfigDefib.h"
#include "testlib/core/CMeasurement.h"
#include "testlib/results/PresetEnergyOf.h"

namespace ztest {

namespace {

constexpr MeasurementSpec kPulseEnergy{"ENGY", "20134::Discharge Energy", "J", CMeasurement::ValueTypeNumber,
                                       "# ##0.0"};

} // namespace

// This record and the battery-capacity record name themselves without the project.
CResultDefib::CResultDefib()
    : CSeriesResult("CResultDefib", "20425::Loading Defib Pulse Repetition Test result data", kPulseEnergy)
{
}

void CResultDefib::Initialize(const std::shared_ptr<host::IConfigData>& configuration)
{
    const std::shared_ptr<CConfigDefib> config = std::dynamic_pointer_cast<CConfigDefib>(configuration);
    BuildSeries(config && config->GetBatteryOperated() ? BatteryPulseCount : PulseCount,
                PresetEnergyOf<CConfigDefib>(configuration));
}

void CResultDefib::StoreResult(const std::vector<std::string>& energies, int16_t last)
{
    StoreSeries(energies, last, EmptyReading::EndsSeries);
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CResultDefib, ztest::CResultDefib::ProgId, ztest::CResultDefib::ClassId)
