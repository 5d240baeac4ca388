#pragma once

#include <cstdint>
#include <string>

namespace vti {

// Helpers of the link protocol engine.
namespace MCommUtils {

// The errors that a status text other than "Connected" stands for.
constexpr int32_t ErrPortUnavailable = 8005;
constexpr int32_t ErrPortNotFound = 8002;
constexpr int32_t ErrPortOther = 8020;

// The error number of a serial port's status text right after opening: 0 for "Connected",
// 8005 for "Port unavailable", 8002 for "Port not found", 8020 for any other text.
int32_t PortStatusError(const std::string& statusText);

// Raises the error of the status text (a plat::ComError with that number, the program's name as
// its source and the status text as its description); "Connected" raises nothing.
void CheckPortStatus(const std::string& statusText);

} // namespace MCommUtils

} // namespace vti
