#include "platform/loop/EventLoop.h"

#include <mutex>

namespace plat {
namespace {

// Installing and reading the process loop is guarded so that a thread that only posts can
// fetch the loop safely; the loop itself is used from its own thread.
std::mutex gLoopMutex;
std::shared_ptr<EventLoop> gLoop;

} // namespace

EventLoop& Loop()
{
    std::lock_guard<std::mutex> lock(gLoopMutex);
    if (!gLoop) gLoop = std::make_shared<EventLoop>(MakeSystemClock());
    return *gLoop;
}

void SetLoop(std::shared_ptr<EventLoop> loop)
{
    std::shared_ptr<EventLoop> old;
    {
        std::lock_guard<std::mutex> lock(gLoopMutex);
        old = std::move(gLoop);
        gLoop = std::move(loop);
    }
    // The old loop (if this was its last owner) dies outside the lock, since its timers' and
    // watches' captured objects may reach for the process loop while they are released.
}

std::shared_ptr<EventLoop> CurrentLoopPtr()
{
    std::lock_guard<std::mutex> lock(gLoopMutex);
    return gLoop;
}

} // namespace plat
