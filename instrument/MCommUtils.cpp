#include "instrument/MCommUtils.h"

#include "platform/base/ComError.h"
#include "platform/serial/SerialErrors.h"

#include <cerrno>

namespace vti::MCommUtils {

int32_t PortStatusError(const std::string& statusText)
{
    if (statusText == plat::serr::StatusConnected) return 0;
    if (statusText == plat::serr::StatusUnavailable) return ErrPortUnavailable;
    if (statusText == plat::serr::StatusNotFound) return ErrPortNotFound;
    return ErrPortOther;
}

void CheckPortStatus(const std::string& statusText)
{
    const int32_t number = PortStatusError(statusText);
    if (number == 0) return;
    throw plat::ComError(number, program_invocation_short_name, statusText);
}

} // namespace vti::MCommUtils
