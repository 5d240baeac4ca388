#include "testlib/editors/WaveListEditor.h"

#include "platform/base/ComError.h"
#include "platform/ui/Label.h"
#include "testlib/config/CConfigSimWave.h"

#include <algorithm>

namespace ztest {

namespace {

constexpr float kDesignWidth = 8760;
constexpr float kDesignHeight = 2895;
constexpr float kHelpTop = 2280;
constexpr float kMinHeight = 2055;
constexpr float kGap = 120;
constexpr float kWaveFrameWidth = 6000;
constexpr float kSettingsFrameWidth = 2600;

std::shared_ptr<plat::Frame> AddWaveFrame(plat::Window& editor, const char* name)
{
    auto frame = editor.Add<plat::Frame>(name);
    frame->Move(0, 0, kWaveFrameWidth, kHelpTop);
    return frame;
}

} // namespace

WaveListEditor::WaveListEditor(const Design& design)
    : EditorShim(design.kind),
      mDesign(design),
      mWaveFrame(AddWaveFrame(*this, design.frameName)),
      mWaves(*mWaveFrame, design.listName, design.waves, design.firstCode,
             {Hooks(), [this](int32_t code) { if (mConfig) mConfig->SetWavetype(code); },
              [this](int index) { WavePicked(index); }}),
      mDuration(*mWaveFrame,
                {Hooks(), [this](int32_t duration) { if (mConfig) mConfig->SetDuration(duration); }},
                true, DurationGroup::SliderNotices::Moved)
{
    Move(0, 0, kDesignWidth, kDesignHeight);
    auto title = mWaveFrame->Add<plat::Label>(design.titleName);
    title->Move(120, 240, 2000, 255);
    title->SetCaption(design.title);
    auto waveform = mWaveFrame->Add<plat::Label>("lblWaveform");
    waveform->Move(120, 540, 1800, 255);
    waveform->SetCaption("20083::Waveform");
    mWaves.List()->Move(120, 800, 1800, kHelpTop - kGap - 950);

    AddSettingsFrame(kWaveFrameWidth + kGap, 0, kSettingsFrameWidth, kHelpTop - kGap);
    AddHelpText(design.help, 0, kHelpTop, kDesignWidth, kDesignHeight - kHelpTop);
    Resize.Connect([this] { Layout(); });
}

void WaveListEditor::Start()
{
    TranslateCaptions();
    mWaves.FillWaveList();
    plat::IgnoreErrors([&] { mDuration.TextBox()->SetLocked(true); });
}

void WaveListEditor::Initialize(const plat::Variant& vData)
{
    mfLoading = true;
    plat::IgnoreErrors([&] {
        if (auto record = Accept(vData)) mConfig = record;
    });
    if (mConfig) {
        mDuration.Show(mConfig->GetDuration());
        plat::IgnoreErrors([&] { BindSettings(mConfig->TestGuideConfig()); });
        mWaves.SelectWave(mConfig->GetWavetype());
        plat::IgnoreErrors([&] { ShowMore(*mConfig); });
    }
    mfLoading = false;
}

void WaveListEditor::SetLocked(bool locked)
{
    if (locked == mLocked) return;
    mLocked = locked;
    mDuration.SetLocked(locked);
    plat::IgnoreErrors([&] { mWaves.List()->SetEnabled(!locked); });
    SetSettingsLocked(locked);
    LockMore(locked);
}

void WaveListEditor::Layout()
{
    plat::IgnoreErrors([&] {
        const float height = std::max(ScaleHeight(), kMinHeight);
        const float frameHeight = FitHelpText(height) - kGap;
        plat::IgnoreErrors([&] { mWaveFrame->Move(0, 0, kWaveFrameWidth, frameHeight); });
        plat::IgnoreErrors([&] { mSettingsFrame->Move(kWaveFrameWidth + kGap, 0, kSettingsFrameWidth, frameHeight); });
        plat::IgnoreErrors([&] { mWaves.List()->Move(120, 800, 1800, frameHeight - mDesign.listFootMargin); });
        MoveSettingsEditor(120, 600);
        if (!mDesign.placesDuration) return;
        plat::IgnoreErrors([&] { mDuration.DurationLabel()->Move(2300, 250); });
        plat::IgnoreErrors([&] { mDuration.IndefiniteBox()->Move(3300, 250); });
        plat::IgnoreErrors([&] { mDuration.TextBox()->Move(5000, 250); });
        plat::IgnoreErrors([&] { mDuration.Slider()->Move(2100, 600); });
    });
}

} // namespace ztest
