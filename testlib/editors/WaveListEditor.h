#pragma once

#include "platform/ui/Frame.h"
#include "testlib/config/CConfigSimWave.h"
#include "testlib/editors/CheckedWaveList.h"
#include "testlib/editors/DurationGroup.h"
#include "testlib/editors/XColumnsEditor.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ztest {

// What the editors of the simulated-wave records share: a frame with a title, a check-box
// list of the record's waves and the duration group; the test-guide settings frame beside it;
// the help panel below. The normal-sinus-wave, performance-wave and arrhythmia editors differ
// in their tables, their places and what they add (the lead, the atrial pace lists).
//
// Initialize shows the duration, binds the settings editor, checks the stored wave and lets
// the editor show the rest; nothing is written and the host is not told. A stored code outside
// the editor's own range checks nothing.
class WaveListEditor : public XColumnsEditor<CConfigSimWave> {
public:
    // An editor's tables and places.
    struct Design {
        const char* kind;
        const char* frameName;
        const char* titleName;
        const char* title;
        const char* listName;
        std::span<const std::string_view> waves;
        int32_t firstCode;
        const char* help;
        // The wave list ends this far above the frame's foot.
        float listFootMargin;
        // Whether the layout places the duration controls (else they keep their design places).
        bool placesDuration;
    };

    // No control of these editors takes the focus first.
    void SetFocus() override {}

protected:
    explicit WaveListEditor(const Design& design);

    void OnStart() override;
    void FillFromRecord() override;
    void ApplyLock(bool locked) override;
    void LayoutInputs(float height) override;

    // What a derived editor shows after the wave is checked (under the loading flag).
    virtual void ShowMore(CConfigSimWave&) {}
    // What a derived editor enables or disables when the lock changes.
    virtual void LockMore(bool) {}
    // What a derived editor does when the operator checks a wave, before the checks change.
    virtual void WavePicked(int) {}

    const Design& mDesign;
    // The inputs frame.
    std::shared_ptr<plat::Frame> mWaveFrame;
    CheckedWaveList mWaves;
    DurationGroup mDuration;
};

} // namespace ztest
