#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <memory>

namespace ztest {

// The test library's global object as the plug-in entry calls it.
class IGGlobals : public virtual plat::IUnknown {
public:
    static constexpr const char* InterfaceId = "{A2714C32-865B-4AFB-A2DA-71F487FD48AA}";

    // Hands the calling plug-in entry to the test library, which keeps it for standard lookups
    // when it is this system's plug-in.
    virtual void SetPlugInPointer(const std::shared_ptr<host::IPlugIn>& ipi) = 0;
};

} // namespace ztest
