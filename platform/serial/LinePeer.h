#pragma once

#include "platform/serial/LineSettings.h"

#include <memory>
#include <optional>
#include <string_view>

namespace plat {

class InProcessLine;

// The far end of an in-process serial line: code on the event loop that plays the device a
// port is connected to (the simulated analyzer, or a script in a test). At most one port is
// attached at a time, as with a real device opened for exclusive use. Everything a peer
// receives arrives on a turn of the event loop of its own, never inside the port's call.
class LinePeer {
public:
    virtual ~LinePeer();

    bool IsAttached() const;

    // Sends bytes to the attached port; they arrive there on a later turn of the event loop.
    // Without a port attached they are lost, as on a line with nobody listening.
    void SendToPort(std::string_view bytes);

    // The settings of the attached port as they are now; nullopt without a port.
    std::optional<LineSettings> PortSettings() const;

protected:
    // A port opened the line.
    virtual void OnAttached() {}
    // Bytes the port wrote, with the line settings the port had when it wrote them.
    virtual void OnReceived(std::string_view bytes, const LineSettings& settings) = 0;
    // The port closed the line.
    virtual void OnDetached() {}

private:
    friend class InProcessLine;
    std::weak_ptr<InProcessLine> mLine;
};

} // namespace plat
