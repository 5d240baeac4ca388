#pragma once

#include "platform/ui/Event.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace ztest {

class FTimer;

// The timer form of a test's count-down or hold: Start makes a new form, loads it and starts
// it with the tick handler; Stop stops and unloads it and drops it (it may be called any
// number of times). A stopped timer never ticks again.
class TestTimer {
public:
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

} // namespace ztest
