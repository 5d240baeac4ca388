#include "platform/loop/EventLoop.h"

namespace plat {
namespace {

class VirtualClock : public Clock {
public:
    TimePoint Now() const override { return mNow; }
    bool IsVirtual() const override { return true; }

    void AdvanceTo(TimePoint t) override
    {
        // Time never runs backward: a waiter that computed an earlier target just finds it due.
        if (t > mNow) mNow = t;
    }

private:
    TimePoint mNow = TimePoint{} + std::chrono::hours(24);
};

} // namespace

std::shared_ptr<Clock> MakeVirtualClock()
{
    return std::make_shared<VirtualClock>();
}

} // namespace plat
