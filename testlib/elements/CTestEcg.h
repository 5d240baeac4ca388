#pragma once

#include "testlib/config/CConfigEcg.h"
#include "testlib/results/CResultEcg.h"
#include "testlib/elements/CTestOf.h"
#include "testlib/elements/CWaveHoldTest.h"
#include "testlib/elements/TestTimer.h"

#include <cstdint>
#include <memory>

namespace ztest {

// The ECG R-wave detection test (1100): the analyzer simulates R-waves of the configured width
// and amplitude, held for the configured time; with auto-increment the width or the amplitude
// is stepped through the rest of its table, one hold each, so that the operator finds the limit
// of detection. The configured indexes are the same after the run as before it.
class CTestEcg : public CTestOf<CTestEcg, CConfigEcg, CResultEcg, CWaveHoldTest> {
public:
    static constexpr int32_t TypeCode = 1100;
    static constexpr const char* ClassProgId = "TelvoZarvikTest.CTestEcg";
    static constexpr const char* ClassId = "{5F0B3C59-2D0E-4C4B-9A57-6E1D7C0E1011}";

    CTestEcg() : CTestOf(TypeCode, ClassProgId) {}

    // Whether stepping is over after a hold: the stepped index has left its table (at or past
    // its end, or below 0). Without stepping (any mode but width or amplitude) there is one hold.
    static bool SteppingDone(int16_t mode, float widthIndex, float amplitudeIndex);
    // The threshold command lacks its width or its amplitude (an index that names no entry).
    static bool HasEmptyPart(const std::string& command);

protected:
    plat::Variant BuildInstructions() override;
    void RunMeasurement() override;
    bool AbortsOnStop() const override { return true; }

    void mfrmWaitTimer_Timer();

    // Ticks left of the current hold; the hold ends when it falls below 0. A negative hold time
    // holds until the hold is ended.
    int64_t miCountdown = 0;
    bool mfIndefinite = false;
    // The one-second ticker of the hold.
    TestTimer mfrmWaitTimer;
};

} // namespace ztest
