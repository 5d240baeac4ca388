#include "tests/support/VirtualLoop.h"

namespace ztesting {

VirtualLoop::VirtualLoop()
    : mLoop(std::make_shared<plat::EventLoop>(plat::MakeVirtualClock())),
      mPrevious(plat::CurrentLoopPtr()), mStart(mLoop->Now())
{
    plat::SetLoop(mLoop);
}

VirtualLoop::~VirtualLoop()
{
    plat::SetLoop(mPrevious);
}

plat::TimePoint VirtualLoop::Now() const
{
    return mLoop->Now();
}

plat::Millis VirtualLoop::Elapsed() const
{
    return std::chrono::duration_cast<plat::Millis>(mLoop->Now() - mStart);
}

bool VirtualLoop::RunUntilIdle()
{
    constexpr int kMaxTurns = 1000000;
    for (int turn = 0; turn < kMaxTurns; ++turn) {
        if (!mLoop->RunPending()) return true;
    }
    ADD_FAILURE() << "The event loop did not become idle within " << kMaxTurns
                  << " turns: a handler keeps posting or restarting itself for now";
    return false;
}

void VirtualLoop::FastForwardBy(plat::Millis delta)
{
    if (delta.count() < 0) {
        ADD_FAILURE() << "FastForwardBy cannot move virtual time backward (" << delta.count()
                      << " ms)";
        return;
    }
    // A one-shot timer marks the end: the loop jumps from deadline to deadline up to it, and
    // the timers due at the end that were started before it have run by then.
    bool reached = false;
    plat::Timer end = mLoop->StartOneShot(delta, [&reached] { reached = true; });
    mLoop->RunUntil([&reached] { return reached; });
    RunUntilIdle();
}

bool VirtualLoop::RunUntilFor(const std::function<bool()>& predicate, plat::Millis limit)
{
    bool expired = false;
    const plat::TimePoint started = mLoop->Now();
    plat::Timer watchdog = mLoop->StartOneShot(limit, [&expired] { expired = true; });
    mLoop->RunUntil([&] { return expired || predicate(); });
    if (predicate()) return true;
    ADD_FAILURE() << "Condition still false after "
                  << std::chrono::duration_cast<plat::Millis>(mLoop->Now() - started).count()
                  << " ms of virtual time (limit " << limit.count() << " ms)";
    return false;
}

} // namespace ztesting
