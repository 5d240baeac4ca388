#include "instrument/FTestVTI.h"

namespace vti {

FTestVTI::FTestVTI(std::function<void()> onLinkTick) : mOnLinkTick(std::move(onLinkTick)) {}

FTestVTI::~FTestVTI() = default;

void FTestVTI::Load()
{
    mLoaded = true;
}

void FTestVTI::StartTimer(int32_t interval)
{
    timZARVIK.Stop();
    if (interval <= 0) return;
    timZARVIK = plat::Loop().StartPeriodic(plat::Millis(interval), [this] {
        if (mOnLinkTick) mOnLinkTick();
    });
}

void FTestVTI::StopTimer()
{
    timZARVIK.Stop();
}

bool FTestVTI::IsTimerRunning() const
{
    return timZARVIK.IsActive();
}

void FTestVTI::StartSleepTimer(int32_t interval)
{
    // An interval of 0 or less runs out on the next turn, so a wait on it always ends.
    tmrSleep = plat::Loop().StartOneShot(plat::Millis(interval), [] {});
}

bool FTestVTI::IsSleeping() const
{
    return tmrSleep.IsActive();
}

} // namespace vti
