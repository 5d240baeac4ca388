// The built-in simulated analyzer as the in-process device "sim", for every command of the
// program: a port mapped to "sim" (in the registry, or with --device sim) talks to it. The
// analyzer is made only when a port first opens it.
#include "simulator/SimDevice.h"

namespace {

[[maybe_unused]] const bool gSimInstalled = [] {
    zsim::SimDevice::InstallOnDemand("sim");
    return true;
}();

} // namespace
