#include "apps/host/CommandTable.h"
#include "apps/host/ServerLibraries.h"

#include "platform/base/RegistryStore.h"

namespace {

int Demo(zhost::CommandContext& context)
{
    zhost::ExpectNoArguments(context);
    zhost::RegisterDeliverables(context.out);
    size_t count = zhost::ListClasses(context.out);
    context.out << count << " classes registered in " << plat::Registry().Path() << '\n';
    return 0;
}

} // namespace

ZARVIK_HOST_COMMAND("demo", "", "registers the libraries and lists the registered classes", Demo)
