#include "apps/host/CommandTable.h"
#include "apps/host/ServerLibraries.h"

namespace {

int Unregister(zhost::CommandContext& context)
{
    zhost::ExpectNoArguments(context);
    zhost::UnregisterDeliverables(context.out);
    return 0;
}

} // namespace

ZARVIK_HOST_COMMAND("unregister", "", "removes the libraries' classes from the registry", Unregister)
