#include "testlib/results/CResultEnergy.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

namespace {

constexpr MeasurementSpec kMeasurements[] = {
    kEnergySpec,
    kPeakVoltageSpec,
    kPeakCurrentSpec,
    {"PULW", "20123::Pulse Width", "ms", CMeasurement::ValueTypeNumber, "# ##0.0"},
};

constexpr ReplyFieldSpec kReplyFields[] = {{"ENGY", 1.0}, {"PEAV", 1.0}, {"PEAC", 1.0}, {"PULW", 1000.0}};

} // namespace

CResultEnergy::CResultEnergy()
    : CDischargeResult("TelvoZarvikTest.CResultEnergy", "20202::Loading Energy Measurement Test result data",
                       kMeasurements, kReplyFields, StoreErrors::SkipField)
{
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CResultEnergy, ztest::CResultEnergy::ProgId, ztest::CResultEnergy::ClassId)
