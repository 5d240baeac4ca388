#pragma once

#include "platform/ui/Event.h"

#include <functional>
#include <memory>

namespace ztest {

class FTimer;

// The one-second ticker of a test's count-downs (the hidden timer form of the charge-time,
// pulse-repetition and battery-capacity tests): Start makes a new timer form, loads it and
// starts it with 1000 ms; Stop stops it, unloads it and lets it go. Each test keeps its own
// counter and tick handler.
//
// Start stops and unloads a ticker that still runs before it makes the next, so a replaced
// ticker never ticks again. Neither operation raises.
class WaitTicker {
public:
    static constexpr int IntervalMs = 1000;

    WaitTicker() = default;
    ~WaitTicker();
    WaitTicker(const WaitTicker&) = delete;
    WaitTicker& operator=(const WaitTicker&) = delete;

    void Start(std::function<void()> onTick);
    void Stop();
    bool Running() const { return mTimer != nullptr; }

private:
    std::shared_ptr<FTimer> mTimer;
    plat::ScopedConnection mConnection;
};

// Stops the ticker when the scope is left, by any way out: no count-down outlives the
// procedure that started it.
class WaitTickerGuard {
public:
    explicit WaitTickerGuard(WaitTicker& ticker) : mTicker(ticker) {}
    ~WaitTickerGuard() { mTicker.Stop(); }
    WaitTickerGuard(const WaitTickerGuard&) = delete;
    WaitTickerGuard& operator=(const WaitTickerGuard&) = delete;

private:
    WaitTicker& mTicker;
};

} // namespace ztest
