#include "testlib/elements/CTestCharge.h"

#include "platform/base/Conversions.h"
#include "platform/loop/EventLoop.h"
#include "platform/ui/MessageBox.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/elements/GuideSteps.h"

#include <array>

namespace ztest {

namespace {

const DischargeCommands kCommands{"MAXEMODE", "DEFIBWAVE", {"MAXEDATA"}};

constexpr std::array<MeasurementListRow, 4> kMeasurements{{
    {"ENGY", "20120::Energy"},
    {"CHTI", "20124::Charge Time"},
    {"PEAC", "20122::Peak Current"},
    {"PEAV", "20121::Peak Voltage"},
}};

constexpr const char* kStandbyText = "20171::Standby to initiate charge in %%1 seconds";
constexpr const char* kChargePrompt = "20172::START CHARGE NOW...  FOLLOWED BY DISCHARGE";

} // namespace

const DischargeCommands& CTestCharge::Commands() const
{
    return kCommands;
}

std::span<const MeasurementListRow> CTestCharge::MeasurementList() const
{
    return kMeasurements;
}

plat::Variant CTestCharge::BuildInstructions()
{
    return InstructionLines("20220::1. Set defibrillator to %%1 J.",
                            {"20221::2. Click Start to begin the test",
                             "20222::3. Wait for the countdown and then press charge button of the defibrillator."});
}

// ---- The count-down ----

void CTestCharge::StartWaitTimer()
{
    plat::IgnoreErrors([&] { mfrmWaitTimer.Start(TestTimer::OneSecond, [this] { mfrmWaitTimer_Timer(); }); });
}

void CTestCharge::StopWaitTimer()
{
    mfrmWaitTimer.Stop();
}

void CTestCharge::ShowCountdown()
{
    mfrmTestGuide->ShowInstruction("TI:WAIT", Translate(kStandbyText, plat::Variant(miCountdown)), false);
}

void CTestCharge::mfrmWaitTimer_Timer()
{
    plat::IgnoreErrors([&] {
        --miCountdown;
        if (miCountdown >= 1) {
            ShowCountdown();
        } else {
            mfCountdownDone = true;
        }
    });
}

void CTestCharge::StartChargeCountdown()
{
    // The ticker goes with the count-down, whichever way it ends.
    TestTimerGuard stopTimer(mfrmWaitTimer);
    mfCountdownDone = false;
    miCountdown = CountdownSeconds;
    ShowCountdown();
    StartWaitTimer();
    plat::Loop().RunUntil([this] { return mfCountdownDone || mfStopped; });
}

// ---- The measurement ----

std::string CTestCharge::ReadChargeData()
{
    std::string reply;
    try {
        reply = Send("MAXESTART");
        plat::IgnoreErrors([&] { Wait(50); });
        for (;;) {
            if (!TimedOut() && !mfStopped) {
                reply = Send("QDATA");
                plat::IgnoreErrors([&] { Wait(500); });
            }
            PumpOnce();
            if (Begins(reply, "NEWDATA") || Begins(reply, "OLDDATA")) {
                reply = Send("MAXEDATA");
                // A reply that is only its line end is no data: the poll goes on.
                if (!IsEmptyReply(reply)) return reply;
            } else if (Begins(reply, "ERR")) {
                HandleErrorReply(reply, false);
            }
            if (TimedOut()) mfStopped = true;
            if (mfStopped) return {};
        }
    } catch (const std::exception&) {
        // The link has shown its error; polling on would only show it again.
        mfStopped = true;
        return {};
    }
}

void CTestCharge::RunMeasurement()
{
    // No count-down outlives the procedure, errors included.
    TestTimerGuard stopTimer(mfrmWaitTimer);
    SetInstrumentMode();
    mfrmTestGuide->HighLightSteps(3);
    if (!TimedOut() && !mfStopped) {
        const std::string waveCommand = std::string(Commands().wave) + "=" + WaveCode();
        if (!TimedOut() && !mfStopped) {
            Wait(50);
            Send(waveCommand);
        }
    }
    std::string data;
    if (!TimedOut() && !mfStopped) {
        try {
            StartChargeCountdown();
            mfrmTestGuide->HighLightSteps();
            mfrmTestGuide->ShowInstruction("TI:SHOCK", kChargePrompt, true);
            Wait(200);
            if (!TimedOut() && !mfStopped) data = ReadChargeData();
            if (Begins(data, "OVERRANGE")) {
                ShowAnalyzerBox("20460::Over Range!Please check the defibrillator's energy settings");
                mfStopped = true;
            } else if (Begins(data, "CT>99S")) {
                // This box is shown as it stands, untranslated.
                plat::MsgBox("Charge time is high and cannot show other parameters", plat::vbCritical,
                             "Telvo Plug-In MTI Response");
                mfStopped = true;
            } else if (Begins(data, "NOSTART")) {
                ShowAnalyzerBox("20461::The Test could not be completed due to a communication Error");
                mfStopped = true;
            } else if (Begins(data, "ERR")) {
                // An error reply is never taken as data.
                HandleErrorReply(data, true);
            }
            if (TimedOut()) mfStopped = true;
        } catch (...) {
            plat::IgnoreErrors([&] { mfrmTestGuide->HideInstruction(); });
            throw;
        }
        mfrmTestGuide->HideInstruction();
    }
    StoreMeasuredData(data);
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestCharge, ztest::CTestCharge::ClassId)
