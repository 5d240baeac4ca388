#include "platform/ui/Beep.h"

#include "platform/loop/EventLoop.h"

#include <cstdio>
#include <thread>

namespace plat {

namespace {

class DefaultBeep : public IBeepService {
public:
    void Beep(int frequencyHz, int durationMs) override
    {
        std::fprintf(stderr, "[beep] %d Hz, %d ms\n", frequencyHz, durationMs);
        if (durationMs <= 0) return;
        auto loop = CurrentLoopPtr();
        if (loop && loop->GetClock().IsVirtual()) {
            loop->GetClock().AdvanceTo(loop->Now() + Millis(durationMs));
        } else {
            std::this_thread::sleep_for(Millis(durationMs));
        }
    }
};

std::shared_ptr<IBeepService>& Installed()
{
    static std::shared_ptr<IBeepService> service = std::make_shared<DefaultBeep>();
    return service;
}

} // namespace

std::shared_ptr<IBeepService> SetBeepService(std::shared_ptr<IBeepService> service)
{
    auto previous = Installed();
    Installed() = service ? std::move(service) : std::make_shared<DefaultBeep>();
    return previous;
}

void Beep(int frequencyHz, int durationMs)
{
    auto service = Installed();
    service->Beep(frequencyHz, durationMs);
}

} // namespace plat
