#pragma once

#include "platform/ui/ComboBox.h"
#include "platform/ui/Label.h"
#include "testlib/editors/GroupSite.h"

#include <functional>
#include <memory>

namespace ztest {

class CConfigArr;

// The paced atrial spike of the arrhythmia editor: the width list cboWidth (ms) and the
// amplitude list cboAmplitude (mV), both pick-only. They matter only for the two atrial-pacing
// waves: for those the lists are enabled with a window background, for every other wave
// disabled, without a selection, with a button-face background. Picking an entry writes its
// value into the record and sends one "Change".
class AtrialPaceLists {
public:
    struct Site {
        GroupSite editor;
        std::function<CConfigArr*()> record;
    };

    static constexpr const char* DefaultWidth = "0.1";
    static constexpr const char* DefaultAmplitude = "100";

    AtrialPaceLists(plat::Window& container, Site site);
    AtrialPaceLists(const AtrialPaceLists&) = delete;
    AtrialPaceLists& operator=(const AtrialPaceLists&) = delete;

    // Empties both lists, fills them and shows the default entries.
    void Fill();
    // The state for a wave: whether it paces atrially (the lists are then usable); the editor's
    // lock keeps them disabled whatever the wave.
    void SetPacing(bool pacing);
    void SetLocked(bool locked);
    // Shows the record's width and amplitude; a value that no entry holds leaves its list
    // without a selection. The record is not written.
    void ShowValues(const CConfigArr& record);
    // Shows the default entries 0.1 ms and 100 mV without writing them (no record bound).
    void ShowDefaults();

    const std::shared_ptr<plat::ComboBox>& WidthList() const { return mWidth; }
    const std::shared_ptr<plat::ComboBox>& AmplitudeList() const { return mAmplitude; }

private:
    void FillEntries();
    void Picked(plat::ComboBox& list, void (CConfigArr::*setValue)(float));
    void ApplyStates();
    static void ShowValue(plat::ComboBox& list, float value);

    Site mSite;
    bool mPacing = false;
    bool mLocked = false;
    std::shared_ptr<plat::ComboBox> mWidth;
    std::shared_ptr<plat::ComboBox> mAmplitude;
};

} // namespace ztest
