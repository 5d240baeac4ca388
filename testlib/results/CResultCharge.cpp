#include "testlib/results/CResultCharge.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

namespace {

constexpr MeasurementSpec kMeasurements[] = {
    kEnergySpec,
    kPeakVoltageSpec,
    kPeakCurrentSpec,
    {"CHTI", "20124::Charge Time", "s", CMeasurement::ValueTypeNumber, "# ##0.0"},
};

constexpr ReplyFieldSpec kReplyFields[] = {{"ENGY", 1.0}, {"PEAV", 1.0}, {"PEAC", 1.0}, {"CHTI", 1.0}};

} // namespace

CResultCharge::CResultCharge()
    : CDischargeResult("TelvoZarvikTest.CResultCharge", "20223::Loading Charge Time Test result data", kMeasurements,
                       kReplyFields, StoreErrors::ShowAndStop)
{
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CResultCharge, ztest::CResultCharge::ProgId, ztest::CResultCharge::ClassId)
