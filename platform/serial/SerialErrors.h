#pragma once

#include "platform/base/ComError.h"

#include <cstdint>
#include <string>

namespace plat {

// Error numbers and status texts of the serial port. The numbers are those that the callers of
// the port were written against: 68 and 70 are the language runtime's own, the 8000 range is
// the serial control's.
namespace serr {
constexpr int32_t DeviceUnavailable = 68;
constexpr int32_t PermissionDenied = 70;
constexpr int32_t InvalidPropertyValue = 380;
constexpr int32_t InvalidPortNumber = 8002;
constexpr int32_t PortAlreadyOpen = 8005;
constexpr int32_t HardwareNotAvailable = 8010;
constexpr int32_t CannotSetCommState = 8015;
constexpr int32_t PortNotOpen = 8018;

inline constexpr const char* StatusConnected = "Connected";
inline constexpr const char* StatusClosed = "Port closed";
inline constexpr const char* StatusUnavailable = "Port unavailable";
inline constexpr const char* StatusNotFound = "Port not found";
inline constexpr const char* StatusAccessDenied = "Access denied";
inline constexpr const char* StatusNotSerial = "Not a serial port";
inline constexpr const char* StatusLost = "Port lost";
inline constexpr const char* StatusMapUnreadable = "Port map unreadable";

inline constexpr const char* Source = "plat.SerialPort";
} // namespace serr

// What a failed open of a device means to the port's callers: the error number to raise and
// the status text to show afterwards.
struct OpenFailure {
    int32_t number = serr::HardwareNotAvailable;
    std::string status;
    std::string description;
};

// A failed open: the coded error, and the status text that the port shows afterwards.
class SerialOpenError : public ComError {
public:
    SerialOpenError(int32_t number, std::string status, std::string description)
        : ComError(number, serr::Source, std::move(description)), mStatus(std::move(status)) {}
    explicit SerialOpenError(const OpenFailure& failure, const std::string& device);

    const std::string& Status() const noexcept { return mStatus; }

private:
    std::string mStatus;
};

// An open refused because another program holds the device: nothing was written to it. Two
// programs on one line would take each other's answers, and nothing in a reply tells whose it
// is. The description is the line that tells the person so: "port 1 (/dev/ttyS0) is in use by
// another program" (without the port when the opener knows none). Number and status are those
// of a busy device.
class PortInUseError : public SerialOpenError {
public:
    PortInUseError(int port, std::string device);

    int Port() const noexcept { return mPort; }
    const std::string& Device() const noexcept { return mDevice; }

private:
    int mPort;
    std::string mDevice;
};

// Classifies the errno of a failed open(2), ioctl(2) or tcsetattr(3) of a device.
OpenFailure ClassifyOpenErrno(int error);

} // namespace plat
