#include "testlib/elements/CTestBatCap.h"

#include "platform/base/Conversions.h"
#include "platform/loop/EventLoop.h"
#include "platform/ui/Beep.h"
#include "platform/ui/MessageBox.h"
#include "testlib/core/LibraryInfo.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/elements/GuideSteps.h"
#include "testlib/elements/RunErrors.h"
#include "testlib/elements/SeriesReadings.h"

#include <array>
#include <optional>
#include <vector>

namespace ztest {

namespace {

const DischargeCommands kCommands{"MAXEMODE", nullptr, {"MAXEDATA"}};

constexpr std::array<MeasurementListRow, 1> kMeasurements{{{"CHTI", "20124::Charge Time"}}};

constexpr const char* kErrorSource = "TelvoZarvikTest.CTestBatCap";
constexpr const char* kStandbyText = "20171::Standby to initiate charge in %%1 seconds";
constexpr const char* kActiveText = "20173::Charge and discharge repeatedly for %%1 seconds";
// The idle phase brings the instruction lines back at this second of its count-down.
constexpr int16_t kIdleLinesSecond = 57;
// The charge-time array has one slot more than charges are kept.
constexpr std::size_t kChargeSlots = 16;

} // namespace

const DischargeCommands& CTestBatCap::Commands() const
{
    return kCommands;
}

std::span<const MeasurementListRow> CTestBatCap::MeasurementList() const
{
    return kMeasurements;
}

plat::Variant CTestBatCap::BuildInstructions(int16_t mode, int16_t count, const std::string& chargeTime)
{
    std::vector<std::string> lines(mode == 1 ? 3 : 7);
    plat::IgnoreErrors([&] {
        const float preset = PresetEnergy();
        ReadRangeThreshold();
        if (mode == 1) {
            lines[0] = Translate("20400::Last chargetime               : %%1s", plat::Variant(plat::Val(chargeTime)));
            lines[1] = Translate("20401::Charge/Discharge count : %%1", plat::Variant(count));
            lines[2] = Translate("20402::Elapsed total time            : %%1s",
                                 plat::Variant(static_cast<int32_t>(PhaseSeconds - 1 - miCountdown)));
        } else {
            lines[0] = Translate("20390::1. Set defibrillator to %%1", plat::Variant(plat::CStr(preset)));
            lines[1] = Translate("20391::2. Click Start to begin the test");
            lines[2] = Translate("20392::3. When the first count down of 5 reaches ZERO, press charge.");
            lines[3] = Translate("20393::4. Press the next charge at the  beep sound and message.");
            lines[4] = Translate("20394::5. Repeat charge and discharge action for 60s and idle for 60s.");
            lines[5] = Translate("20395::6. Wait for 60s in the idle time and then repeat charge,discharge.");
            lines[6] = Translate("20396::7. Test complete after 15 discharges.");
        }
    });
    return StepLines(lines);
}

void CTestBatCap::ShowSteps(int16_t mode, int16_t count, const std::string& chargeTime)
{
    ReplaceStepLines(*mfrmTestGuide, BuildInstructions(mode, count, chargeTime));
}

void CTestBatCap::PumpWindowEvents()
{
    plat::Loop().PumpOnce();
}

// ---- The count-downs ----

void CTestBatCap::StartWaitTimer()
{
    plat::IgnoreErrors([&] { mfrmWaitTimer.Start(TestTimer::OneSecond, [this] { mfrmWaitTimer_Timer(); }); });
}

void CTestBatCap::StopWaitTimer()
{
    mfrmWaitTimer.Stop();
}

void CTestBatCap::ShowTickText(int16_t tickText)
{
    const char* text = tickText == ActiveText ? kActiveText : kStandbyText;
    mfrmTestGuide->ShowInstruction("TI:WAIT", Translate(text, plat::Variant(miCountdown)), false);
}

void CTestBatCap::mfrmWaitTimer_Timer()
{
    plat::IgnoreErrors([&] {
        --miCountdown;
        if (miCountdown > 0) {
            ShowTickText(miTickText);
        } else {
            mfCountdownDone = true;
        }
    });
}

void CTestBatCap::StartChargeCountdown()
{
    // The ticker goes with the count-down, whichever way it ends.
    TestTimerGuard stopTimer(mfrmWaitTimer);
    miTickText = StandbyText;
    mfCountdownDone = false;
    miCountdown = StandbySeconds;
    ShowTickText(StandbyText);
    StartWaitTimer();
    plat::Loop().RunUntil([this] { return mfCountdownDone || mfStopped; });
}

void CTestBatCap::RunIdlePhase(bool fetchLastData)
{
    TestTimerGuard stopTimer(mfrmWaitTimer);
    mfCountdownDone = false;
    miCountdown = PhaseSeconds;
    std::string kept = Translate(kStandbyText, plat::Variant(miCountdown));
    mfrmTestGuide->ShowInstruction("TI:WAIT", kept, false);
    miTickText = IdleText;
    StartWaitTimer();
    while (!mfCountdownDone && !mfStopped) {
        if (miCountdown == kIdleLinesSecond && !kept.empty()) {
            ShowSteps(0);
            mfrmTestGuide->HighLightSteps(6, 7);
            kept.clear();
        }
        PumpWindowEvents();
    }
    // The analyzer's last data is fetched and dropped before the next phase arms it; a stopped
    // run asks nothing more, and a link lost on this fetch ends the run here, told once.
    if (fetchLastData && !mfStopped) {
        Wait(100);
        Send("MAXEDATA");
        if (TimedOut()) mfStopped = true;
    }
}

// ---- The read-out ----

std::string CTestBatCap::ReadMeasurementData()
{
    try {
        Wait(50);
        if (msPrevCommand != "QDATA") {
            // Arms the analyzer's charge-time measurement for the next charge.
            Send("MAXESTART");
            // A link lost on the arming is told once: no poll follows to tell it again.
            if (TimedOut()) {
                mfStopped = true;
                return {};
            }
            Wait(25);
        }
        msPrevCommand = "QDATA";
        bool firstPass = true;
        do {
            const std::string reply = Send("QDATA");
            Wait(1000);
            PumpOnce();
            if (Begins(reply, "NEWDATA")) {
                const std::string data = Send("MAXEDATA");
                msPrevCommand = "MAXEDATA";
                if (!IsEmptyReply(data)) return data;
            } else if (Begins(reply, "ERR")) {
                HandleErrorReply(reply, false);
            }
            if (firstPass) {
                ShowSteps(0);
                mfrmTestGuide->HighLightSteps(4, 5, 7);
                firstPass = false;
            }
            if (TimedOut()) mfStopped = true;
            if (mfStopped) return {};
        } while (!mfCountdownDone);
    } catch (const std::exception&) {
        // The link has shown its error; reading on would only show it again.
        mfStopped = true;
    }
    return {};
}

void CTestBatCap::CheckReply(std::string& reply)
{
    if (Begins(reply, "OVERRANGE")) {
        ShowAnalyzerBox("20460::Over Range!Please check the defibrillator's energy settings");
        mfStopped = true;
    } else if (Begins(reply, "CT>99S")) {
        ShowAnalyzerBox("20473::Charge time is too high and cannot show other parameters");
        mfStopped = true;
    } else if (Begins(reply, "NOSTART")) {
        ShowAnalyzerBox("20461::The Test could not be completed due to a communication Error");
        mfStopped = true;
    } else if (Begins(reply, "ERR")) {
        // An error reply is never taken as data.
        HandleErrorReply(reply, true);
    }
}

// ---- The cycles ----

int16_t CTestBatCap::RunCycles(std::vector<std::string>& chargeTimes)
{
    mfrmTestGuide->HighLightSteps(3, 7);
    StartChargeCountdown();
    mfrmTestGuide->HighLightSteps(4, 5, 7);
    miCountdown = PhaseSeconds;

    int16_t stored = 0;
    int phaseReads = 0;
    int16_t restoreSecond = 0;
    while (stored != ChargeCount && !mfStopped) {
        // The active phase: at most three read-outs, each awaited with a fresh ticker.
        do {
            miTickText = ActiveText;
            mfCountdownDone = false;
            StartWaitTimer();
            std::string reply;
            do {
                // Once fifteen charges are stored nothing is armed or read: a reply to a further
                // charge could only stop the run and lose the fifteen.
                if (stored != ChargeCount && (phaseReads == 0 || phaseReads % ReadsPerPhase != 0)) {
                    reply = ReadMeasurementData();
                    if (TimedOut()) mfStopped = true;
                    ++phaseReads;
                } else {
                    if (miCountdown == restoreSecond) {
                        ShowSteps(0);
                        mfrmTestGuide->HighLightStepList(phaseReads == ReadsPerPhase ? std::vector<int16_t>{7}
                                                                               : std::vector<int16_t>{4, 5, 7});
                        restoreSecond = 0;
                    }
                    // The phase runs out on its own ticks.
                    PumpWindowEvents();
                }
                if (TimedOut()) mfStopped = true;
                CheckReply(reply);
            } while (IsEmptyReply(reply) && !mfStopped && !mfCountdownDone);

            if (!IsEmptyReply(reply) && !mfStopped) {
                const std::optional<std::string> field = ChargeTimeField(reply);
                if (!field) {
                    // No charge time in the reply: an unexpected response, never a charge of 0 s.
                    ShowAnalyzerErrorBox();
                    mfStopped = true;
                } else if (stored != ChargeCount) {
                    const std::string chargeTime = ReadingText(*field);
                    ShowSteps(1, static_cast<int16_t>(stored + 1), chargeTime);
                    chargeTimes[static_cast<std::size_t>(stored)] = chargeTime;
                    ++stored;
                    plat::Beep(BeepHz, BeepMs);
                    mfrmTestGuide->HighLightSteps(1, 2, 3);
                    restoreSecond = static_cast<int16_t>(miCountdown - 1);
                }
                // A charge beyond the fifteenth is dropped.
            }
        } while (miCountdown > 1 && !mfStopped);
        if (mfStopped) return stored;

        // The next read-out arms the analyzer again.
        msPrevCommand.clear();
        StopWaitTimer();
        RunIdlePhase(stored != ChargeCount);
        miCountdown = PhaseSeconds;
        phaseReads = 0;
    }
    return stored;
}

void CTestBatCap::RunMeasurement()
{
    // No count-down outlives the procedure, errors included.
    TestTimerGuard stopTimer(mfrmWaitTimer);
    // A run after a stopped one arms the analyzer again instead of polling a disarmed one.
    msPrevCommand.clear();
    try {
        SetInstrumentMode();
        std::vector<std::string> chargeTimes(kChargeSlots);
        const int16_t stored = mfStopped ? 0 : RunCycles(chargeTimes);
        mfrmTestGuide->HideInstruction();
        StopWaitTimer();
        // Once fifteen charges are stored nothing more is asked of the analyzer: a Stop in the
        // rest of that phase or in the idle minute only ends the wait, and the fifteen are kept.
        if (stored == ChargeCount) mfStopped = false;
        if (!mfStopped) {
            Record()->StoreResult(chargeTimes);
            RateResult(false);
        }
    } catch (...) {
        mfStopped = true;
        const RunError error = ReportRunError(kErrorSource);
        // The link's own error has been shown by the link.
        if (!error.linkError) {
            plat::IgnoreErrors([&] { plat::MsgBox(error.description, plat::vbOKOnly, LibraryInfo::Title); });
        }
        plat::IgnoreErrors([&] { mfrmTestGuide->HideInstruction(); });
        plat::IgnoreErrors([&] { mfrmTestGuide->EnableNext(true); });
    }
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestBatCap, ztest::CTestBatCap::ClassId)
