#include "testlib/editors/XPacerConfig.h"

#include "platform/base/Conversions.h"
#include "platform/base/Variant.h"

namespace ztest {

namespace {

// The pacer editors are laid out for this size whatever their real size.
constexpr float kLayoutWidth = 10785;
constexpr float kLayoutHeight = 3375;
constexpr float kHelpHeight = 615;
constexpr float kFrameHeight = kLayoutHeight - kHelpHeight - XConfigEditor::FrameGap;
constexpr float kPacerShare = 0.55f;
constexpr float kPacerFrameWidth = kLayoutWidth * kPacerShare;
constexpr float kSettingsFrameWidth = 2600;
constexpr float kEmptyLeft = kPacerFrameWidth + kSettingsFrameWidth + 2 * XConfigEditor::FrameGap;

} // namespace

XPacerConfig::XPacerConfig(const char* kind, const char* help, PacerLoadGroup::ShowOrder order)
    : XGroupEditor(kind, kLayoutWidth, kLayoutHeight),
      mShowOrder(order),
      mPacerFrame(AddFrame("fraPacer", {0, 0, kPacerFrameWidth, kFrameHeight})),
      mLoads(*mPacerFrame, {Site(), [this] { return &Rec(); }})
{
    AddLabel(*mPacerFrame, "lblPresetPacerRate", {120, 1200, 2000, 255}, "20097::PresetPacerRate");
    mRate = AddNumberBox(*mPacerFrame, "txtPresetPacerRate", {2280, 1170, 855, 285});
    mRate->Change.Connect([this] { RateChange(); });
    mRate->Click.Connect([this] { RateChange(); });
    AddLabel(*mPacerFrame, "lblPPM", {3240, 1200, 600, 255}, "20455::PPM");
    AddLabel(*mPacerFrame, "lblPresetPacerAmplitude", {120, 1680, 2000, 255}, "20098::Preset Pacer Amplitude");
    mAmplitude = AddNumberBox(*mPacerFrame, "txtPresetPacerAmplitude", {2280, 1650, 855, 285});
    mAmplitude->Change.Connect([this] { AmplitudeChange(); });
    mAmplitude->Click.Connect([this] { AmplitudeChange(); });
    AddLabel(*mPacerFrame, "lblmA", {3240, 1680, 600, 255}, "20454::mA");

    auto settingsFrame =
        AddFrame("fraTestGuideSettings", {kPacerFrameWidth + FrameGap, 0, kSettingsFrameWidth, kFrameHeight});
    AddLabel(*settingsFrame, "lblTestGuideSettings", {120, 240, 2055, 285}, "20080::Test guide settings:");
    AddSettingsEditor(*settingsFrame, {120, 600, 1815, 735});
    auto emptyFrame = AddFrame("fraEmpty", {kEmptyLeft, 0, kLayoutWidth - kEmptyLeft, kFrameHeight});
    AddHelpText({0, kLayoutHeight - kHelpHeight, kLayoutWidth, kHelpHeight}, help);
    SetLayoutFrames(mPacerFrame, settingsFrame, emptyFrame);
    Start();
}

void XPacerConfig::OnStart()
{
    mLoads.FillAdapterList();
    mLoads.FillLoadList();
    // Before the editor is shown neither box can take the focus.
    Try([&] { mAmplitude->SetFocus(); });
    Try([&] { mRate->SetFocus(); });
}

void XPacerConfig::FillFromRecord()
{
    CConfigPacer& record = Rec();
    mLoads.Show(record, mShowOrder);
    Try([&] { mAmplitude->SetText(DecimalText(record.GetAmplitude())); });
    Try([&] { mRate->SetText(DecimalText(record.GetRate())); });
    Try([&] { BindSettingsEditor(); });
}

void XPacerConfig::ApplyLock(bool locked)
{
    mLoads.SetLocked(locked);
    Try([&] { LockSettingsEditor(locked); });
    Enable(*mAmplitude, !locked);
    Enable(*mRate, !locked);
}

XConfigEditor::LayoutRule XPacerConfig::Rule() const
{
    return {kLayoutWidth, kLayoutHeight, kPacerShare, true};
}

void XPacerConfig::RateChange()
{
    // The leading number: an emptied box gives rate 0.
    Edit([&] { Rec().SetRate(SingleOf(LeadingNumber(mRate->Text()))); });
}

void XPacerConfig::AmplitudeChange()
{
    // The whole text must be a number: an emptied box keeps the stored amplitude.
    Edit([&] { Rec().SetAmplitude(plat::CSng(plat::Variant(mAmplitude->Text()))); });
}

} // namespace ztest
