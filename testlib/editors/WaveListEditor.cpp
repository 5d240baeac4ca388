#include "testlib/editors/WaveListEditor.h"

#include "platform/ui/Label.h"

namespace ztest {

WaveListEditor::WaveListEditor(const Design& design)
    : XColumnsEditor(design.kind, design.frameName),
      mDesign(design),
      mWaveFrame(mInputs),
      mWaves(*mWaveFrame, design.listName, design.waves, design.firstCode,
             {Site(), [this](int32_t code) { Rec().SetWavetype(code); }, [this](int index) { WavePicked(index); }}),
      mDuration(*mWaveFrame, {Site(), [this](int32_t duration) { Rec().SetDuration(duration); }}, true,
                DurationGroup::SliderNotices::Moved)
{
    AddLabel(*mWaveFrame, design.titleName, {120, 240, 2000, 255}, design.title);
    AddLabel(*mWaveFrame, "lblWaveform", {120, 540, 1800, 255}, "20083::Waveform");
    mWaves.List()->Move(120, 800, 1800, HelpTop - FrameGap - design.listFootMargin);
    AddSettingsAndHelp(design.help);
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

void WaveListEditor::LayoutInputs(float height)
{
    Try([&] { mWaves.List()->Move(120, 800, 1800, height - mDesign.listFootMargin); });
    if (!mDesign.placesDuration) return;
    Try([&] { mDuration.DurationLabel()->Move(2300, 250); });
    Try([&] { mDuration.IndefiniteBox()->Move(3300, 250); });
    Try([&] { mDuration.TextBox()->Move(5000, 250); });
    Try([&] { mDuration.Slider()->Move(2100, 600); });
}

} // namespace ztest
