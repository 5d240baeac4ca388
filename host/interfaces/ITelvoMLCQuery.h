#pragma once

#include "platform/base/Unknown.h"

#include <cstdint>
#include <string>

namespace host {

inline constexpr const char* IID_ITelvoMLCQuery = "{DE445F20-5387-11D4-BF79-0050DA3393D8}";

// The host's record of one detection: which analyzer answered on the port. A module that found
// its analyzer gives its type in mtiType and 1 in found; one that found none gives empty texts
// and 0.
struct MlcQueryRecord {
    std::string mtiType;
    std::string serialNo;
    std::string fwVersion;
    int32_t found = 0;

    bool operator==(const MlcQueryRecord&) const = default;
};

// What the host asks of a module when it looks for an analyzer on a serial port. QueryMTI
// never raises: a port that cannot be opened or does not answer is simply not found.
class ITelvoMLCQuery : public virtual plat::IUnknown {
public:
    virtual std::string MtiType() = 0;
    virtual std::string SerialNo() = 0;
    virtual std::string FWVersion() = 0;
    virtual MlcQueryRecord QueryMTI(int32_t port) = 0;
};

} // namespace host
