#pragma once

#include "platform/ui/CheckBox.h"
#include "platform/ui/Label.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextBox.h"
#include "testlib/editors/GroupSite.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace ztest {

// The duration of a simulated wave as the wave editors show it: the text box txtTimeSlider
// ("7 s"), the slider sldTimeSlider (1 to 60 seconds) and, where the test can hold its wave
// until the operator stops it, the check box chkIndefiniteDuration ("Indefinite", duration 0).
//
// Typing into the text box (it is read-only until the editor has been locked and unlocked once)
// and moving the slider write the duration clamped to 1..60 and send one "Change"; checking or
// unchecking "Indefinite" writes 0 or the box's duration and sends one "Change". While the
// editor loads nothing is written and nothing is sent.
class DurationGroup {
public:
    // What the group needs of its editor, and the record's duration (a write may fail when no
    // record is bound; it is then skipped).
    struct Site {
        GroupSite editor;
        std::function<void(int32_t)> setDuration;
    };
    // How the slider reports a move. Moved: one notice per move, the text follows and the
    // text writes. MovedAndScrolled (the ECG editor): the operator's drag also writes the
    // position itself, so one drag writes twice and sends two notices.
    enum class SliderNotices { Moved, MovedAndScrolled };

    static constexpr int32_t MinDuration = 1;
    static constexpr int32_t MaxDuration = 60;

    // Adds the controls (and the label lblDuration "20084::Duration:" when asked) to the
    // container at their design places.
    DurationGroup(plat::Window& container, Site site, bool withIndefinite, SliderNotices notices,
                  bool withLabel = true);
    DurationGroup(const DurationGroup&) = delete;
    DurationGroup& operator=(const DurationGroup&) = delete;

    // Shows a stored duration, under the editor's loading flag: the text "<d> s", the slider at
    // the duration clamped to its range (nothing is written back), "Indefinite" checked for a
    // duration below 1 with the text box and slider disabled.
    void Show(int32_t duration);
    // Enables or disables the group. Locking also makes the text box read-only; unlocking makes
    // it editable. The text box and slider stay disabled while "Indefinite" is checked.
    void SetLocked(bool locked);
    // The whole-number duration at the start of the text box's text, clamped to 1..60; a text
    // outside that range is replaced by the limit, selected.
    int32_t ValidateDuration();

    bool Indefinite() const { return mIndefinite && mIndefinite->Value() == plat::vbChecked; }

    const std::shared_ptr<plat::Label>& DurationLabel() const { return mLabel; }
    const std::shared_ptr<plat::TextBox>& TextBox() const { return mText; }
    const std::shared_ptr<plat::Slider>& Slider() const { return mSlider; }
    // Null in a group without "Indefinite".
    const std::shared_ptr<plat::CheckBox>& IndefiniteBox() const { return mIndefinite; }

private:
    void TextChange();
    void SliderMoved();
    void SliderScrolled();
    void IndefiniteClick();
    // The enabled states and colours that follow from the lock and "Indefinite".
    void ApplyStates();
    void WriteDuration(int32_t duration);

    Site mSite;
    bool mLocked = false;
    // Set while the text box's change handling runs (it rewrites the text itself).
    bool mBusy = false;
    std::shared_ptr<plat::Label> mLabel;
    std::shared_ptr<plat::TextBox> mText;
    std::shared_ptr<plat::Slider> mSlider;
    std::shared_ptr<plat::CheckBox> mIndefinite;
};

} // namespace ztest
