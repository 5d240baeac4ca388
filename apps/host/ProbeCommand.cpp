#include "apps/host/CommandTable.h"
#include "apps/host/InstrumentLink.h"

#include "host/interfaces/ITelvoMLCQuery.h"
#include "instrument/VtiClasses.h"
#include "platform/base/ComError.h"

namespace {

// Asks the instrument query, as the host does when it looks for an analyzer, whether one is on
// the port.
int Probe(zhost::CommandContext& context)
{
    const zhost::LinkArguments arguments = zhost::ParseLinkArguments(context.args, false);
    zhost::PrepareLink(arguments);
    plat::PortRefusalWatch refusals;
    auto query = zhost::CreateLinkObjectAs<host::ITelvoMLCQuery>(vti::CLSID_CZarvikQuery);
    if (!query) throw plat::ComError(plat::rt::ObjectLacksMember, "zarvik-host", "the query object lacks its interface");
    const host::MlcQueryRecord record = query->QueryMTI(arguments.port);
    if (record.found != 0 && !record.mtiType.empty()) {
        context.out << "found " << record.mtiType << '\n';
        return 0;
    }
    // Not found because another program took the port after the check: that is told instead.
    zhost::RaiseRefusal(refusals);
    context.out << "not found\n";
    return 1;
}

} // namespace

ZARVIK_HOST_COMMAND("probe", "--port N [--device PATH]",
                    "\n                    asks the instrument query for an analyzer on serial port N;"
                    "\n                    prints \"found ZARVIK\" (exit 0) or \"not found\" (exit 1);"
                    "\n                    exit 2: the port is in use by another program",
                    Probe)
