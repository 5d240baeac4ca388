#include "apps/host/CommandTable.h"
#include "apps/host/ServerLibraries.h"

namespace {

int Classes(zhost::CommandContext& context)
{
    zhost::ExpectNoArguments(context);
    zhost::ListClasses(context.out);
    return 0;
}

} // namespace

ZARVIK_HOST_COMMAND("classes", "", "lists the registered classes: ProgID, CLSID and library", Classes)
