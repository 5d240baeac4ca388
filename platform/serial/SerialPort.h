#pragma once

#include "platform/serial/LineSettings.h"
#include "platform/serial/SerialErrors.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plat {

class EventLoop;
class SerialDevice;

// The serial port object: the members through which the link protocol engine and the
// instrument query drive a serial line, in the manner of the serial control they were written
// for. Errors are ComErrors with the numbers of SerialErrors.h.
//
// Received characters are taken from the device on turns of the event loop and kept here until
// Input takes them; a caller waits for them by pumping the loop (RunUntil on InBufferCount, or
// the receive handler), never by sleeping.
class SerialPort {
public:
    // Kept at most; what arrives beyond it while nobody reads is dropped, as by a UART overrun.
    // It is larger than any reply a reader collects, so that a reader who bounds its replies
    // sees a cut-short delivery as too long, whether the bytes came in one read or many.
    static constexpr size_t MaxReceived = 128 * 1024;

    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Port number, 1 to 32767; another number raises "Invalid port number" (8002). Changing it
    // while the port is open raises "Port already open" (8005); setting the same number is
    // allowed.
    int CommPort() const { return mPort; }
    void SetCommPort(int port);

    // Line settings such as "9600,N,8,1"; a malformed text raises "Invalid property value"
    // (380) and changes nothing. Applied at once when the port is open.
    std::string Settings() const { return mSettings.ToString(); }
    void SetSettings(const std::string& text);

    // Opening resolves the port number through PortMap, opens the device and flushes what it
    // had received. A failure raises: 68 "Device unavailable" (no such device, or busy), 70
    // "Permission denied", another number for other causes; the status text then tells why.
    // A device that another program holds raises PortInUseError (68, "Port unavailable"),
    // naming the port and the device, and every PortRefusalWatch hears of it. Opening an open
    // port and closing a closed one do nothing.
    bool PortOpen() const { return mDevice != nullptr; }
    void SetPortOpen(bool open);

    // "Connected" while open; after a failed open "Port not found", "Port unavailable",
    // "Access denied" or another text; "Port lost" when the device went away while open;
    // "Port closed" otherwise.
    std::string StatusText() const;

    // Writes text to the line. Every member below raises "Port not open" (8018) on a closed
    // port.
    void SetOutput(const std::string& text);

    // Characters received and not yet taken. Setting it to 0 discards them (and what the device
    // still holds); any other value raises 380.
    size_t InBufferCount() const;
    void SetInBufferCount(size_t count);

    // Returns and removes everything received so far.
    std::string Input();

    void DiscardInput();
    void DiscardOutput();

    // Raises PortInUseError when the device that the port leads to is held by another program
    // now, without opening the port: nothing is written and the line is left as it is. A port
    // that leads to no device, or to one that cannot be opened, passes (its open tells).
    static void CheckFree(int port);

    // Called on a turn of the event loop after characters have arrived. The handler may use
    // every member, including closing the port.
    void SetOnReceive(std::function<void()> handler);

private:
    std::shared_ptr<SerialDevice> OpenDevice();
    void RequireOpen() const;
    void Close();
    void OnData(std::string_view bytes);

    int mPort = 1;
    LineSettings mSettings;
    std::shared_ptr<SerialDevice> mDevice;
    std::string mReceived;
    std::string mStatus;
    std::function<void()> mOnReceive;
    // Tells the device's data handler that this port is gone.
    std::shared_ptr<SerialPort*> mAlive;
};

// Hears, while it lives, every open of a port in this process that another program's hold on
// the device refused. Whoever drives the port (the link engine, the instrument query) takes
// such a refusal for a line without an analyzer; the program that started them tells why.
class PortRefusalWatch {
public:
    PortRefusalWatch();
    ~PortRefusalWatch();
    PortRefusalWatch(const PortRefusalWatch&) = delete;
    PortRefusalWatch& operator=(const PortRefusalWatch&) = delete;

    // The refusals heard, in their order.
    const std::vector<PortInUseError>& Refusals() const { return mRefusals; }

private:
    friend class SerialPort;
    static void Tell(const PortInUseError& refusal);

    std::vector<PortInUseError> mRefusals;
};

} // namespace plat
