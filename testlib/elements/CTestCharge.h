#pragma once

#include "testlib/config/CConfigCharge.h"
#include "testlib/results/CResultCharge.h"
#include "testlib/elements/CDischargeTest.h"
#include "testlib/elements/CTestOf.h"
#include "testlib/elements/TestTimer.h"

#include <cstdint>
#include <string>

namespace ztest {

// The charge-time test (200): how long the defibrillator takes to charge to its set energy,
// with the energy, peak current and peak voltage of the discharge that follows. A five-second
// count-down tells the operator when to press the charge button; then the analyzer's
// charge-time measurement is armed ("MAXESTART") and polled until the discharge.
class CTestCharge : public CTestOf<CTestCharge, CConfigCharge, CResultCharge, CDischargeTest> {
public:
    static constexpr int32_t TypeCode = 200;
    static constexpr const char* ClassProgId = "TelvoZarvikTest.CTestCharge";
    static constexpr const char* ClassId = "{7966EA0F-5A76-4F43-BEC9-688CBA28441C}";
    static constexpr int16_t CountdownSeconds = 5;

    CTestCharge() : CTestOf(TypeCode, ClassProgId) {}

protected:
    const DischargeCommands& Commands() const override;
    plat::Variant BuildInstructions() override;
    std::span<const MeasurementListRow> MeasurementList() const override;
    std::vector<int16_t> StepsHighlightedAtEnd() const override { return {1, 2, 3}; }
    void RunMeasurement() override;

private:
    void StartWaitTimer();
    void StopWaitTimer();
    void StartChargeCountdown();
    void mfrmWaitTimer_Timer();
    // Arms the charge-time measurement, then polls until the analyzer has data; the data
    // reply, or "" when the run was stopped.
    std::string ReadChargeData();
    void ShowCountdown();

    int16_t miCountdown = 0;
    bool mfCountdownDone = false;
    TestTimer mfrmWaitTimer;
};

} // namespace ztest
