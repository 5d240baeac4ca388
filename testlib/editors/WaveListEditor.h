#pragma once

#include "testlib/editors/CheckedWaveList.h"
#include "testlib/editors/DurationGroup.h"
#include "testlib/editors/EditorShim.h"
#include "platform/ui/Frame.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace ztest {

class CConfigSimWave;

// What the editors of the simulated-wave records share: a frame with a title, a check-box
// list of the record's waves and the duration group; the test-guide settings frame beside it;
// the help panel below. The normal-sinus-wave, performance-wave and arrhythmia editors differ
// in their tables, their places and what they add (the lead, the atrial pace lists).
class WaveListEditor : public EditorShim {
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

    // ICustomControl
    // Shows the record (of the editor's own class; anything else keeps the record bound
    // before) without writing it or telling the host.
    void Initialize(const plat::Variant& vData) override;
    void SetLocked(bool locked) override;
    // No control of these editors takes the focus first.
    void SetFocus() override {}

    const std::shared_ptr<CConfigSimWave>& Config() const { return mConfig; }

protected:
    explicit WaveListEditor(const Design& design);

    // Ends the start once the derived editor has added its controls: captions translated, the
    // list filled, the duration text box read-only.
    void Start();

    // The record of the editor's class in the data, or null.
    virtual std::shared_ptr<CConfigSimWave> Accept(const plat::Variant& vData) const = 0;
    // What a derived editor shows after the wave is selected, under the loading flag.
    virtual void ShowMore(CConfigSimWave&) {}
    // What a derived editor enables or disables when the lock changes.
    virtual void LockMore(bool) {}
    // What a derived editor does when the operator checks a wave, before the checks change.
    virtual void WavePicked(int) {}

    void Layout();

    const Design& mDesign;
    std::shared_ptr<CConfigSimWave> mConfig;
    std::shared_ptr<plat::Frame> mWaveFrame;
    CheckedWaveList mWaves;
    DurationGroup mDuration;
};

} // namespace ztest
