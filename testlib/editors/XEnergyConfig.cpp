#include "testlib/editors/XEnergyConfig.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

std::span<const std::string_view> XEnergyConfig::Waves()
{
    static constexpr std::string_view waves[] = {
        "20190::VFB1", "20191::VFB2", "20192::VTC130", "20193::VTC175", "20194::VTC180", "20195::VTC185", "20196::VTC220",
    };
    return waves;
}

DischargeDesign XEnergyConfig::EnergyDesign(const char* kind)
{
    return DischargeDesign{
        .kind = kind,
        .width = 8055,
        .height = 2895,
        .firstFrameName = "fraECGWave",
        .firstFrame = {0, 0, 3135, 2295},
        .waves = Waves(),
        .waveLabel = {120, 240, 3015, 255},
        .waveList = {360, 600, 1935, 315},
        .presetLabel = {120, 1080, 2175, 285},
        .energyBox = {360, 1365, 735, 285},
        .energyUnit = {1200, 1375, 135, 255},
        .batteryCheck = std::nullopt,
        .settingsFrame = {3120, 0, 2055, 2295},
        .settingsLabelName = "lblTestGuideSettings",
        .settingsLabel = {120, 120, 2055, 285},
        .settings = {120, 380, 1815, 735},
        .thirdFrame = Place{5160, 0, 2895, 2295},
        .help = {0, 2280, 8055, 615},
        .helpCaption = "20151::Select energy according to 'Energy select' settings on the defibrillator and select the "
                       "ECG waveform.",
    };
}

XEnergyConfig::XEnergyConfig() : XDischargeEditor(EnergyDesign("XEnergyConfig")) {}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XEnergyConfig, ztest::XEnergyConfig::ProgId, ztest::XEnergyConfig::ClassId)
