#include "testlib/editors/WaveListEditor.h"

#include "platform/ui/Label.h"

namespace ztest {

namespace {

constexpr float kDesignWidth = 8720;
constexpr float kDesignHeight = 2895;
constexpr float kHelpTop = 2280;
constexpr float kMinHeight = 2055;
constexpr float kWaveFrameWidth = 6000;
constexpr float kSettingsFrameWidth = 2600;
constexpr Place kSettingsEditor{120, 600, 1815, 735};

} // namespace

WaveListEditor::WaveListEditor(const Design& design)
    : XGroupEditor(design.kind, kDesignWidth, kDesignHeight),
      mDesign(design),
      mWaveFrame(AddFrame(design.frameName, {0, 0, kWaveFrameWidth, kHelpTop - FrameGap})),
      mWaves(*mWaveFrame, design.listName, design.waves, design.firstCode,
             {Site(), [this](int32_t code) { Rec().SetWavetype(code); }, [this](int index) { WavePicked(index); }}),
      mDuration(*mWaveFrame, {Site(), [this](int32_t duration) { Rec().SetDuration(duration); }}, true,
                DurationGroup::SliderNotices::Moved)
{
    AddLabel(*mWaveFrame, design.titleName, {120, 240, 2000, 255}, design.title);
    AddLabel(*mWaveFrame, "lblWaveform", {120, 540, 1800, 255}, "20083::Waveform");
    mWaves.List()->Move(120, 800, 1800, kHelpTop - FrameGap - design.listFootMargin);

    auto settingsFrame = AddFrame("fraTestGuideSettings", {kWaveFrameWidth + FrameGap, 0, kSettingsFrameWidth, kHelpTop - FrameGap});
    AddLabel(*settingsFrame, "lblTestGuideSettings", {120, 240, 2055, 285}, "20080::Test guide settings:");
    AddSettingsEditor(*settingsFrame, kSettingsEditor);
    AddHelpText({0, kHelpTop, kDesignWidth, kDesignHeight - kHelpTop}, design.help);
    SetLayoutFrames(mWaveFrame, settingsFrame, nullptr);
}

void WaveListEditor::OnStart()
{
    mWaves.FillWaveList();
    // The duration is set with the slider or "Indefinite" until the editor has been locked and
    // unlocked once.
    Try([&] { mDuration.TextBox()->SetLocked(true); });
}

void WaveListEditor::FillFromRecord()
{
    CConfigSimWave& record = Rec();
    mDuration.Show(record.GetDuration());
    Try([&] { BindSettingsEditor(); });
    mWaves.SelectWave(record.GetWavetype());
    Try([&] { ShowMore(record); });
}

void WaveListEditor::ApplyLock(bool locked)
{
    mDuration.SetLocked(locked);
    Enable(*mWaves.List(), !locked);
    Try([&] { LockSettingsEditor(locked); });
    LockMore(locked);
}

XConfigEditor::LayoutRule WaveListEditor::Rule() const
{
    return {0, kMinHeight, 0};
}

void WaveListEditor::LayoutFirstFrame(float /*firstWidth*/, float height)
{
    // The wave frame keeps its width whatever the control's.
    Try([&] { mWaveFrame->Move(0, 0, kWaveFrameWidth, height); });
    Try([&] { mWaves.List()->Move(120, 800, 1800, height - mDesign.listFootMargin); });
    if (!mDesign.placesDuration) return;
    Try([&] { mDuration.DurationLabel()->Move(2300, 250); });
    Try([&] { mDuration.IndefiniteBox()->Move(3300, 250); });
    Try([&] { mDuration.TextBox()->Move(5000, 250); });
    Try([&] { mDuration.Slider()->Move(2100, 600); });
}

void WaveListEditor::LayoutSettingsFrame()
{
    Try([&] { mSettingsFrame->Move(kWaveFrameWidth + FrameGap, 0, kSettingsFrameWidth, mWaveFrame->Height()); });
    Try([&] { SettingsExtender()->Move(kSettingsEditor.left, kSettingsEditor.top); });
}

} // namespace ztest
