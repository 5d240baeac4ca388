#include "platform/loop/EventLoop.h"

namespace plat {
namespace {

class SystemClock : public Clock {
public:
    TimePoint Now() const override { return std::chrono::steady_clock::now(); }
    bool IsVirtual() const override { return false; }
    void AdvanceTo(TimePoint) override { RaiseRuntime(rt::InvalidCall, "SystemClock"); }
};

} // namespace

std::shared_ptr<Clock> MakeSystemClock()
{
    return std::make_shared<SystemClock>();
}

} // namespace plat
