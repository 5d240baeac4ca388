#include "testlib/results/CResultPacerPar.h"

#include "platform/com/ServerEntryPoints.h"
#include "testlib/config/CConfigPacerPar.h"
#include "testlib/core/CMeasurement.h"

#include <string_view>

namespace ztest {

namespace {

constexpr int32_t kNumber = CMeasurement::ValueTypeNumber;

constexpr MeasurementSpec kMeasurements[] = {
    {"PACR", "20126::Pacer Rate", " ppm", kNumber, "# ##0.0"},
    {"PACC", "20127::Pacer Current", " A", kNumber, "# ##0.000"},
    {"PACW", "20128::Pacer Width", " ms", kNumber, "# ##0.0"},
};

constexpr ReplyFieldSpec kReplyFields[] = {{"PACC", 1.0}, {"PACW", 1000.0}, {"PACR", 1.0}};

} // namespace

CResultPacerPar::CResultPacerPar()
    : CReplyResult("TelvoZarvikTest.CResultPacerPar", "20373::Loading Pacer Parameter Test result data",
                   kMeasurements, kReplyFields, StoreErrors::SkipField)
{
}

void CResultPacerPar::Initialize(const std::shared_ptr<host::IConfigData>& configuration)
{
    InitializeFrom(configuration);
}

plat::Variant CResultPacerPar::PresetOf(const MeasurementSpec& spec,
                                        const std::shared_ptr<host::IConfigData>& configuration) const
{
    const std::shared_ptr<CConfigPacerPar> config = std::dynamic_pointer_cast<CConfigPacerPar>(configuration);
    if (!config) return {};
    const std::string_view key = spec.key;
    if (key == "PACR") return plat::Variant(config->GetRate());
    // The amplitude is configured in mA; the current is measured in A.
    if (key == "PACC") return plat::Variant(static_cast<float>(config->GetAmplitude() / 1000.0));
    return {};
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CResultPacerPar, ztest::CResultPacerPar::ProgId, ztest::CResultPacerPar::ClassId)
