#pragma once

#include "platform/loop/EventLoop.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>

namespace ztesting {

// Installs a fresh event loop on a virtual clock as the process loop for its lifetime and puts
// back whatever loop was installed before. Everything in a test that waits then runs in virtual
// time: no test sleeps, and time only moves when the loop has nothing left to do now.
class VirtualLoop {
public:
    VirtualLoop();
    ~VirtualLoop();
    VirtualLoop(const VirtualLoop&) = delete;
    VirtualLoop& operator=(const VirtualLoop&) = delete;

    plat::EventLoop& TestLoop() const { return *mLoop; }
    plat::TimePoint Now() const;
    // Virtual time passed since this helper installed its loop.
    plat::Millis Elapsed() const;
    int64_t ElapsedMs() const { return Elapsed().count(); }

    // Runs everything that is due now, including what those handlers post or start for now,
    // without moving the clock. A loop that never becomes idle (a handler that keeps posting
    // itself) fails the test after a million turns instead of hanging. Returns whether the loop
    // became idle.
    bool RunUntilIdle();

    // Moves virtual time forward by the given amount, running every timer that falls due on the
    // way at its own deadline, in order, and then everything due at the end.
    void FastForwardBy(plat::Millis delta);

    // Pumps until the predicate holds. Fails the test (and returns false) once virtual time has
    // passed the limit without it: a watchdog against waits that would otherwise run forever.
    bool RunUntilFor(const std::function<bool()>& predicate, plat::Millis limit);

private:
    std::shared_ptr<plat::EventLoop> mLoop;
    std::shared_ptr<plat::EventLoop> mPrevious;
    plat::TimePoint mStart;
};

// Fixture base: every test of a fixture derived from it runs on its own virtual-time loop. The
// loop is installed before and removed after the derived fixture's own members, so handles the
// fixture keeps are released while their loop is still in place.
class VirtualLoopTest : public ::testing::Test, public VirtualLoop {};

} // namespace ztesting
