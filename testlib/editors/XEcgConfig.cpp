#include "testlib/editors/XEcgConfig.h"

#include "platform/com/ServerEntryPoints.h"
#include "platform/ui/Label.h"

namespace ztest {

namespace {

constexpr float kDesignWidth = 8720;
constexpr float kDesignHeight = 2895;
constexpr float kHelpTop = 2280;
constexpr float kMinHeight = 2055;
constexpr float kSetupFrameWidth = 6000;
constexpr float kSettingsFrameWidth = 2600;

} // namespace

XEcgConfig::XEcgConfig()
    : XGroupEditor("XEcgConfig", kDesignWidth, kDesignHeight),
      mSetupFrame(AddFrame("fraTestSetup", {0, 0, kSetupFrameWidth, kHelpTop - FrameGap})),
      mThreshold(*mSetupFrame, {Site(), [this] { return &Rec(); }}),
      mDuration(*mSetupFrame, {Site(), [this](int32_t duration) { Rec().SetDuration(duration); }}, false,
                DurationGroup::SliderNotices::MovedAndScrolled, false)
{
    AddLabel(*mSetupFrame, "lblecgrwavethreshold", {120, 240, 2900, 255}, " 20100::ECG R-Wave Threshold");
    AddLabel(*mSetupFrame, "Label3", {3240, 240, 2640, 255}, "20101::Duration for each increment");
    mDuration.TextBox()->Move(3240, 570, 735, 285);
    AddLabel(*mSetupFrame, "lblswidth", {4020, 600, 255, 255}, "20451::s");
    mDuration.Slider()->Move(3120, 900, 2760, 495);

    const char* optionLabels[3][2] = {{"Label4", "20110::No auto increment"},
                                      {"Label1", "20111::Width auto increment"},
                                      {"Label2", "20112::Amplitude auto increment"}};
    for (int i = 0; i < 3; ++i) {
        const float top = 1500 + 300 * static_cast<float>(i);
        auto option = mSetupFrame->AddIndexed<plat::OptionButton>("rdAutoincrementduration", i);
        option->Move(3240, top, 255, 255);
        option->Click.Connect([this, i] { OptionClick(i); });
        mOptions[static_cast<size_t>(i)] = option;
        AddLabel(*mSetupFrame, optionLabels[i][0], {3540, top, 2340, 255}, optionLabels[i][1]);
    }

    auto settingsFrame =
        AddFrame("fraTestGuideSettings", {kSetupFrameWidth + FrameGap, 0, kSettingsFrameWidth, kHelpTop - FrameGap});
    AddLabel(*settingsFrame, "lblTestGuideSettings", {120, 240, 2055, 285}, "20080::Test guide settings:");
    AddSettingsEditor(*settingsFrame, {120, 600, 1815, 735});
    // The one caption of this editor that is no language-ID text.
    AddHelpText({0, kHelpTop, kDesignWidth, kDesignHeight - kHelpTop},
                "Select width, amplitude and auto increment settings for the ECG R-Wave Peak Detection Test");
    SetLayoutFrames(mSetupFrame, settingsFrame, nullptr);
    Start();
}

void XEcgConfig::OnStart()
{
    mThreshold.FillThresholdLists();
    // The duration is set with the slider only.
    Try([&] { mDuration.TextBox()->SetLocked(true); });
}

void XEcgConfig::FillFromRecord()
{
    CConfigEcg& record = Rec();
    mDuration.Show(record.GetDuration());
    mThreshold.Show(record);
    // The option of the stored mode switched on writes the mode (the same value); a mode that
    // names no option leaves every option off and the record unchanged.
    const int16_t mode = record.GetAutoIncrement();
    for (size_t i = 0; i < mOptions.size(); ++i) {
        Try([&] { mOptions[i]->SetValue(static_cast<int16_t>(i) == mode); });
    }
    Try([&] { BindSettingsEditor(); });
}

void XEcgConfig::ApplyLock(bool locked)
{
    for (auto& option : mOptions) Enable(*option, !locked);
    mThreshold.SetEnabled(!locked);
    Try([&] { LockSettingsEditor(locked); });
    mDuration.SetLocked(locked);
}

XConfigEditor::LayoutRule XEcgConfig::Rule() const
{
    return {0, kMinHeight, 0};
}

void XEcgConfig::LayoutFirstFrame(float /*firstWidth*/, float height)
{
    Try([&] { mSetupFrame->Move(0, 0, kSetupFrameWidth, height); });
}

void XEcgConfig::LayoutSettingsFrame()
{
    Try([&] { mSettingsFrame->Move(kSetupFrameWidth + FrameGap, 0, kSettingsFrameWidth, mSetupFrame->Height()); });
}

void XEcgConfig::OptionClick(int index)
{
    // Written while loading too: the option shown is the record's own mode.
    Try([&] { Rec().SetAutoIncrement(static_cast<int16_t>(index)); });
    if (!Loading()) NotifyHost("Change");
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XEcgConfig, ztest::XEcgConfig::ProgId, ztest::XEcgConfig::ClassId)
