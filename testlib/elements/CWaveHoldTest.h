#pragma once

#include "testlib/elements/CTestElement.h"
#include "testlib/elements/TestTimer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ztest {

// What the four tests share in which the analyzer simulates a wave on the defibrillator's
// monitor and the operator judges it (ECG R-wave detection, normal sinus, arrhythmia and
// performance wave): the run that commands the wave and holds it until its time is up, Stop,
// a verdict or navigation ends it; "ZERO" whenever the simulation is stopped and whenever the
// analyzer was left simulating; the verdict clicked in the checklist view; and the finishing
// step that rates the verdict of a run whose wave was started.
class CWaveHoldTest : public CTestElement {
public:
    static constexpr const char* ProgIdPrefix = "TelvoZarvikTest.";

    // ITestElement: the limits made here do not let the host open their editor; no list of
    // measurements.
    void Initialize(const std::string& moduleKey, int32_t testId, int32_t id) override;
    plat::Variant GetMeasurementList() override { return {}; }

    // The hold timer's interval for a hold time in seconds: 0 (never ticks, the hold lasts
    // until it is ended) for 0 and for a negative time; at most the longest interval a timer
    // takes.
    static int32_t HoldInterval(int32_t seconds);

protected:
    using CTestElement::CTestElement;

    bool LimitsHaveDialog() const override { return false; }
    std::string ErrorSource() const override;
    std::span<const MeasurementListRow> MeasurementList() const override { return {}; }
    void PrepareGuide(bool hasPrevious) override;

    void mfrmTestGuide_StartTest() override;
    void mfrmTestGuide_StopTest() override;
    void mfrmTestGuide_AbortTest() override;
    void mfrmTestGuide_ItemClicked(bool value) override;

    // Stop also aborts the link's wait (the ECG test); the wave tests let it end.
    virtual bool AbortsOnStop() const { return false; }

    // The link can be talked to: no time-out and no stop.
    bool Usable();
    // Waits, then tells whether the link can still be used: Stop and a lost link are tested
    // again after every wait, before the next command.
    bool WaitUsable(int32_t milliseconds);
    // Sends a command that makes the analyzer simulate (a wave or "THRESH"); its reply. An
    // "ERR" reply means the analyzer took nothing from it.
    std::string SendOutput(const std::string& command);
    // Sends a command that sets the analyzer up for the wave (a pacing or lead command); its
    // reply. A Stop after it leaves the analyzer at zero output, whatever follows.
    std::string SendSetup(const std::string& command);
    // Ends the hold: the hold timer goes, the run is marked ended, and "ZERO" goes out at once
    // on an idle link, or at the end of the run when the link is in an exchange now.
    void StopSimulation();
    // Ends the run's simulation as the run itself ends it: the hold timer goes, the run is
    // marked ended, and "ZERO" goes out only when a simulating command went out since the last.
    void EndSimulation();
    // "ZERO" when a simulating command went out since the last one (or a stop asked for one),
    // the link is idle and not lost.
    void EndOutput();
    // The timed hold of the wave tests: step 4 marked, whether the wave was started (it went out
    // and was taken) noted, and unless the run was stopped the timer running for the hold time
    // (seconds) until the hold ends.
    void HoldWave(int32_t seconds, bool started = true);
    // The procedure of the performance and normal-sinus tests: the first command, then the wave
    // after the gap when the first was accepted, then the hold when the wave was accepted; an
    // "ERR" reply shows the analyzer's error box and ends the run.
    void RunCheckedWave(const std::string& first, bool firstSimulates, int32_t gap, const std::string& wave,
                        int32_t seconds);
    // An instruction line array of six entries from language-ID texts (empty for none).
    static plat::Variant InstructionLines(std::initializer_list<const char*> texts);
    // The lines of the performance and normal-sinus tests.
    static plat::Variant SimulatedWaveInstructions();

    bool mfSimulationStopped = false;
    // A verdict was taken during this run or after it (a click before Start is not taken).
    bool mfVerdictGiven = false;
    // The wave command of this window's run went out and its hold began: only such a run stores
    // its record, rated from a verdict given after the wave was started. Once the run is over:
    // the record in hand, or the one kept aside for a verdict (mStoppedRun), is that of a run of
    // this window whose wave was shown, and a verdict clicked now is taken.
    bool mfWaveStarted = false;
    // The run's hold (every hold of a stepping run) ran to its end by its time.
    bool mfHoldRanOut = false;

private:
    // Sends a command of the run and notes a lost link.
    std::string SendOfRun(const std::string& command);
    // The box in which the link tells a lost analyzer.
    static void ShowLostLinkBox();
    // A verdict clicked after a run stopped in its hold: it goes into that run's record, which
    // takes the place of the record put back. False when the click wrote no verdict.
    bool TakeVerdictOnStoppedRun();
    // The values and statuses of a record's measurements.
    using Verdicts = std::vector<std::pair<plat::Variant, int32_t>>;
    static Verdicts VerdictsOf(const std::shared_ptr<host::IResultData>& record);

    // StartTest is running (mfBusy ends with the hold, while StartTest still finishes).
    bool mfRunning = false;
    // A simulating command went out since the last "ZERO".
    bool mfOutputActive = false;
    // A command of this run went out (and was not refused before anything else went out).
    bool mfCommandsOut = false;
    // A command of this run lost the link, its closing "ZERO" included.
    bool mfLinkLost = false;
    // The run closes the channel.
    bool mfClosing = false;
    // The record of a run of this window that was stopped in its hold (or left there): the record
    // from before it is back, and this one waits aside for a verdict on the wave it showed.
    std::shared_ptr<host::IResultData> mStoppedRun;
    // What the record put back held when it was put back: a click that changes it wrote a verdict.
    Verdicts mPutBackVerdicts;
    // The hold timer; set only while a hold runs.
    TestTimer mfrmTimer;
};

} // namespace ztest
