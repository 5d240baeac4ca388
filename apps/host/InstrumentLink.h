#pragma once

#include "apps/host/CommandTable.h"
#include "platform/base/Unknown.h"
#include "platform/serial/SerialPort.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace vti {
class IZarvikVTi;
}

namespace zhost {

// What the instrument link commands are told: "--port N [--device PATH] [--] [WORD...]".
struct LinkArguments {
    int32_t port = 0;
    std::optional<std::string> device;
    std::vector<std::string> words;
};

// Reads the arguments; a missing or malformed port, or words where none are taken, raise a
// UsageError.
LinkArguments ParseLinkArguments(const std::vector<std::string>& args, bool takesWords);

// Maps the given device (a path, or "sim" for the built-in simulated analyzer) to the port for
// this run; a device path that does not exist or is not a character device is a UsageError. A
// port that another program holds raises plat::PortInUseError before anything is written to
// it; the program tells it in one line and ends with status 2.
void PrepareLink(const LinkArguments& arguments);

// Raises the first refusal the watch heard (plat::PortInUseError): an open of the command's
// link met a port that another program held, which the link itself takes for a line without
// an analyzer. Does nothing when there was none.
void RaiseRefusal(const plat::PortRefusalWatch& watch);

// Creates an object of the instrument link library by class identifier. When its class is not
// registered, or its library cannot be loaded, the library is registered from the lib folder
// first (once), so that the commands work on a fresh registry.
plat::ObjectPtr CreateLinkObject(const std::string& clsid);

template <class I>
std::shared_ptr<I> CreateLinkObjectAs(const std::string& clsid)
{
    return std::dynamic_pointer_cast<I>(CreateLinkObject(clsid));
}

// Creates the virtual test instrument, as a test does, and opens its channel on the port, which
// this run's host keeps for the analyzer; empty when no analyzer answered there.
std::shared_ptr<vti::IZarvikVTi> OpenInstrument(int32_t port);

// The text as a double-quoted C string: "OK\r\n".
std::string CQuote(const std::string& text);

// Shows the message boxes of the run as lines on the stream ("zarvik-host: " and the prompt)
// while it lives.
class MessagesTo {
public:
    explicit MessagesTo(std::ostream& stream);
    ~MessagesTo();
    MessagesTo(const MessagesTo&) = delete;
    MessagesTo& operator=(const MessagesTo&) = delete;

private:
    std::shared_ptr<void> mPrevious;
};

} // namespace zhost
