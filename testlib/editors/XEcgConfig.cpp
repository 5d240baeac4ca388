#include "testlib/editors/XEcgConfig.h"

#include "platform/base/ComError.h"
#include "platform/com/ServerEntryPoints.h"
#include "platform/ui/Label.h"
#include "testlib/config/CConfigEcg.h"

#include <algorithm>

namespace ztest {

namespace {

constexpr float kDesignWidth = 8720;
constexpr float kDesignHeight = 2895;
constexpr float kHelpTop = 2280;
constexpr float kMinHeight = 2055;
constexpr float kGap = 120;
constexpr float kSetupFrameWidth = 6000;
constexpr float kSettingsFrameWidth = 2600;

void AddLabel(plat::Window& container, const char* name, const char* caption, float left, float top, float width)
{
    auto label = container.Add<plat::Label>(name);
    label->Move(left, top, width, 255);
    label->SetCaption(caption);
}

} // namespace

XEcgConfig::XEcgConfig()
    : EditorShim("XEcgConfig"),
      mSetupFrame(Add<plat::Frame>("fraTestSetup")),
      mThreshold(*mSetupFrame, {Hooks(), [this] { return mConfig.get(); }}),
      mDuration(*mSetupFrame,
                {Hooks(), [this](int32_t duration) { if (mConfig) mConfig->SetDuration(duration); }},
                false, DurationGroup::SliderNotices::MovedAndScrolled, false)
{
    Move(0, 0, kDesignWidth, kDesignHeight);
    mSetupFrame->Move(0, 0, kSetupFrameWidth, kHelpTop - kGap);
    AddLabel(*mSetupFrame, "lblecgrwavethreshold", " 20100::ECG R-Wave Threshold", 120, 240, 2900);

    AddLabel(*mSetupFrame, "Label3", "20101::Duration for each increment", 3240, 240, 2640);
    mDuration.TextBox()->Move(3240, 570, 735, 285);
    AddLabel(*mSetupFrame, "lblswidth", "20451::s", 4020, 600, 255);
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
        AddLabel(*mSetupFrame, optionLabels[i][0], optionLabels[i][1], 3540, top, 2340);
    }

    AddSettingsFrame(kSetupFrameWidth + kGap, 0, kSettingsFrameWidth, kHelpTop - kGap);
    // The one caption of this editor that is no language-ID text.
    AddHelpText("Select width, amplitude and auto increment settings for the ECG R-Wave Peak Detection Test", 0,
                kHelpTop, kDesignWidth, kDesignHeight - kHelpTop);
    Resize.Connect([this] { Layout(); });

    TranslateCaptions();
    mThreshold.FillThresholdLists();
    plat::IgnoreErrors([&] { mDuration.TextBox()->SetLocked(true); });
}

void XEcgConfig::Initialize(const plat::Variant& vData)
{
    mfLoading = true;
    plat::IgnoreErrors([&] {
        if (auto record = vData.IsObject() ? std::dynamic_pointer_cast<CConfigEcg>(vData.AsObject()) : nullptr) {
            mConfig = record;
        }
    });
    if (mConfig) {
        mDuration.Show(mConfig->GetDuration());
        mThreshold.Show(*mConfig);
        // The option of the stored mode switched on writes the mode; a mode that names no
        // option leaves every option off and the record unchanged.
        const int16_t mode = mConfig->GetAutoIncrement();
        for (size_t i = 0; i < mOptions.size(); ++i) {
            plat::IgnoreErrors([&] { mOptions[i]->SetValue(static_cast<int16_t>(i) == mode); });
        }
        plat::IgnoreErrors([&] { BindSettings(mConfig->TestGuideConfig()); });
    }
    mfLoading = false;
}

void XEcgConfig::SetLocked(bool locked)
{
    if (locked == mLocked) return;
    mLocked = locked;
    for (auto& option : mOptions) plat::IgnoreErrors([&] { option->SetEnabled(!locked); });
    mThreshold.SetEnabled(!locked);
    SetSettingsLocked(locked);
    mDuration.SetLocked(locked);
}

void XEcgConfig::OptionClick(int index)
{
    plat::IgnoreErrors([&] {
        if (mConfig) mConfig->SetAutoIncrement(static_cast<int16_t>(index));
    });
    if (!mfLoading) SendChange();
}

void XEcgConfig::Layout()
{
    const float height = std::max(ScaleHeight(), kMinHeight);
    const float frameHeight = FitHelpText(height) - kGap;
    plat::IgnoreErrors([&] { mSetupFrame->Move(0, 0, kSetupFrameWidth, frameHeight); });
    plat::IgnoreErrors([&] { mSettingsFrame->Move(kSetupFrameWidth + kGap, 0, kSettingsFrameWidth, frameHeight); });
}

} // namespace ztest

ZARVIK_REGISTER_CLASS(ztest::XEcgConfig, ztest::XEcgConfig::ProgId, ztest::XEcgConfig::ClassId)
