#include "platform/serial/SerialErrors.h"

#include <cerrno>
#include <cstring>

namespace plat {

SerialOpenError::SerialOpenError(const OpenFailure& failure, const std::string& device)
    : SerialOpenError(failure.number, failure.status, failure.description + ": " + device)
{
}

namespace {

std::string InUseText(int port, const std::string& device)
{
    const std::string held = " is in use by another program";
    if (port <= 0) return device + held;
    return "port " + std::to_string(port) + " (" + device + ")" + held;
}

} // namespace

PortInUseError::PortInUseError(int port, std::string device)
    : SerialOpenError(serr::DeviceUnavailable, serr::StatusUnavailable, InUseText(port, device)), mPort(port),
      mDevice(std::move(device))
{
}

OpenFailure ClassifyOpenErrno(int error)
{
    const std::string text = std::strerror(error);
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
    case ENOTDIR:
        return {serr::DeviceUnavailable, serr::StatusNotFound, "Device unavailable (" + text + ")"};
    case EBUSY:
    case EAGAIN:
    case EIO:
        return {serr::DeviceUnavailable, serr::StatusUnavailable, "Device unavailable (" + text + ")"};
    case EACCES:
    case EPERM:
    case EROFS:
        return {serr::PermissionDenied, serr::StatusAccessDenied, "Permission denied (" + text + ")"};
    case ENOTTY:
    case EINVAL:
        return {serr::CannotSetCommState, serr::StatusNotSerial, "Could not set comm state (" + text + ")"};
    default:
        return {serr::HardwareNotAvailable, text, "Hardware is not available (" + text + ")"};
    }
}

} // namespace plat
