#pragma once

#include "platform/ui/Event.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace ztest {

class FTimer;

// The timer form of a test's count-down or hold: Start makes a new form, loads it and starts
// it with the tick handler; Stop stops and unloads it and drops it (it may be called any
// number of times). Start stops a timer that still runs first: a stopped or replaced timer
// never ticks again.
class TestTimer {
public:
    // The interval of the one-second count-downs.
    static constexpr int32_t OneSecond = 1000;

    TestTimer() = default;
    ~TestTimer();
    TestTimer(const TestTimer&) = delete;
    TestTimer& operator=(const TestTimer&) = delete;

    void Start(int32_t interval, std::function<void()> tick);
    void Stop();
    bool IsSet() const { return mForm != nullptr; }

private:
    std::shared_ptr<FTimer> mForm;
    plat::ScopedConnection mConnection;
};

// Stops the timer when the scope is left, by any way out: no count-down outlives the
// procedure that started it.
class TestTimerGuard {
public:
    explicit TestTimerGuard(TestTimer& timer) : mTimer(timer) {}
    ~TestTimerGuard() { mTimer.Stop(); }
    TestTimerGuard(const TestTimerGuard&) = delete;
    TestTimerGuard& operator=(const TestTimerGuard&) = delete;

private:
    TestTimer& mTimer;
};

} // namespace ztest
