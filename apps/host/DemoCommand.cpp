#include "apps/host/CatalogueListing.h"
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
    // The plug-in as the host starts it: its catalogue, as far as its test classes are there.
    auto tests = zhost::ListCatalogue(context.out, context.err, std::nullopt);
    if (!tests) return 1;
    context.out << *tests << " tests in the catalogue\n";
    return 0;
}

} // namespace

ZARVIK_HOST_COMMAND("demo", "", "registers the libraries, lists the registered classes and the test catalogue", Demo)
