#include "apps/host/CommandTable.h"
#include "apps/host/InstrumentLink.h"

#include "instrument/IZarvikVTi.h"
#include "platform/base/ComError.h"

namespace {

// Exit statuses besides 0 (every reply printed) and 1 (another failure).
constexpr int kNoAnalyzer = 2;
constexpr int kLinkLost = 3;

// Opens a channel through the virtual test instrument on the port, as a test does, sends each
// command and prints its reply, and closes the channel.
int Send(zhost::CommandContext& context)
{
    const zhost::LinkArguments arguments = zhost::ParseLinkArguments(context.args, true);
    zhost::PrepareLink(arguments);
    zhost::MessagesTo messages(context.err);
    plat::PortRefusalWatch refusals;

    auto instrument = zhost::OpenInstrument(arguments.port);
    if (!instrument) {
        // Another program took the port after the check: that is told instead.
        zhost::RaiseRefusal(refusals);
        context.err << "zarvik-host: send: no analyzer answered on port " << arguments.port << '\n';
        return kNoAnalyzer;
    }

    for (const std::string& command : arguments.words) {
        const plat::Variant reply = instrument->SendCommand(command);
        if (instrument->mfTimeOut()) {
            // The instrument has told the operator (on stderr); the port is closed already.
            instrument->CloseChannel();
            return kLinkLost;
        }
        context.out << command << '\t' << zhost::CQuote(reply.IsString() ? reply.AsString() : std::string()) << '\n';
    }
    instrument->CloseChannel();
    return 0;
}

} // namespace

ZARVIK_HOST_COMMAND("send", "--port N [--device PATH] COMMAND...",
                    "\n                    opens a channel to the analyzer on serial port N, sends each"
                    "\n                    command and prints it, a tab and its reply as a C string"
                    "\n                    (\"OK\\r\\n\"); exit 2: no analyzer answered, or the port"
                    "\n                    is in use by another program; exit 3: link lost."
                    "\n                    With probe and send, --device maps PATH (or \"sim\", the built-in"
                    "\n                    simulated analyzer) to port N for this run, and the instrument"
                    "\n                    link library is registered from the lib folder when its classes"
                    "\n                    are not registered yet.",
                    Send)
