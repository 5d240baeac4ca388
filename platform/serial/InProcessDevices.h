#pragma once

#include <functional>
#include <memory>
#include <string>

namespace plat {

class LinePeer;

// Named in-process devices that a port can be mapped to instead of a device path (the value
// "sim" maps a port to the built-in simulated analyzer). The platform knows nothing of the
// devices themselves: the program that has one installs its factory here. A factory returns
// the peer to attach on each open; returning the same peer every time models one physical
// device whose state outlives the connection.
class InProcessDevices {
public:
    using Factory = std::function<std::shared_ptr<LinePeer>()>;

    static void Register(const std::string& name, Factory factory);
    static void Unregister(const std::string& name);
    static bool IsRegistered(const std::string& name);
    // The peer for a new connection; nullptr when no device of that name is installed.
    static std::shared_ptr<LinePeer> Make(const std::string& name);
};

} // namespace plat
