#include "testlib/elements/CTestEcg.h"

#include "platform/loop/EventLoop.h"

namespace ztest {

namespace {

// Puts the configured indexes back and stops the hold ticker on every way out of the run,
// errors included.
class RunGuard {
public:
    RunGuard(std::shared_ptr<CConfigEcg> settings, std::function<void()> stopTicker)
        : mSettings(std::move(settings)), mWidthIndex(mSettings->GetWidthIndex()),
          mAmplitudeIndex(mSettings->GetAmplitudeIndex()), mStopTicker(std::move(stopTicker))
    {
    }
    ~RunGuard()
    {
        plat::IgnoreErrors([&] { mStopTicker(); });
        mSettings->SetAmplitudeIndex(mAmplitudeIndex);
        mSettings->SetWidthIndex(mWidthIndex);
    }
    RunGuard(const RunGuard&) = delete;
    RunGuard& operator=(const RunGuard&) = delete;

private:
    std::shared_ptr<CConfigEcg> mSettings;
    float mWidthIndex;
    float mAmplitudeIndex;
    std::function<void()> mStopTicker;
};

bool OutsideTable(float index, std::size_t size)
{
    return !(index >= 0.0f && index < static_cast<float>(size));
}

} // namespace

bool CTestEcg::SteppingDone(int16_t mode, float widthIndex, float amplitudeIndex)
{
    switch (mode) {
    case CConfigEcg::StepWidth: return OutsideTable(widthIndex, CConfigEcg::WidthTable().size());
    case CConfigEcg::StepAmplitude: return OutsideTable(amplitudeIndex, CConfigEcg::AmplitudeTable().size());
    default: return true;
    }
}

bool CTestEcg::HasEmptyPart(const std::string& command)
{
    const std::size_t equals = command.find('=');
    if (equals == std::string::npos) return true;
    const std::string_view argument = std::string_view(command).substr(equals + 1);
    const std::size_t comma = argument.find(',');
    return comma == std::string_view::npos || comma == 0 || comma + 1 == argument.size();
}

plat::Variant CTestEcg::BuildInstructions()
{
    return InstructionLines({"20430::1. Set the width and amplitude of ECG R-Wave",
                             "20431::2. Click Start to begin the performance test",
                             "20432::3. Sending commands to MTI....", "20433::4. Simulating wave on defib monitor",
                             "20434::5. Press 'Stop' to cancel test "});
}

void CTestEcg::RunMeasurement()
{
    mfSimulationStopped = false;
    auto settings = Settings();
    if (!settings) return;
    RunGuard guard(settings, [this] { mfrmWaitTimer.Stop(); });
    const int16_t mode = settings->GetAutoIncrement();
    const int32_t duration = settings->GetDuration();

    while (!mfStopped) {
        const std::string command = settings->GetStepCommand(1);
        // An index that names no entry: nothing is sent or held, and the run ends.
        if (HasEmptyPart(command)) {
            mfStopped = true;
            break;
        }
        // The run's holds ran to their end only when this one does too.
        mfHoldRanOut = false;
        // The analyzer gets the value before the step.
        if (mode == CConfigEcg::StepWidth) settings->SetWidthIndex(settings->GetWidthIndex() + 1.0f);
        if (mode == CConfigEcg::StepAmplitude) settings->SetAmplitudeIndex(settings->GetAmplitudeIndex() + 1.0f);
        HighLight({3, 5});
        bool sent = false;
        if (WaitUsable(50)) {
            SendOutput(command);
            sent = !mfStopped;
        }
        HighLight({4, 5});
        // The wave has started once a threshold command went out on a run that goes on.
        if (sent && !TimedOut()) mfWaveStarted = true;
        mfIndefinite = duration < 0;
        miCountdown = duration;
        mfSimulationStopped = false;
        if (TimedOut()) mfStopped = true;
        if (!mfStopped) {
            mfrmWaitTimer.Start(TestTimer::OneSecond, [this] { mfrmWaitTimer_Timer(); });
            plat::Loop().RunUntil([this] { return mfSimulationStopped || mfStopped; });
            mfrmWaitTimer.Stop();
            // Ended by its ticker, not by Stop, a verdict or navigation.
            mfHoldRanOut = !mfStopped;
        }
        if (SteppingDone(mode, settings->GetWidthIndex(), settings->GetAmplitudeIndex())) mfStopped = true;
    }
    EndSimulation();
}

void CTestEcg::mfrmWaitTimer_Timer()
{
    if (mfIndefinite) return;
    if (--miCountdown < 0) mfSimulationStopped = true;
}

} // namespace ztest

ZARVIK_REGISTER_TEST(ztest::CTestEcg, ztest::CTestEcg::ClassId)
