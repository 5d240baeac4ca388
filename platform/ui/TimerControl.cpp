#include "platform/ui/TimerControl.h"

#include "platform/ui/UiError.h"

namespace plat {

TimerControl::TimerControl() : Control("Timer") { SetTabStop(false); }

TimerControl::~TimerControl() = default;

void TimerControl::SetInterval(int32_t v)
{
    if (v < 0) Refuse(uierr::InvalidPropertyValue);
    mInterval = v;
    Restart();
}

void TimerControl::SetEnabled(bool v)
{
    if (v == Enabled()) return;
    Control::SetEnabled(v);
    Restart();
}

bool TimerControl::IsRunning() const { return mTicker.IsActive(); }

void TimerControl::OnDestroy() { mTicker.Stop(); }

void TimerControl::Restart()
{
    mTicker.Stop();
    if (IsDestroyed() || !Enabled() || mInterval <= 0) return;
    // The handle stops the ticks when this control goes, so the callback never outlives it;
    // Raise keeps the control alive while its handlers run.
    mTicker = Loop().StartPeriodic(Millis(mInterval), [this] { Raise(Timer); });
}

} // namespace plat
