#pragma once

#include "platform/loop/EventLoop.h"
#include "platform/ui/Control.h"

#include <cstdint>

namespace plat {

// The timer control of a form: raises Timer every Interval milliseconds while it is enabled,
// on the process's event loop. It is enabled from the start, so it runs as soon as it has an
// interval; an interval of 0 never ticks. Setting the interval (even to the same value)
// restarts the count from now; a negative interval raises 380 and keeps the old one. The
// longest interval is 2^31-1 ms. A tick never re-enters a running Timer handler, and a
// stopped, disabled or destroyed timer never ticks again.
class TimerControl : public Control {
public:
    TimerControl();
    ~TimerControl() override;

    int32_t Interval() const { return mInterval; }
    void SetInterval(int32_t v);
    void SetEnabled(bool v) override;
    // Whether a tick is scheduled.
    bool IsRunning() const;

    Event<> Timer;

protected:
    void OnDestroy() override;

private:
    void Restart();

    int32_t mInterval = 0;
    ::plat::Timer mTicker;
};

} // namespace plat
