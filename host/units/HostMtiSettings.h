#pragma once

#include "platform/base/Unknown.h"

#include <cstdint>
#include <string>

namespace host {

// The host's settings of the analyzers its modules use, as HostMtiConfiguration hands them out.
// A module's serial port is kept in the registry store under
//   RegistryKey\<module key>   value "CommPort" (DWORD; a string of digits is read as well)
// and a run of the host may set it for that run only (SetPortOverride), as a host told a port
// on its command line does.
class HostMtiSettings : public plat::IUnknown {
public:
    static constexpr const char* RegistryKey = "HKEY_LOCAL_MACHINE\\Software\\Vantrel\\telvo\\Instruments";
    static constexpr const char* PortValue = "CommPort";

    // The serial port configured for the module's analyzer; 0 when none is (no value, a value
    // that is no number, a module key that is not a plain word). The name picks one of several
    // analyzers of a module; the empty name is the module's own. Raises when the registry
    // store cannot be read.
    void GetCommPort(const std::string& moduleKey, const std::string& name, int32_t& port) const;

    // The port of a module for this run only, before the registry; ports compare module keys
    // without regard to case.
    static void SetPortOverride(const std::string& moduleKey, int32_t port);
    static void ClearPortOverrides();
};

} // namespace host
