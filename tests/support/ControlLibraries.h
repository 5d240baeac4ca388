#pragma once

#include "platform/com/ComRuntime.h"
#include "tests/support/TempFolder.h"

#include <string>

namespace ztesting {

// A temporary registry with the host's control library and the test library registered, as
// an installation leaves them, so that records create their editors and editors the host's
// controls by ProgID.
class ControlLibraries {
public:
    ControlLibraries()
    {
        for (const char* name : {"telvoView", "telvoZarvikTest"}) {
            plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/lib" + name + ".so");
        }
    }

private:
    TempRegistry mRegistry;
};

} // namespace ztesting
