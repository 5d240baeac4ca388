// Server entry points of the host's test-guide control library. Its classes join the module
// with ZARVIK_REGISTER_CLASS in their own files.
#include "platform/com/ServerEntryPoints.h"

ZARVIK_SERVER_MODULE("telvoTGCL2")
