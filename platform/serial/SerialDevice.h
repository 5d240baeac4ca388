#pragma once

#include "platform/serial/LineSettings.h"

#include <functional>
#include <string>
#include <string_view>

namespace plat {

// One opened device behind a SerialPort: a termios line or an in-process line. A device is
// made open; Close (or destruction) ends it for good. Errors are raised as ComErrors with the
// numbers of SerialErrors.h.
class SerialDevice {
public:
    // Called on a turn of the event loop with bytes that have arrived, in order.
    using DataHandler = std::function<void(std::string_view bytes)>;

    virtual ~SerialDevice() = default;

    // Starts delivering received bytes. Called once, right after opening.
    virtual void Start(DataHandler onData) = 0;
    // Applies new line settings to the open line.
    virtual void Configure(const LineSettings& settings) = 0;
    // Queues bytes for sending; never blocks and never calls back into the caller.
    virtual void Write(std::string_view bytes) = 0;
    // Drops what arrived but was not yet delivered, and what was written but not yet sent.
    virtual void DiscardInput() = 0;
    virtual void DiscardOutput() = 0;
    // A status text other than "Connected" when the device went away while open.
    virtual std::string Condition() const = 0;
    virtual void Close() = 0;
};

} // namespace plat
