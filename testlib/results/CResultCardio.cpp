#include "testlib/results/CResultCardio.h"

#include "platform/com/ServerEntryPoints.h"
#include "platform/ui/MessageBox.h"

#include <string>

namespace ztest {

namespace {

constexpr MeasurementSpec kMeasurements[] = {
    kEnergySpec,
    kPeakVoltageSpec,
    kPeakCurrentSpec,
    {"CADT", "20125::Cardio Delay Time", "ms", CMeasurement::ValueTypeNumber, "# ##0.00"},
};

constexpr ReplyFieldSpec kReplyFields[] = {{"ENGY", 1.0}, {"PEAV", 1.0}, {"PEAC", 1.0}, {"CADT", 1000.0}};

} // namespace

CResultCardio::CResultCardio()
    : CDischargeResult("TelvoZarvikTest.CResultCardio", "20242::Loading Cardio version Sync test result data",
                       kMeasurements, kReplyFields, StoreErrors::PassOn)
{
}

void CResultCardio::StoreField(std::size_t index, std::string_view field, const ReplyFieldSpec& spec,
                               CMeasurement& measurement)
{
    if (std::string_view(spec.key) != "CADT" || !field.starts_with(NoSync)) {
        CDischargeResult::StoreField(index, field, spec, measurement);
        return;
    }
    const std::string text = Translate("20468::NO SYNC detected, please check for ECG cable or SYNC") + "\n" +
                             Translate("20469:: mode on Defibrillator. Cardio Delay time could not be") + "\n" +
                             Translate("20470:: determined.");
    plat::MsgBox(text, plat::vbOKOnly + plat::vbCritical, Translate("20471::Telvo Plug-In MTI response"));
    measurement.SetValue(std::string(NoSync));
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::CResultCardio, ztest::CResultCardio::ProgId, ztest::CResultCardio::ClassId)
