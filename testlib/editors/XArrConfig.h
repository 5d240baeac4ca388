#pragma once

#include "testlib/editors/AtrialPaceLists.h"
#include "testlib/editors/WaveListEditor.h"

namespace ztest {

// The editor of the arrhythmia record: one of 36 arrhythmia waves (codes 200 to 235), its
// duration, and for the two atrial-pacing waves the width and amplitude of the paced spike.
class XArrConfig : public WaveListEditor {
public:
    static constexpr const char* ProgId = "TelvoZarvikTest.XArrConfig";
    static constexpr const char* ClassId = "{5B0E7C21-3F4A-4D8E-9A61-2C7D9E4B1F03}";

    XArrConfig();

protected:
    bool Accepts(const plat::ObjectPtr& object) const override;
    void OnStart() override;
    // The atrial pace lists follow the stored wave and show the record's width and amplitude.
    void ShowMore(CConfigSimWave& record) override;
    void LockMore(bool locked) override;
    // A newly checked wave sets the lists' state; an atrial-pacing wave shows the record's
    // width and amplitude (the default entries without a record), writing nothing.
    void WavePicked(int index) override;

private:
    static bool PacesAtrially(int32_t code);

    AtrialPaceLists mPace;
};

} // namespace ztest
