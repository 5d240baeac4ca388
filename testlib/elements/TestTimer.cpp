#include "testlib/elements/TestTimer.h"

#include "platform/base/ComError.h"
#include "platform/loop/EventLoop.h"
#include "testlib/core/FTimer.h"

namespace ztest {

TestTimer::~TestTimer()
{
    Stop();
}

void TestTimer::Start(int32_t interval, std::function<void()> tick)
{
    Stop();
    mForm = std::make_shared<FTimer>();
    mForm->Load();
    mConnection = mForm->Timer.Connect(std::move(tick));
    mForm->StartTimer(interval);
}

void TestTimer::Stop()
{
    mConnection = {};
    if (auto form = std::move(mForm)) {
        plat::IgnoreErrors([&] { form->StopTimer(); });
        plat::IgnoreErrors([&] { form->Unload(); });
        // Stop may run inside the form's own tick: the form is released once that has returned.
        plat::IgnoreErrors([&] { plat::Loop().Post([form] {}); });
    }
}

} // namespace ztest
