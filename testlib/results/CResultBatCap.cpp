#include "testlib/results/CResultBatCap.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/core/CMeasurement.h"

namespace ztest {

namespace {

constexpr MeasurementSpec kChargeTime{"CHTI", "20124::Charge Time", "s", CMeasurement::ValueTypeNumber, "# ##0.0"};

} // namespace

// This record and the pulse-repetition record name themselves without the project.
CResultBatCap::CResultBatCap()
    : CSeriesResult("CResultBatCap", "20403::Loading Battery Capacity Test result data", kChargeTime)
{
}

void CResultBatCap::Initialize(const std::shared_ptr<host::IConfigData>& /*configuration*/)
{
    BuildSeries(ChargeCount, plat::Variant());
}

void CResultBatCap::StoreResult(const std::vector<std::string>& chargeTimes)
{
    StoreSeries(chargeTimes, ChargeCount - 1, EmptyReading::Skipped);
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CResultBatCap, ztest::CResultBatCap::ProgId, ztest::CResultBatCap::ClassId)
