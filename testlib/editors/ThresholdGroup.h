#pragma once

#include "platform/ui/ComboBox.h"
#include "platform/ui/Label.h"
#include "testlib/editors/GroupSite.h"

#include <functional>
#include <memory>

namespace ztest {

class CConfigEcg;

// The R-wave threshold pulse of the ECG editor: the width list cboWidth (ms) and the amplitude
// list cboAmplitude (mV), both pick-only, filled from the record's tables. Picking an entry
// writes its value and its index into the record. Showing a record's indexes also brings the
// record's values into line with them; only the operator's picks send "Change".
class ThresholdGroup {
public:
    struct Site {
        GroupSite editor;
        std::function<CConfigEcg*()> record;
    };

    ThresholdGroup(plat::Window& container, Site site);
    ThresholdGroup(const ThresholdGroup&) = delete;
    ThresholdGroup& operator=(const ThresholdGroup&) = delete;

    // Empties both lists and fills them; nothing is selected.
    void FillThresholdLists();
    // Selects the entries at the record's indexes (under the loading flag, which writes the
    // entries' values); an index that names no entry leaves its list without a selection and
    // the record unchanged.
    void Show(const CConfigEcg& record);
    void SetEnabled(bool enabled);

    const std::shared_ptr<plat::ComboBox>& WidthList() const { return mWidth; }
    const std::shared_ptr<plat::ComboBox>& AmplitudeList() const { return mAmplitude; }

private:
    // A list's entry picked: its value and its index go into the record.
    void Picked(plat::ComboBox& list, void (CConfigEcg::*setValue)(float), void (CConfigEcg::*setIndex)(float));
    static void ShowIndex(plat::ComboBox& list, float storedIndex);

    Site mSite;
    std::shared_ptr<plat::ComboBox> mWidth;
    std::shared_ptr<plat::ComboBox> mAmplitude;
};

} // namespace ztest
