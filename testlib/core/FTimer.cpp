#include "testlib/core/FTimer.h"

#include <exception>

namespace ztest {

FTimer::FTimer() : plat::Form("FTimer")
{
    tmrTimer = Add<plat::TimerControl>("tmrTimer");
    tmrTimer->SetEnabled(false);
    // The control belongs to this form and is destroyed with it, so its ticks never outlive us.
    tmrTimer->Timer.Connect([this] { Raise(Timer); });
}

void FTimer::StartTimer(int32_t interval)
{
    if (IsUnloaded()) return;
    try {
        tmrTimer->SetInterval(interval);
    } catch (const std::exception&) {
        // A refused interval keeps the old one; the timer starts all the same.
    }
    tmrTimer->SetEnabled(true);
}

void FTimer::StopTimer()
{
    if (IsUnloaded()) return;
    tmrTimer->SetEnabled(false);
}

bool FTimer::IsRunning() const { return !IsUnloaded() && tmrTimer->IsRunning(); }

int32_t FTimer::Interval() const { return IsUnloaded() ? 0 : tmrTimer->Interval(); }

} // namespace ztest
