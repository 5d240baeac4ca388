#include "testlib/editors/XEcgConfig.h"

#include "platform/com/ServerEntryPoints.h"
#include "platform/ui/Label.h"

namespace ztest {

XEcgConfig::XEcgConfig()
    : XColumnsEditor("XEcgConfig", "fraTestSetup"),
      mSetupFrame(mInputs),
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

    // The one caption of this editor that is no language-ID text.
    AddSettingsAndHelp("Select width, amplitude and auto increment settings for the ECG R-Wave Peak Detection Test");
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

void XEcgConfig::OptionClick(int index)
{
    // Written while loading too: the option shown is the record's own mode.
    Try([&] { Rec().SetAutoIncrement(static_cast<int16_t>(index)); });
    if (!Loading()) NotifyHost("Change");
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XEcgConfig, ztest::XEcgConfig::ProgId, ztest::XEcgConfig::ClassId)
