#include "instrument/FTimer.h"

#include <algorithm>

namespace vti {

FTimer::FTimer() : plat::Form("FTimer")
{
    tmrTimeout = Add<plat::TimerControl>("tmrTimeout");
    tmrTimeout->SetEnabled(false);
    // The control belongs to this form and is destroyed with it, so its ticks never outlive us.
    tmrTimeout->Timer.Connect([this] { Raise(Timer); });
}

void FTimer::StartTimeout(int32_t interval)
{
    if (IsUnloaded()) return;
    tmrTimeout->SetInterval(std::max<int32_t>(interval, 0));
    tmrTimeout->SetEnabled(true);
}

void FTimer::StopTimeout()
{
    if (IsUnloaded()) return;
    tmrTimeout->SetEnabled(false);
}

bool FTimer::IsRunning() const
{
    return !IsUnloaded() && tmrTimeout->IsRunning();
}

} // namespace vti
