#pragma once

#include "platform/ui/Frame.h"
#include "platform/ui/OptionButton.h"
#include "testlib/editors/DurationGroup.h"
#include "testlib/editors/EditorShim.h"
#include "testlib/editors/ThresholdGroup.h"

#include <array>
#include <memory>

namespace ztest {

class CConfigEcg;

// The editor of the ECG R-wave detection record: the threshold pulse's width and amplitude
// picked from the record's tables, the duration of each step (set with the slider; the text
// box is read-only), and what the test steps up automatically.
//
// Showing a record brings its width and amplitude values into line with its indexes and its
// step mode into line with the option shown; nothing else is written and the host is not told.
class XEcgConfig : public EditorShim {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XEcgConfig";
    static constexpr const char* ClassId = "{5B0E7C21-3F4A-4D8E-9A61-2C7D9E4B1F06}";

    XEcgConfig();

    // ICustomControl
    void Initialize(const plat::Variant& vData) override;
    void SetLocked(bool locked) override;
    // No control of this editor takes the focus first.
    void SetFocus() override {}

    const std::shared_ptr<CConfigEcg>& Config() const { return mConfig; }

private:
    void OptionClick(int index);
    void Layout();

    std::shared_ptr<CConfigEcg> mConfig;
    std::shared_ptr<plat::Frame> mSetupFrame;
    ThresholdGroup mThreshold;
    DurationGroup mDuration;
    std::array<std::shared_ptr<plat::OptionButton>, 3> mOptions;
};

} // namespace ztest
