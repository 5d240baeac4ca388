#include "testlib/elements/CTestDefib.h"

#include "platform/base/Conversions.h"
#include "platform/ui/Beep.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/elements/GuideSteps.h"
#include "testlib/elements/RunErrors.h"
#include "testlib/elements/SeriesReadings.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace ztest {

namespace {

const DischargeCommands kCommands{"ENERGYMODE", nullptr, {"ENERGYDATA"}};

constexpr std::array<MeasurementListRow, 2> kMeasurements{{
    {"ENGY", "20120::Energy"},
    {"PLSC", "20133::Pulse Count"},
}};

} // namespace

const DischargeCommands& CTestDefib::Commands() const
{
    return kCommands;
}

std::span<const MeasurementListRow> CTestDefib::MeasurementList() const
{
    return kMeasurements;
}

plat::Variant CTestDefib::BuildInstructions(int16_t mode, int16_t pulse, const std::string& energy)
{
    std::vector<std::string> lines(mode == 1 ? 5 : 3);
    plat::IgnoreErrors([&] {
        const float preset = PresetEnergy();
        ReadRangeThreshold();
        if (mode == 1) {
            lines[0] = Translate("20420::Last Measured ");
            lines[1] = Translate("20421::Energy                         : %%1 J", plat::Variant(energy));
            lines[2] = Translate("20422::Total discharge count  : %%1", plat::Variant(pulse));
            lines[3] = Translate("20423::Elapsed total time         : %%1s",
                                 plat::Variant(static_cast<int32_t>(BudgetSeconds - miCountdown)));
            lines[4] = Translate("20424::Time remaining             : %%1s", plat::Variant(miCountdown));
        } else {
            lines[0] = Translate("20410::1. Set defibrillator to %%1 J.", plat::Variant(plat::CStr(preset)));
            lines[1] = Translate("20411::2. Click Start to begin the test");
            lines[2] = Translate(
                "20412::3. Perform the charge and discharge action repeatedly, until count down ticks to ZERO.");
        }
    });
    return StepLines(lines);
}

int16_t CTestDefib::TargetCount() const
{
    auto config = Settings();
    int32_t target = config && config->GetBatteryOperated() ? CResultDefib::BatteryPulseCount : CResultDefib::PulseCount;
    if (auto record = Record()) target = std::min(target, static_cast<int32_t>(record->Measurements().size()));
    return static_cast<int16_t>(target);
}

// ---- The budget count-down ----

void CTestDefib::StartWaitTimer()
{
    plat::IgnoreErrors([&] { mfrmWaitTimer.Start(TestTimer::OneSecond, [this] { mfrmWaitTimer_Timer(); }); });
}

void CTestDefib::StopWaitTimer()
{
    mfrmWaitTimer.Stop();
}

void CTestDefib::mfrmWaitTimer_Timer()
{
    plat::IgnoreErrors([&] {
        --miCountdown;
        if (miCountdown > 0) {
            mfrmTestGuide->ShowInstruction(
                "TI:WAIT", Translate("20175::Charge and Shock!      %%1 seconds left", plat::Variant(miCountdown)), false);
        } else {
            mfCountdownDone = true;
        }
    });
}

// ---- The run ----

void CTestDefib::ShowInstructionLines()
{
    ReplaceStepLines(*mfrmTestGuide, BuildInstructions(0, 0, std::string()));
    mfrmTestGuide->HighLightSteps(3);
}

std::string CTestDefib::ReadPulseData()
{
    bool firstPass = true;
    for (;;) {
        const std::string reply = Send("QDATA");
        plat::IgnoreErrors([&] { Wait(500); });
        PumpOnce();
        std::string data;
        // Only new data is a new discharge; "OLDDATA" is the one counted before.
        if (Begins(reply, "NEWDATA")) {
            data = Send("ENERGYDATA");
            // A reply that is only its line end is no data: the poll goes on.
            if (IsEmptyReply(data)) data.clear();
        } else if (Begins(reply, "ERR")) {
            HandleErrorReply(reply, false);
        }
        if (firstPass) {
            // The live lines of the last discharge give way to the instructions again.
            ShowInstructionLines();
            firstPass = false;
        }
        if (TimedOut()) mfStopped = true;
        if (mfStopped) return {};
        if (mfCountdownDone || !data.empty()) return data;
    }
}

void CTestDefib::RunMeasurement()
{
    // No count-down outlives the procedure, errors included.
    TestTimerGuard stopTimer(mfrmWaitTimer);
    try {
        SetInstrumentMode();
        const int16_t target = TargetCount();
        std::vector<std::string> pulses(static_cast<std::size_t>(target) + 1);
        int16_t count = 0;
        // A run that failed its mode step polls no further.
        if (!mfStopped) {
            miCountdown = BudgetSeconds;
            mfCountdownDone = false;
            mfrmTestGuide->HighLightSteps(3);
            StartWaitTimer();

            // The second at which the instruction lines come back when one tick came between
            // two passes; none before the first pass.
            std::optional<int16_t> tickMark;
            for (;;) {
                Wait(300);
                std::string data;
                if (count != target) data = ReadPulseData();
                if (TimedOut()) mfStopped = true;
                if (miCountdown == tickMark.value_or(0)) ShowInstructionLines();
                if (Begins(data, "OVERRANGE")) {
                    ShowAnalyzerBox("20460::Over Range!Please check the defibrillator's energy settings");
                    mfStopped = true;
                } else if (Begins(data, "ERR")) {
                    // An error reply is never taken as data.
                    HandleErrorReply(data, true);
                }
                if (count != target && !mfStopped && !data.empty()) {
                    const std::optional<std::string> field = EnergyField(data);
                    if (!field) {
                        // No discharge record: an unexpected response, never a pulse of 0 J.
                        ShowAnalyzerErrorBox();
                        mfStopped = true;
                    } else {
                        const std::string energy = ReadingText(*field);
                        ReplaceStepLines(*mfrmTestGuide, BuildInstructions(1, static_cast<int16_t>(count + 1), energy));
                        pulses[static_cast<std::size_t>(count)] = energy;
                        ++count;
                        plat::Beep(BeepHz, BeepMs);
                        mfrmTestGuide->HighLightSteps(1, 2, 3, 4, 5);
                        if (count == target) break;
                    }
                }
                tickMark = static_cast<int16_t>(miCountdown - 1);
                if (mfCountdownDone || mfStopped) break;
            }
        }
        ReplaceStepLines(*mfrmTestGuide, BuildInstructions(0, 0, std::string()));
        mfrmTestGuide->HideInstruction();
        StopWaitTimer();
        if (!mfStopped) {
            Record()->StoreResult(pulses, static_cast<int16_t>(target - 1));
            RateResult(false);
        }
    } catch (...) {
        mfStopped = true;
        ReportRunError(ErrorSource());
        plat::IgnoreErrors([&] { mfrmTestGuide->HideInstruction(); });
        plat::IgnoreErrors([&] { mfrmTestGuide->EnableNext(true); });
    }
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestDefib, ztest::CTestDefib::ClassId)
