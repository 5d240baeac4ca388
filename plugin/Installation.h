#pragma once

#include <cstdint>
#include <string>

namespace zplugin {

// The folder of the files that ship with the plug-in: the test catalogue and the bitmaps.
std::string ResourceFolder();
// The shipped test catalogue, "Zarvik.mpc" in the resource folder.
std::string ShippedCataloguePath();

// The installation step of the plug-in's registration: creates the settings key when it is
// missing and, when it names no catalogue yet, writes "Configuration" with the shipped
// catalogue. Settings already there are kept. Answers S_OK, or E_FAIL with the reason left
// with plat::SetErrorInfo.
int32_t InstallSettings();

} // namespace zplugin
