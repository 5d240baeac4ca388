#include "testlib/editors/XDefibConfig.h"

#include "platform/com/ServerEntryPoints.h"

namespace ztest {

namespace {

constexpr float kCaptionMargin = 540;
constexpr Place kSettingsPlace{120, 600, 1815, 615};

} // namespace

DischargeDesign XDefibConfig::DefibDesign(const char* kind)
{
    return DischargeDesign{
        .kind = kind,
        .width = 7665,
        .height = 2445,
        .firstFrameName = "fraEnergy",
        .firstFrame = {0, 0, 3135, 1935},
        .waves = {},
        .waveLabel = {},
        .waveList = {},
        .presetLabel = {120, 240, 2175, 285},
        .energyBox = {360, 720, 975, 285},
        .energyUnit = {1440, 730, 135, 255},
        .batteryCheck = Place{360, 1200, 1935, 375},
        .settingsFrame = {3240, 0, 2295, 1935},
        .settingsLabelName = "lblTestGudeSettings",
        .settingsLabel = {120, 240, 2055, 285},
        .settings = kSettingsPlace,
        .thirdFrame = std::nullopt,
        .help = {0, 1950, 7665, 495},
        .helpCaption = "20152::Select energy according to 'Energy select' settings on the defibrillator. ",
    };
}

XDefibConfig::XDefibConfig() : XDischargeEditor(DefibDesign("XDefibConfig")) {}

void XDefibConfig::LayoutFirstFrame(float firstWidth, float /*height*/)
{
    Try([&] { mPresetLabel->Move(120, 240, firstWidth - kCaptionMargin); });
    Try([&] { mEnergyUnit->Move(1440, 720); });
    Try([&] { mEnergy->Move(360, 720); });
}

void XDefibConfig::LayoutSettingsFrame()
{
    auto settings = SettingsExtender();
    if (!settings) return;
    // The settings editor fills its frame but for its margins.
    settings->Move(kSettingsPlace.left, kSettingsPlace.top, mSettingsFrame->Width() - 2 * kSettingsPlace.left);
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XDefibConfig, ztest::XDefibConfig::ProgId, ztest::XDefibConfig::ClassId)
