#pragma once

#include "platform/ui/Event.h"
#include "platform/ui/Form.h"
#include "platform/ui/TimerControl.h"

#include <cstdint>
#include <memory>

namespace vti {

// The instrument query's hidden timer form: raises Timer at every tick of tmrTimeout until
// stopped. Made with std::make_shared, as every form. After Unload it does nothing.
class FTimer : public plat::Form {
public:
    FTimer();

    // Sets the interval (ms) and starts the timer; an interval of 0 or less never ticks.
    void StartTimeout(int32_t interval);
    void StopTimeout();
    bool IsRunning() const;

    plat::Event<> Timer;

private:
    std::shared_ptr<plat::TimerControl> tmrTimeout;
};

} // namespace vti
