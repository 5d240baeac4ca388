#pragma once

#include "platform/ui/Form.h"
#include "platform/ui/TimerControl.h"

#include <cstdint>
#include <memory>

namespace ztest {

// A hidden form with one periodic timer, for count-downs and hold times: StartTimer with an
// interval in milliseconds, StopTimer, and the event Timer at every tick.
//
// Any interval from 1 ms to 2^31-1 ms is taken; 0 never ticks; a negative interval is refused
// and the old one kept (the timer is started all the same). No operation raises. After Unload
// every operation does nothing and the form never ticks again.
class FTimer : public plat::Form {
public:
    FTimer();

    // Sets the interval and starts the timer; while running, the count restarts from now with
    // the new interval.
    void StartTimer(int32_t interval);
    void StopTimer();

    bool IsRunning() const;
    int32_t Interval() const;

    // One tick.
    plat::Event<> Timer;

private:
    std::shared_ptr<plat::TimerControl> tmrTimer;
};

} // namespace ztest
