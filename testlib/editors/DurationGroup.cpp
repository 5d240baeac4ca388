#include "testlib/editors/DurationGroup.h"

#include "platform/base/ComError.h"
#include "platform/base/Conversions.h"
#include "platform/ui/Colors.h"
#include "testlib/core/MMiscUtils.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace ztest {

namespace {

// Clears a flag when the scope ends, also when a step throws.
class FlagScope {
public:
    explicit FlagScope(bool& flag) : mFlag(flag) { mFlag = true; }
    ~FlagScope() { mFlag = false; }
    FlagScope(const FlagScope&) = delete;
    FlagScope& operator=(const FlagScope&) = delete;

private:
    bool& mFlag;
};

// The number at the start of a text; a number beyond any range counts as infinitely large
// (or small, with a leading minus), so that it is clamped like any other.
double LeadingNumber(const std::string& text)
{
    try {
        return plat::Val(text);
    } catch (const std::exception&) {
        const auto first = text.find_first_not_of(" \t\r\n");
        const bool negative = first != std::string::npos && text[first] == '-';
        return negative ? -HUGE_VAL : HUGE_VAL;
    }
}

} // namespace

DurationGroup::DurationGroup(plat::Window& container, Site site, bool withIndefinite, SliderNotices notices,
                             bool withLabel)
    : mSite(std::move(site))
{
    if (withLabel) {
        mLabel = container.Add<plat::Label>("lblDuration");
        mLabel->Move(2520, 360, 1000, 255);
        mLabel->SetCaption("20084::Duration:");
    }
    mText = container.Add<plat::TextBox>("txtTimeSlider");
    mText->Move(4920, 360, 735, 285);
    mText->SetLocked(true);
    mText->Change.Connect([this] { TextChange(); });
    mText->GotFocus.Connect([this] { plat::IgnoreErrors([&] { MMiscUtils::SelectAllText(mText); }); });

    mSlider = container.Add<plat::Slider>("sldTimeSlider");
    mSlider->Move(2160, 840, 3615, 495);
    mSlider->SetMin(MinDuration);
    mSlider->SetMax(MaxDuration);
    mSlider->SetTickFrequency(5);
    mSlider->SetToolTipText("20219::Sets the runtime for each of the ECG waves (1-60 s)");
    mSlider->Change.Connect([this] { SliderMoved(); });
    if (notices == SliderNotices::MovedAndScrolled) mSlider->Scroll.Connect([this] { SliderScrolled(); });

    if (withIndefinite) {
        mIndefinite = container.Add<plat::CheckBox>("chkIndefiniteDuration");
        mIndefinite->Move(3600, 300, 1215, 315);
        mIndefinite->SetCaption("20085::Indefinite");
        mIndefinite->Click.Connect([this] { IndefiniteClick(); });
    }
}

void DurationGroup::Show(int32_t duration)
{
    plat::IgnoreErrors([&] { mText->SetText(plat::CStr(duration) + " s"); });
    // A stored duration outside the slider's range is shown at the nearer end, not written back.
    plat::IgnoreErrors([&] { mSlider->SetValue(std::clamp(duration, MinDuration, MaxDuration)); });
    if (mIndefinite) {
        plat::IgnoreErrors([&] { mIndefinite->SetValue(duration < MinDuration ? plat::vbChecked : plat::vbUnchecked); });
    }
    ApplyStates();
}

void DurationGroup::SetLocked(bool locked)
{
    mLocked = locked;
    // A fixed-text group (no "Indefinite") stays read-only; the others become editable once
    // they have been unlocked.
    if (mIndefinite) {
        plat::IgnoreErrors([&] { mText->SetLocked(locked); });
        plat::IgnoreErrors([&] { mIndefinite->SetEnabled(!locked); });
    }
    ApplyStates();
}

void DurationGroup::ApplyStates()
{
    const bool indefinite = Indefinite();
    plat::IgnoreErrors([&] { mText->SetBackColor(indefinite ? plat::color::ButtonFace : plat::color::WindowBackground); });
    plat::IgnoreErrors([&] { mSlider->SetEnabled(!mLocked && !indefinite); });
    plat::IgnoreErrors([&] { mText->SetEnabled(!mLocked && !indefinite); });
}

int32_t DurationGroup::ValidateDuration()
{
    double value = 0;
    plat::IgnoreErrors([&] { value = LeadingNumber(mText->Text()); });
    // Clamped before it is rounded, so that no huge number reaches the whole-number conversion.
    const auto duration = static_cast<int32_t>(plat::RoundHalfEven(std::clamp(value, 0.0, MaxDuration + 1.0)));
    if (duration >= MinDuration && duration <= MaxDuration) return duration;
    const int32_t limit = duration < MinDuration ? MinDuration : MaxDuration;
    plat::IgnoreErrors([&] {
        mText->SetText(plat::CStr(limit));
        MMiscUtils::SelectAllText(mText);
    });
    return limit;
}

void DurationGroup::WriteDuration(int32_t duration)
{
    plat::IgnoreErrors([&] { mSite.setDuration(duration); });
}

void DurationGroup::TextChange()
{
    if (mBusy) return;
    const FlagScope busy(mBusy);
    if (mSite.editor.loading()) return;
    WriteDuration(ValidateDuration());
    mSite.editor.changed();
}

void DurationGroup::SliderMoved()
{
    if (mSite.editor.loading()) return;
    // The text follows the slider, and its change handling writes the duration.
    plat::IgnoreErrors([&] { mText->SetText(plat::CStr(mSlider->Value()) + " s"); });
}

void DurationGroup::SliderScrolled()
{
    if (mSite.editor.loading()) return;
    WriteDuration(mSlider->Value());
    mSite.editor.changed();
}

void DurationGroup::IndefiniteClick()
{
    ApplyStates();
    // Showing a stored duration writes nothing back.
    if (mSite.editor.loading()) return;
    int32_t duration = 0;
    if (!Indefinite()) {
        // The text box's own change handling stays out of it: this handler writes and tells
        // the host once.
        const FlagScope busy(mBusy);
        duration = ValidateDuration();
    }
    WriteDuration(duration);
    mSite.editor.changed();
}

} // namespace ztest
