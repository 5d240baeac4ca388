#pragma once

#include "instrument/ZarvikModule.h"
#include "testlib/core/IGGlobals.h"

namespace ztest {

// The global object through which the plug-in entry hands itself to the test library.
class GGlobals : public IGGlobals {
public:
    static constexpr const char* ClassId = "{D008C46B-511F-4D97-9C52-E4FC7FEE107C}";
    static constexpr const char* ProgId = "TelvoZarvikTest.GGlobals";
    // The plug-in ID under which this system's plug-in entry is known.
    static constexpr const char* PlugInId = zarvik::ModuleKey;

    // Stores the plug-in, as IZARVIKPlugIn, when its ID is "ZARVIK"; any other plug-in leaves
    // the stored pointer as it was. The pointer is kept weakly, so the plug-in entry can still
    // be released by its host.
    void SetPlugInPointer(const std::shared_ptr<host::IPlugIn>& ipi) override;
};

} // namespace ztest
