#include "apps/host/CommandTable.h"
#include "apps/host/InstrumentLink.h"

#include "host/interfaces/ITelvoMLCQuery.h"
#include "instrument/IZarvikVTi.h"
#include "instrument/VtiClasses.h"
#include "platform/base/ComError.h"
#include "platform/loop/EventLoop.h"
#include "simulator/Analyzer.h"
#include "simulator/SimDevice.h"

#include <memory>
#include <string>

namespace {

constexpr int32_t kPort = 1;
constexpr int kNoAnalyzer = 2;
constexpr int kLinkLost = 3;
// Polls of "QDATA" before the session gives up waiting for the discharge.
constexpr int kMaxPolls = 20;

// An energy measurement as the energy test runs it, against the built-in simulated analyzer on
// port 1: the analyzer is found, the channel opened, the mode, range and wave set, the operator
// discharges, the data are polled for and read, and the channel closed. With --virtual-clock
// the run takes no real time: the analyzer is built in and runs on the same event loop, so a
// virtual clock keeps every wait and the order of events, only not their duration.
int Session(zhost::CommandContext& context)
{
    for (const std::string& arg : context.args) {
        if (arg != "--virtual-clock") throw zhost::UsageError("unexpected argument '" + arg + "'");
    }
    if (!context.args.empty()) plat::SetLoop(std::make_shared<plat::EventLoop>(plat::MakeVirtualClock()));

    // This run's own simulated analyzer, so that the session can discharge into it.
    auto analyzer = std::make_shared<zsim::Analyzer>();
    zsim::SimDevice::Install(analyzer, "sim");
    zhost::LinkArguments arguments;
    arguments.port = kPort;
    arguments.device = "sim";
    zhost::PrepareLink(arguments);
    zhost::MessagesTo messages(context.err);

    context.out << "session: energy measurement on port " << kPort << " (built-in simulated analyzer)\n";
    auto query = zhost::CreateLinkObjectAs<host::ITelvoMLCQuery>(vti::CLSID_CZarvikQuery);
    if (!query) throw plat::ComError(plat::rt::ObjectLacksMember, "zarvik-host", "the query object lacks its interface");
    const host::MlcQueryRecord record = query->QueryMTI(kPort);
    if (record.found == 0 || record.mtiType.empty()) {
        context.out << "probe: not found\n";
        return kNoAnalyzer;
    }
    context.out << "probe: found " << record.mtiType << '\n';

    auto instrument = zhost::OpenInstrument(kPort);
    if (!instrument) {
        context.err << "zarvik-host: session: no analyzer answered on port " << kPort << '\n';
        return kNoAnalyzer;
    }

    // Sends one command and prints it with its reply; false when the link was lost.
    std::string reply;
    auto exchange = [&](const std::string& command) {
        const plat::Variant answer = instrument->SendCommand(command);
        if (instrument->mfTimeOut()) return false;
        reply = answer.IsString() ? answer.AsString() : std::string();
        context.out << command << '\t' << zhost::CQuote(reply) << '\n';
        return true;
    };

    bool linked = exchange("ENERGYMODE") && exchange("DEFRANGE=HIGH") && exchange("DEFIBWAVE=VFB2");
    bool discharged = false;
    for (int poll = 0; linked && poll < kMaxPolls; ++poll) {
        linked = exchange("QDATA");
        if (!linked || reply.rfind("NEWDATA", 0) == 0 || reply.rfind("OLDDATA", 0) == 0) break;
        if (!discharged) {
            context.out << "operator: discharges 100 J into the analyzer\n";
            analyzer->Discharge(zsim::Pulse::Into50Ohm(100.0));
            discharged = true;
        }
        instrument->Wait(500);
    }
    if (linked) linked = exchange("ENERGYDATA");
    if (!linked) {
        instrument->CloseChannel();
        return kLinkLost;
    }
    instrument->CloseChannel();
    context.out << "session: channel closed\n";
    return 0;
}

} // namespace

ZARVIK_HOST_COMMAND("session", "[--virtual-clock]",
                    "\n                    runs an energy measurement against the built-in simulated"
                    "\n                    analyzer on port 1 and prints every command with its reply"
                    "\n                    (--virtual-clock: without waiting in real time)",
                    Session)
