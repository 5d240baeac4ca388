#pragma once

#include "platform/ui/Frame.h"
#include "platform/ui/OptionButton.h"
#include "testlib/config/CConfigEcg.h"
#include "testlib/editors/DurationGroup.h"
#include "testlib/editors/XColumnsEditor.h"
#include "testlib/editors/ThresholdGroup.h"

#include <array>
#include <memory>

namespace ztest {

// The editor of the ECG R-wave detection record: the threshold pulse's width and amplitude
// picked from the record's tables, the duration of each step (set with the slider; the text
// box is read-only), and what the test steps up automatically.
//
// Showing a record brings its width and amplitude values into line with its indexes and its
// step mode into line with the option shown; nothing else is written and the host is not told.
// A stored index or mode that names no entry leaves its list or options without a selection.
class XEcgConfig : public XColumnsEditor<CConfigEcg> {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XEcgConfig";
    static constexpr const char* ClassId = "{5B0E7C21-3F4A-4D8E-9A61-2C7D9E4B1F06}";

    XEcgConfig();

    // No control of this editor takes the focus first.
    void SetFocus() override {}

protected:
    void OnStart() override;
    void FillFromRecord() override;
    void ApplyLock(bool locked) override;

private:
    void OptionClick(int index);

    // The inputs frame.
    std::shared_ptr<plat::Frame> mSetupFrame;
    ThresholdGroup mThreshold;
    DurationGroup mDuration;
    std::array<std::shared_ptr<plat::OptionButton>, 3> mOptions;
};

} // namespace ztest
