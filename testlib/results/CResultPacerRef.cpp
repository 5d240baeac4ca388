#include "testlib/results/CResultPacerRef.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/core/CMeasurement.h"

namespace ztest {

namespace {

constexpr int32_t kNumber = CMeasurement::ValueTypeNumber2;

constexpr MeasurementSpec kMeasurements[] = {
    {"SENS", "20129::Sensed Rp", "ms", kNumber, "# ##0"},
    {"PACE", "20130::Paced Rp", "ms", kNumber, "# ##0"},
};

// The first field of the refractory reply is not used.
constexpr ReplyFieldSpec kReplyFields[] = {{nullptr, 1.0}, {"PACE", 1000.0}, {"SENS", 1000.0}};

} // namespace

CResultPacerRef::CResultPacerRef()
    : CReplyResult("TelvoZarvikTest.CResultPacerRef", "20387::Loading Pacer Refractory Test result data",
                   kMeasurements, kReplyFields, StoreErrors::SkipField)
{
}

void CResultPacerRef::Initialize(const std::shared_ptr<host::IConfigData>& /*configuration*/)
{
    InitializeFrom(nullptr);
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CResultPacerRef, ztest::CResultPacerRef::ProgId, ztest::CResultPacerRef::ClassId)
