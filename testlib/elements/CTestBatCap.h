#pragma once

#include "testlib/config/CConfigBatCap.h"
#include "testlib/results/CResultBatCap.h"
#include "testlib/elements/CDischargeTest.h"
#include "testlib/elements/CTestOf.h"
#include "testlib/elements/TestTimer.h"

#include <cstdint>
#include <string>

namespace ztest {

// The battery-capacity test (900): fifteen charges in timed cycles, active phases of 60 seconds
// in which up to three charges are taken, each followed by an idle phase of 60 seconds. Every
// charge's time is read from the analyzer, beeps and shows itself in the guide's step list; the
// fifteen charge times go to the result record.
class CTestBatCap : public CTestOf<CTestBatCap, CConfigBatCap, CResultBatCap, CDischargeTest> {
public:
    static constexpr int32_t TypeCode = 900;
    static constexpr const char* ClassProgId = "TelvoZarvikTest.CTestBatCap";
    static constexpr const char* ClassId = "{BEEB819B-D5DF-40F9-92FC-A0DC3094414C}";
    static constexpr int16_t StandbySeconds = 5;
    static constexpr int16_t PhaseSeconds = 60;
    static constexpr int16_t ChargeCount = 15;
    static constexpr int ReadsPerPhase = 3;
    static constexpr int BeepHz = 2000;
    static constexpr int BeepMs = 100;

    CTestBatCap() : CTestOf(TypeCode, ClassProgId) {}

    // The guide lines: mode 0 the seven instruction lines, mode 1 the three live status lines of
    // the charge just stored (its count and charge time). A String array.
    plat::Variant BuildInstructions(int16_t mode, int16_t count, const std::string& chargeTime);

protected:
    const DischargeCommands& Commands() const override;
    plat::Variant BuildInstructions() override { return BuildInstructions(0, 0, std::string()); }
    std::span<const MeasurementListRow> MeasurementList() const override;
    std::vector<int16_t> StepsHighlightedAtStart() const override { return {7}; }
    std::vector<int16_t> StepsHighlightedAtEnd() const override { return {}; }
    void RunMeasurement() override;

private:
    enum TickText : int16_t { StandbyText = 0, IdleText = 1, ActiveText = 2 };

    void StartWaitTimer();
    void StopWaitTimer();
    void mfrmWaitTimer_Timer();
    void ShowTickText(int16_t tickText);
    void StartChargeCountdown();
    // The idle minute; then, when fetchLastData, the analyzer's last data is fetched and dropped
    // (not after the fifteenth charge, when nothing is read any more).
    void RunIdlePhase(bool fetchLastData);
    // One charge read-out: arms the analyzer when the last read-out did not leave it polling,
    // then polls until the charge's data, the end of the phase or a stop; the data reply or "".
    std::string ReadMeasurementData();
    void ShowSteps(int16_t mode, int16_t count = 0, const std::string& chargeTime = std::string());
    // The cycles of active and idle phases; the charge times, slot n holding charge n + 1.
    // Returns how many charges were stored.
    int16_t RunCycles(std::vector<std::string>& chargeTimes);
    // The checks of a data reply: an error token shows its box and stops the run.
    void CheckReply(std::string& reply);
    void PumpWindowEvents();

    int16_t miCountdown = 0;
    bool mfCountdownDone = false;
    int16_t miTickText = StandbyText;
    std::string msPrevCommand;
    TestTimer mfrmWaitTimer;
};

} // namespace ztest
