#include "apps/host/CatalogueListing.h"
#include "apps/host/CommandTable.h"

#include <optional>
#include <string>

namespace {

int Catalogue(zhost::CommandContext& context)
{
    std::optional<std::string> path;
    const auto& args = context.args;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--file" && !path) {
            if (i + 1 >= args.size()) throw zhost::UsageError("--file needs a path");
            path = args[++i];
        } else if (args[i].rfind("--file=", 0) == 0 && !path) {
            path = args[i].substr(std::string("--file=").size());
        } else {
            throw zhost::UsageError("unexpected argument '" + args[i] + "'");
        }
        if (path->empty()) throw zhost::UsageError("--file needs a path");
    }
    return zhost::ListCatalogue(context.out, context.err, path) ? 0 : 1;
}

} // namespace

ZARVIK_HOST_COMMAND("catalogue", "[--file PATH]",
                    "initialises the plug-in and lists its test catalogue: ID, class and name", Catalogue)
