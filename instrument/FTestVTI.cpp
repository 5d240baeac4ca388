#include "instrument/FTestVTI.h"

#include "platform/loop/EventLoop.h"

namespace vti {

FTestVTI::FTestVTI(std::function<void()> onLinkTick) : plat::Form("FTestVTI")
{
    timZARVIK = Add<plat::TimerControl>("timZARVIK");
    timZARVIK->SetEnabled(false);
    tmrSleep = Add<plat::TimerControl>("tmrSleep");
    tmrSleep->SetEnabled(false);
    // Both controls belong to this form and go with it, so their ticks never outlive it.
    timZARVIK->Timer.Connect([onLinkTick = std::move(onLinkTick)] {
        if (onLinkTick) onLinkTick();
    });
    tmrSleep->Timer.Connect([this] { tmrSleep->SetEnabled(false); });
}

FTestVTI::~FTestVTI() = default;

void FTestVTI::StartTimer(int32_t interval)
{
    plat::IgnoreErrors([&] {
        timZARVIK->SetEnabled(false);
        timZARVIK->SetInterval(interval);
        timZARVIK->SetEnabled(true);
    });
}

void FTestVTI::StopTimer()
{
    plat::IgnoreErrors([&] { timZARVIK->SetEnabled(false); });
}

bool FTestVTI::IsTimerRunning() const
{
    return timZARVIK->IsRunning();
}

void FTestVTI::StartSleepTimer(int32_t interval)
{
    tmrSleep->SetInterval(interval);
    tmrSleep->SetEnabled(true);
}

bool FTestVTI::IsSleeping() const
{
    // A timer with interval 0 never ticks: it counts as run out, so a wait on it ends.
    return tmrSleep->IsRunning();
}

} // namespace vti
