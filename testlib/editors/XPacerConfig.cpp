#include "testlib/editors/XPacerConfig.h"

#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/ui/Label.h"
#include "testlib/config/CConfigPacer.h"
#include "testlib/core/MMiscUtils.h"

namespace ztest {

namespace {

// The pacer editors are laid out for this size whatever their real size.
constexpr float kLayoutWidth = 10785;
constexpr float kLayoutHeight = 3375;
constexpr float kHelpHeight = 615;
constexpr float kGap = 120;
constexpr float kPacerFrameWidth = kLayoutWidth * 0.55f;
constexpr float kSettingsFrameWidth = 2600;

void AddLabel(plat::Window& container, const char* name, const char* caption, float left, float top, float width)
{
    auto label = container.Add<plat::Label>(name);
    label->Move(left, top, width, 255);
    label->SetCaption(caption);
}

// The number boxes take digits and backspace only.
void KeepDigits(int16_t& keyAscii)
{
    const bool digit = keyAscii >= '0' && keyAscii <= '9';
    if (!digit && keyAscii != 8) keyAscii = 0;
}

} // namespace

XPacerConfig::XPacerConfig(const char* kind, const char* help, PacerLoadGroup::ShowOrder order)
    : EditorShim(kind),
      mShowOrder(order),
      mPacerFrame(Add<plat::Frame>("fraPacer")),
      mLoads(*mPacerFrame, {Hooks(), [this] { return mConfig.get(); }})
{
    const float frameHeight = kLayoutHeight - kHelpHeight - kGap;
    Move(0, 0, kLayoutWidth, kLayoutHeight);
    mPacerFrame->Move(0, 0, kPacerFrameWidth, frameHeight);

    AddLabel(*mPacerFrame, "lblPresetPacerRate", "20097::PresetPacerRate", 120, 1200, 2000);
    mRate = AddNumberBox("txtPresetPacerRate", 1200);
    mRate->Change.Connect([this] { RateChange(); });
    mRate->Click.Connect([this] { RateChange(); });
    AddLabel(*mPacerFrame, "lblPPM", "20455::PPM", 3240, 1200, 600);
    AddLabel(*mPacerFrame, "lblPresetPacerAmplitude", "20098::Preset Pacer Amplitude", 120, 1680, 2000);
    mAmplitude = AddNumberBox("txtPresetPacerAmplitude", 1680);
    mAmplitude->Change.Connect([this] { AmplitudeChange(); });
    mAmplitude->Click.Connect([this] { AmplitudeChange(); });
    AddLabel(*mPacerFrame, "lblmA", "20454::mA", 3240, 1680, 600);

    AddSettingsFrame(kPacerFrameWidth + kGap, 0, kSettingsFrameWidth, frameHeight);
    mEmptyFrame = Add<plat::Frame>("fraEmpty");
    const float emptyLeft = kPacerFrameWidth + kSettingsFrameWidth + 2 * kGap;
    mEmptyFrame->Move(emptyLeft, 0, kLayoutWidth - emptyLeft, frameHeight);
    AddHelpText(help, 0, kLayoutHeight - kHelpHeight, kLayoutWidth, kHelpHeight);
    Resize.Connect([this] { Layout(); });

    TranslateCaptions();
    mLoads.FillAdapterList();
    mLoads.FillLoadList();
    // Before the editor is shown neither box can take the focus.
    plat::IgnoreErrors([&] { mAmplitude->SetFocus(); });
    plat::IgnoreErrors([&] { mRate->SetFocus(); });
}

std::shared_ptr<plat::TextBox> XPacerConfig::AddNumberBox(const char* name, float top)
{
    auto box = mPacerFrame->Add<plat::TextBox>(name);
    box->Move(2280, top - 30, 855, 285);
    box->KeyPress.Connect([](int16_t& keyAscii) { KeepDigits(keyAscii); });
    std::weak_ptr<plat::TextBox> weak = box;
    box->GotFocus.Connect([weak] { plat::IgnoreErrors([&] { MMiscUtils::SelectAllText(weak.lock()); }); });
    return box;
}

void XPacerConfig::Initialize(const plat::Variant& vData)
{
    mfLoading = true;
    plat::IgnoreErrors([&] {
        if (auto record = Accept(vData)) mConfig = record;
    });
    if (mConfig) {
        mLoads.Show(*mConfig, mShowOrder);
        plat::IgnoreErrors([&] { mAmplitude->SetText(plat::CStr(mConfig->GetAmplitude())); });
        plat::IgnoreErrors([&] { mRate->SetText(plat::CStr(mConfig->GetRate())); });
        plat::IgnoreErrors([&] { BindSettings(mConfig->TestGuideConfig()); });
    }
    mfLoading = false;
}

void XPacerConfig::SetLocked(bool locked)
{
    if (locked == mLocked) return;
    mLocked = locked;
    mLoads.SetLocked(locked);
    SetSettingsLocked(locked);
    plat::IgnoreErrors([&] { mAmplitude->SetEnabled(!locked); });
    plat::IgnoreErrors([&] { mRate->SetEnabled(!locked); });
}

void XPacerConfig::RateChange()
{
    if (mfLoading) return;
    // The leading number: an emptied box gives rate 0.
    plat::IgnoreErrors([&] {
        if (mConfig) mConfig->SetRate(plat::CSng(plat::Variant(plat::Val(mRate->Text()))));
    });
    SendChange();
}

void XPacerConfig::AmplitudeChange()
{
    if (mfLoading) return;
    // The whole text must be a number: an emptied box keeps the stored amplitude.
    plat::IgnoreErrors([&] {
        if (mConfig) mConfig->SetAmplitude(plat::CSng(plat::Variant(mAmplitude->Text())));
    });
    SendChange();
}

void XPacerConfig::Layout()
{
    const float frameHeight = FitHelpText(kLayoutHeight) - kGap;
    plat::IgnoreErrors([&] { mPacerFrame->Move(0, 0, kPacerFrameWidth, frameHeight); });
    plat::IgnoreErrors([&] { mSettingsFrame->Move(kPacerFrameWidth + kGap, 0, kSettingsFrameWidth, frameHeight); });
    plat::IgnoreErrors([&] {
        const float left = mSettingsFrame->Left() + mSettingsFrame->Width() + kGap;
        mEmptyFrame->Move(left, 0, ScaleWidth() - left, frameHeight);
    });
}

} // namespace ztest
