#include "testlib/tests/WaitTicker.h"

#include "platform/base/ComError.h"
#include "testlib/core/FTimer.h"

#include <utility>

namespace ztest {

WaitTicker::~WaitTicker()
{
    Stop();
}

void WaitTicker::Start(std::function<void()> onTick)
{
    // The ticker that ran until now never ticks again.
    Stop();
    plat::IgnoreErrors([&] {
        auto timer = std::make_shared<FTimer>();
        timer->Load();
        mConnection = timer->Timer.Connect(std::move(onTick));
        mTimer = timer;
        mTimer->StartTimer(IntervalMs);
    });
}

void WaitTicker::Stop()
{
    mConnection = plat::ScopedConnection();
    if (auto timer = std::move(mTimer)) {
        plat::IgnoreErrors([&] { timer->StopTimer(); });
        plat::IgnoreErrors([&] { timer->Unload(); });
    }
}

} // namespace ztest
