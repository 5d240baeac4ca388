#include "testlib/elements/CWaveHoldTest.h"

#include "host/elements/HostTestContext.h"
#include "host/elements/HostTestElement.h"
#include "host/interfaces/IMeasurement.h"
#include "host/interfaces/IResultData.h"
#include "instrument/IZarvikVTi.h"
#include "platform/loop/EventLoop.h"
#include "platform/ui/MessageBox.h"
#include "testlib/core/CMeasurement.h"
#include "testlib/core/CLimitData.h"
#include "testlib/guide/FZARVIKTestGuide.h"
#include "testlib/results/CResultRecord.h"
#include "testlib/elements/AnalyzerReply.h"
#include "testlib/elements/GuideSteps.h"

#include <algorithm>
#include <limits>

namespace ztest {

namespace {

// The link's own box for a lost analyzer, as every other exchange of a run shows it.
constexpr const char* kNoMtiText =
    "20521::No MTI was found connected. Check that your ZARVIK is connected and that it has been powered on.";
constexpr const char* kLinkTitle = "Zarvik instrument link";

} // namespace

void CWaveHoldTest::Initialize(const std::string& moduleKey, int32_t testId, int32_t id)
{
    CTestElement::Initialize(moduleKey, testId, id);
    plat::IgnoreErrors([&] {
        auto limits = std::make_shared<CLimitData>();
        limits->SetOwner(shared_from_this(), false);
        mTestElement->SetLimits(limits);
    });
}

int32_t CWaveHoldTest::HoldInterval(int32_t seconds)
{
    if (seconds <= 0) return 0;
    const int64_t milliseconds = static_cast<int64_t>(seconds) * 1000;
    return static_cast<int32_t>(std::min<int64_t>(milliseconds, std::numeric_limits<int32_t>::max()));
}

std::string CWaveHoldTest::ErrorSource() const
{
    const std::string& progId = ProgId();
    const std::string prefix = ProgIdPrefix;
    return progId.starts_with(prefix) ? progId.substr(prefix.size()) : progId;
}

void CWaveHoldTest::PrepareGuide(bool hasPrevious)
{
    // A new window has shown no wave: a verdict clicked in it rates nothing until its own run
    // has started one.
    mfVerdictGiven = false;
    mfWaveStarted = false;
    mStoppedRun = nullptr;
    mfrmTestGuide->SetRunState(1, hasPrevious);
    mfrmTestGuide->InitGuide(shared_from_this(), mTestContext, BuildInstructions());
    mfrmTestGuide->ShowResultStatus(mTestElement->Result());
}

plat::Variant CWaveHoldTest::InstructionLines(std::initializer_list<const char*> texts)
{
    std::vector<std::string> lines(6);
    std::size_t i = 0;
    for (const char* text : texts) {
        const std::size_t line = i++;
        if (text) plat::IgnoreErrors([&] { lines[line] = Translate(text); });
    }
    return StepLines(lines);
}

plat::Variant CWaveHoldTest::SimulatedWaveInstructions()
{
    return InstructionLines({"20260::1. Click Start to begin the ECG test.", "20261::2. Sending command to MTI.",
                             "20262::3. Simulating wave on defib monitor.", "20263::4. Press stop to cancel test."});
}

// ---- The run ----

void CWaveHoldTest::mfrmTestGuide_StartTest()
{
    // Re-entry is told by a flag of its own: mfBusy ends with the hold, before StartTest ends.
    if (mfRunning) return;
    mfRunning = true;
    BeginRun();
    mfWaveStarted = false;
    mfHoldRanOut = false;
    mfOutputActive = false;
    mfCommandsOut = false;
    mfLinkLost = false;
    mfClosing = false;
    mStoppedRun = nullptr;
    // A verdict clicked before Start was not given on this run's wave.
    mfVerdictGiven = false;
    try {
        // The run shows a fresh record without a verdict; the stored one is put back when no
        // wave is shown.
        KeepResultForRun();
        mfrmTestGuide->SetRunState(2, false);
        HighLight({5});
        mfrmTestGuide->ShowStatusText("20530::Test in progress, please wait...");

        Vti().OpenChannel();
        if (Vti().State() == vti::evtiIdle && !mfStopped) RunMeasurement();
        mfrmTimer.Stop();
        EndOutput();
        // Nothing goes out under the closing of the port, which never raises: an Abort then finds
        // the run's output ended.
        mfClosing = true;
        Vti().CloseChannel();
        mfClosing = false;

        // A run is completed when its wave was shown and its hold ran to its end or was ended by
        // a verdict, on a link that stayed there: it stores its record, judged or not. A run
        // stopped or left in its hold stores nothing, as a stopped run of any test: the record
        // from before it is back, and its own waits aside for a verdict on the wave it showed.
        // A run that lost the link has shown a wave the monitor may never have had: no verdict
        // of it is taken.
        const bool completed = mfWaveStarted && !mfLinkLost && (mfHoldRanOut || mfVerdictGiven);
        const auto runRecord = mTestElement->Result();
        SettleKeptResult(completed);
        if (mfWaveStarted && !completed && !mfLinkLost) {
            mStoppedRun = runRecord;
            mPutBackVerdicts = VerdictsOf(mTestElement->Result());
        }
        mfWaveStarted = completed || mStoppedRun;

        if (mfrmTestGuide) {
            // The finished form: a verdict on this run's wave, or the rated record that a run
            // that stored nothing put back.
            mfrmTestGuide->SetRunState(1, completed ? mfVerdictGiven : HoldsRatedResult());
            HighLight({1, 2, 3, 4});
            FinishTest(mfrmTestGuide->GetMtiData());
            mfrmTestGuide->ShowStatusText("");
            mfrmTestGuide->ShowResultStatus(mTestElement->Result());
        }
        mfBusy = false;
        mfRunning = false;
    } catch (...) {
        int32_t number = 0;
        std::string description;
        DescribeCurrent(number, description);
        mfrmTimer.Stop();
        plat::IgnoreErrors([&] { EndOutput(); });
        plat::IgnoreErrors([&] { SettleKeptResult(false); });
        // The record in hand is the one the run put back, which no verdict of this run rates.
        mfWaveStarted = false;
        mStoppedRun = nullptr;
        mfRunning = false;
        EndRunAfterError(number, description);
    }
}

void CWaveHoldTest::mfrmTestGuide_StopTest()
{
    if (!mfBusy) return;
    StopSimulation();
    if (AbortsOnStop()) plat::IgnoreErrors([&] { Vti().Abort(); });
}

void CWaveHoldTest::mfrmTestGuide_AbortTest()
{
    if (!mfStopped) StopSimulation();
    mfDiscardResult = true;
    Navigate(host::HostTestContext::NavigateAbort);
}

void CWaveHoldTest::mfrmTestGuide_ItemClicked(bool /*value*/)
{
    const auto refuse = [this] {
        plat::IgnoreErrors([&] {
            if (mfrmTestGuide) mfrmTestGuide->RefuseVerdict();
        });
    };
    // Only a verdict on the wave of this window's run is taken: one during the run ends it, one
    // after a run that showed its wave rates the record. Any other leaves the record, and what
    // the view shows, as they were.
    if (!mfBusy && !mfWaveStarted) return refuse();
    if (mfRunning && !mfBusy) {
        // The hold is over and the run still ends (its closing "ZERO" may wait for the analyzer):
        // the verdict stays in the run's record, which the end of the run rates, or drops when
        // the link was lost.
        mfVerdictGiven = true;
        return;
    }
    mfVerdictGiven = true;
    if (mfBusy) {
        mfrmTestGuide_StopTest();
        return;
    }
    if (mStoppedRun && !TakeVerdictOnStoppedRun()) return;
    plat::IgnoreErrors([&] { RateResult(false); });
    plat::IgnoreErrors([&] {
        if (mfrmTestGuide) mfrmTestGuide->ShowResultStatus(mResult);
    });
    plat::IgnoreErrors([&] {
        if (mfrmTestGuide) mfrmTestGuide->EnableNext(true);
    });
}

CWaveHoldTest::Verdicts CWaveHoldTest::VerdictsOf(const std::shared_ptr<host::IResultData>& record)
{
    Verdicts verdicts;
    plat::IgnoreErrors([&] {
        if (!record) return;
        for (int32_t i = 1; i <= record->MeasurementCount(); ++i) {
            const auto measurement = record->Measurement(plat::Variant(i));
            if (measurement) verdicts.emplace_back(measurement->value(), measurement->Status());
        }
    });
    return verdicts;
}

bool CWaveHoldTest::TakeVerdictOnStoppedRun()
{
    // The view wrote the click into the record on show, the one put back; the wave judged is the
    // stopped run's.
    const auto shown = mTestElement->Result();
    const Verdicts written = VerdictsOf(shown);
    if (written == mPutBackVerdicts) return false;
    auto runRecord = std::exchange(mStoppedRun, nullptr);
    plat::IgnoreErrors([&] {
        if (mfrmTestGuide) mfrmTestGuide->RefuseVerdict();
    });
    for (std::size_t i = 0; i < written.size(); ++i) {
        plat::IgnoreErrors([&] {
            auto measurement = std::dynamic_pointer_cast<CMeasurement>(
                runRecord->Measurement(plat::Variant(static_cast<int32_t>(i + 1))));
            if (!measurement) return;
            measurement->SetValue(written[i].first);
            measurement->SetStatus(written[i].second);
        });
    }
    mTestElement->SetResult(runRecord);
    mResult = std::dynamic_pointer_cast<CResultRecord>(runRecord);
    // A record of a run of this window: the finishing step rates, stamps and reports it.
    mfResultCompleted = true;
    plat::IgnoreErrors([&] {
        if (mfrmTestGuide) mfrmTestGuide->ShowResult(runRecord);
    });
    return true;
}

// ---- Helpers of the hold procedures ----

bool CWaveHoldTest::Usable()
{
    return !TimedOut() && !mfStopped;
}

bool CWaveHoldTest::WaitUsable(int32_t milliseconds)
{
    if (!Usable()) return false;
    Wait(milliseconds);
    return Usable();
}

std::string CWaveHoldTest::SendOfRun(const std::string& command)
{
    std::string reply = Send(command);
    if (TimedOut()) mfLinkLost = true;
    return reply;
}

std::string CWaveHoldTest::SendOutput(const std::string& command)
{
    const bool before = mfOutputActive;
    const bool earlier = mfCommandsOut;
    mfOutputActive = true;
    mfCommandsOut = true;
    std::string reply = SendOfRun(command);
    if (AnalyzerReply::Begins(reply, "ERR")) {
        // The analyzer took nothing from it. A Stop that came meanwhile still zeroes what an
        // earlier command of the run set going; it has nothing to zero after a refused first one.
        mfOutputActive = before || (mfStopped && earlier);
        mfCommandsOut = earlier;
    }
    return reply;
}

std::string CWaveHoldTest::SendSetup(const std::string& command)
{
    mfCommandsOut = true;
    return SendOfRun(command);
}

void CWaveHoldTest::StopSimulation()
{
    // Whatever went out last (a pacer or lead command, or nothing yet), a stopped simulation
    // leaves the analyzer at zero output.
    mfOutputActive = true;
    EndSimulation();
}

void CWaveHoldTest::EndSimulation()
{
    mfrmTimer.Stop();
    mfBusy = false;
    mfSimulationStopped = true;
    mfStopped = true;
    plat::IgnoreErrors([&] { EndOutput(); });
}

void CWaveHoldTest::EndOutput()
{
    if (!mfOutputActive || mfClosing || !mVti || mVti->mfTimeOut() || mVti->State() != vti::evtiIdle) return;
    mfOutputActive = false;
    const plat::Variant reply = mVti->SendCommand("ZERO", false);
    // The link tells no lost link on "ZERO", which goes out on every way out of a run; left
    // unanswered (no line at all, not even an empty one), it lost the link in the hold, and this
    // is told here with the link's box. The link is then marked lost, so that it is not released.
    if (reply.IsString() && reply.AsString().empty()) {
        mfLinkLost = true;
        mVti->SetmfTimeOut(true);
        plat::IgnoreErrors([] { ShowLostLinkBox(); });
    }
}

void CWaveHoldTest::ShowLostLinkBox()
{
    plat::MsgBox(Translate(kNoMtiText), plat::vbExclamation, kLinkTitle);
}

void CWaveHoldTest::HoldWave(int32_t seconds, bool started)
{
    HighLight({4, 5});
    mfWaveStarted = started;
    if (!mfStopped) {
        mfrmTimer.Start(HoldInterval(seconds), [this] {
            mfHoldRanOut = true;
            StopSimulation();
        });
    }
    plat::Loop().RunUntil([this] { return mfSimulationStopped || mfStopped; });
}

void CWaveHoldTest::RunCheckedWave(const std::string& first, bool firstSimulates, int32_t gap, const std::string& wave,
                                   int32_t seconds)
{
    mfSimulationStopped = false;
    if (mfStopped) return;
    HighLight({3, 5});
    std::string reply;
    if (WaitUsable(50)) reply = firstSimulates ? SendOutput(first) : SendSetup(first);
    if (AnalyzerReply::Begins(reply, "OK")) {
        if (WaitUsable(gap)) reply = SendOutput(wave);
    } else if (AnalyzerReply::IsError(reply)) {
        plat::IgnoreErrors([] { ShowAnalyzerErrorBox(); });
        mfStopped = true;
    }
    if (TimedOut()) mfStopped = true;
    if (mfStopped) return;
    if (AnalyzerReply::Begins(reply, "OK")) {
        HoldWave(seconds);
    } else if (AnalyzerReply::IsError(reply)) {
        plat::IgnoreErrors([] { ShowAnalyzerErrorBox(); });
        mfStopped = true;
    }
}

} // namespace ztest
