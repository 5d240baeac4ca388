#pragma once

#include <memory>

namespace plat {

// Sounds a tone. Tests install a recorder; the default writes the tone to stderr and blocks
// for its duration as the original call did (on a virtual clock the clock moves on instead).
class IBeepService {
public:
    virtual ~IBeepService() = default;
    virtual void Beep(int frequencyHz, int durationMs) = 0;
};

// Installs a service (null restores the default) and returns the one it replaces.
std::shared_ptr<IBeepService> SetBeepService(std::shared_ptr<IBeepService> service);

void Beep(int frequencyHz, int durationMs);

} // namespace plat
