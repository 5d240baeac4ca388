#pragma once

#include "platform/loop/EventLoop.h"
#include "platform/serial/SerialPort.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace vti {

// The hidden form of the link protocol engine: the serial port the engine talks through and
// the two timers the engine and the instrument wait on. It is never shown.
//   timZARVIK  the link timer: periodic; every tick calls the handler given at construction
//              (the engine's time-out flag). It keeps ticking until stopped.
//   tmrSleep   the sleep timer: one-shot; IsSleeping is true until its interval has elapsed.
class FTestVTI {
public:
    explicit FTestVTI(std::function<void()> onLinkTick);
    ~FTestVTI();
    FTestVTI(const FTestVTI&) = delete;
    FTestVTI& operator=(const FTestVTI&) = delete;

    void Load();
    bool IsLoaded() const { return mLoaded; }

    // Restarts the link timer with the interval (ms); an interval of 0 or less stops it. Never
    // raises.
    void StartTimer(int32_t interval);
    void StopTimer();
    bool IsTimerRunning() const;

    // Starts the sleep timer (ms); IsSleeping holds until it has run out once.
    void StartSleepTimer(int32_t interval);
    bool IsSleeping() const;

    plat::SerialPort& Comm() { return mComm; }

private:
    std::function<void()> mOnLinkTick;
    plat::SerialPort mComm;
    plat::Timer timZARVIK;
    plat::Timer tmrSleep;
    bool mLoaded = false;
};

} // namespace vti
