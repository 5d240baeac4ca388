#pragma once

#include "host/interfaces/HostForward.h"
#include "platform/base/Unknown.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ztest {

// What the test library asks of the plug-in entry that loaded it: the standards of the test
// catalogue. The plug-in entry implements it; the test library reaches it through the pointer
// that GGlobals stored.
class IZARVIKPlugIn : public virtual plat::IUnknown {
public:
    static constexpr const char* InterfaceId = "{73FCA616-838A-4003-977E-11121A015C7D}";

    // The limits of the standard with these two names for the test type, from the test
    // catalogue, or none.
    virtual std::shared_ptr<host::HostStandard> LoadStandard(int32_t iTestID, const std::string& sAlphaName,
                                                             const std::string& sCompleteName) = 0;
};

} // namespace ztest
