#include "testlib/editors/XBatCapConfig.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

namespace {

DischargeDesign BatCapDesign()
{
    return DischargeDesign{
        .kind = "XBatCapConfig",
        .width = 7665,
        .height = 2445,
        .firstFrameName = "fraEnergy",
        .firstFrame = {0, 0, 3135, 1935},
        .waves = {},
        .waveLabel = {},
        .waveList = {},
        .presetLabel = {120, 240, 2175, 285},
        .energyBox = {360, 600, 975, 285},
        .energyUnit = {1440, 620, 135, 255},
        .batteryCheck = std::nullopt,
        .settingsFrame = {3240, 0, 2295, 1935},
        .settingsLabelName = "lblTestGudeSettings",
        .settingsLabel = {120, 240, 2055, 285},
        .settings = {120, 600, 1815, 615},
        .thirdFrame = std::nullopt,
        .help = {0, 1950, 7665, 495},
        .helpCaption = "20150::Select energy according to 'Energy select' settings on the defibrillator. ",
    };
}

} // namespace

XBatCapConfig::XBatCapConfig() : XDischargeEditor(BatCapDesign()) {}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XBatCapConfig, ztest::XBatCapConfig::ProgId, ztest::XBatCapConfig::ClassId)
