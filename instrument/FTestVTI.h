#pragma once

#include "platform/serial/SerialPort.h"
#include "platform/ui/Form.h"
#include "platform/ui/TimerControl.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace vti {

// The hidden form of the link protocol engine: the serial port the engine talks through and
// the two timers that the engine and the instrument wait on. It is never shown.
//   timZARVIK  the link timer: periodic; every tick calls the handler given at construction
//              (the engine's time-out flag). It keeps ticking until stopped.
//   tmrSleep   the sleep timer: one-shot; IsSleeping holds until its interval has run out.
// Made with std::make_shared, as every form.
class FTestVTI : public plat::Form {
public:
    explicit FTestVTI(std::function<void()> onLinkTick);
    ~FTestVTI() override;

    // Stops the link timer, sets the interval (ms) and starts it again; an interval of 0 never
    // ticks. Never raises.
    void StartTimer(int32_t interval);
    void StopTimer();
    bool IsTimerRunning() const;

    // Starts the sleep timer (ms). A negative interval raises 380; an interval of 0 runs out at
    // once.
    void StartSleepTimer(int32_t interval);
    bool IsSleeping() const;

    // The serial control.
    plat::SerialPort& Comm() { return mComm; }

private:
    std::shared_ptr<plat::TimerControl> timZARVIK;
    std::shared_ptr<plat::TimerControl> tmrSleep;
    plat::SerialPort mComm;
};

} // namespace vti
