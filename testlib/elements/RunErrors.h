#pragma once

#include <cstdint>
#include <string>

namespace ztest {

// The error in hand of a measurement procedure that traps its own errors (pulse repetition,
// battery capacity): called inside a catch block, it reports the error through the host's error
// object with the given source, unless it is the analyzer link's own error, whose message the
// link has shown already. Gives the error's number and description; never raises.
struct RunError {
    int32_t number = 0;
    std::string description;
    bool linkError = false;
};
RunError ReportRunError(const std::string& source);

} // namespace ztest
