// Server entry points of the plug-in library. Its classes join the module with
// ZARVIK_REGISTER_CLASS in their own files.
//
// Registering the plug-in is also its installation: besides its classes it makes sure that the
// settings key exists and names the shipped test catalogue, so that a fresh installation finds
// its catalogue. Unregistering leaves the settings: they are the operator's, and a new
// installation takes them over.
#include "platform/com/ServerEntryPoints.h"
#include "plugin/Installation.h"

ZARVIK_SERVER_MODULE_INSTALLING("telvoZarvik", zplugin::InstallSettings)
