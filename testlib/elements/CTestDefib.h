#pragma once

#include "testlib/config/CConfigDefib.h"
#include "testlib/results/CResultDefib.h"
#include "testlib/elements/CDischargeTest.h"
#include "testlib/elements/CTestOf.h"
#include "testlib/elements/TestTimer.h"

#include <cstdint>
#include <string>

namespace ztest {

// The pulse-repetition test (1000): the energies of the discharges the operator delivers
// within 300 seconds, until 10 (battery operated) or 15 (mains) are counted. Every counted
// discharge beeps and shows itself in the guide's step list.
class CTestDefib : public CTestOf<CTestDefib, CConfigDefib, CResultDefib, CDischargeTest> {
public:
    static constexpr int32_t TypeCode = 1000;
    static constexpr const char* ClassProgId = "TelvoZarvikTest.CTestDefib";
    static constexpr const char* ClassId = "{4D0513AC-8D47-40F8-8AF5-364866A91C62}";
    static constexpr int16_t BudgetSeconds = 300;
    static constexpr int BeepHz = 2500;
    static constexpr int BeepMs = 150;

    CTestDefib() : CTestOf(TypeCode, ClassProgId) {}

    // The guide lines: mode 0 the three instruction lines, mode 1 the five live status lines of
    // the pulse just counted (its number and energy text). A String array.
    plat::Variant BuildInstructions(int16_t mode, int16_t pulse, const std::string& energy);

protected:
    // The source under which this test reports every error of its own, its load, save and
    // clone included.
    std::string ErrorSource() const override { return "ZARVIKTests.CTestDefib"; }
    const DischargeCommands& Commands() const override;
    plat::Variant BuildInstructions() override { return BuildInstructions(0, 0, std::string()); }
    std::span<const MeasurementListRow> MeasurementList() const override;
    std::vector<int16_t> StepsHighlightedAtEnd() const override { return {1, 2, 3}; }
    void RunMeasurement() override;

private:
    void StartWaitTimer();
    void StopWaitTimer();
    void mfrmWaitTimer_Timer();
    // Polls until a new discharge's data, the end of the budget or a stop; the data reply or "".
    std::string ReadPulseData();
    void ShowInstructionLines();
    // How many discharges this run counts: the configured number, never more than the record
    // holds.
    int16_t TargetCount() const;

    int16_t miCountdown = 0;
    bool mfCountdownDone = false;
    TestTimer mfrmWaitTimer;
};

} // namespace ztest
