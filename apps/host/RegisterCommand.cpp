#include "apps/host/CommandTable.h"
#include "apps/host/ServerLibraries.h"

namespace {

int Register(zhost::CommandContext& context)
{
    zhost::ExpectNoArguments(context);
    zhost::RegisterDeliverables(context.out);
    return 0;
}

} // namespace

ZARVIK_HOST_COMMAND("register", "", "registers the host's control libraries and the plug-in's three libraries from the lib folder", Register)
