#pragma once

#include <string>

namespace plat {

// Where serial port numbers lead. A port maps, in this order of precedence, to:
//  1. the override set for this run (SetOverride), used by programs that are told a device on
//     their command line;
//  2. the string value named after the port number under RegistryKey in the registry store;
//  3. the default device /dev/ttyS(N-1).
// A mapped text is a device path when it contains "/", else the name of an in-process device
// when one of that name is installed ("sim"), else a device name under /dev ("ttyUSB0").
class PortMap {
public:
    static constexpr const char* RegistryKey = "HKEY_LOCAL_MACHINE\\Software\\Zarvik\\Ports";

    struct Target {
        enum class Kind { None, Path, InProcess };
        Kind kind = Kind::None;
        std::string name; // the device path or the in-process device name
    };

    // The mapped text of a port ("" when the registry maps the port to nothing).
    static std::string MappedText(int port);
    static Target Resolve(int port);
    // Interprets a mapped text as above.
    static Target Interpret(const std::string& text);

    static void SetOverride(int port, const std::string& text);
    static void ClearOverride(int port);
    static void ClearOverrides();
};

} // namespace plat
