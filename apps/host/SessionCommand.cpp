#include "apps/host/CommandTable.h"
#include "apps/host/TestRun.h"

#include <string>

namespace {

constexpr int32_t kPort = 1;

// Every test of the catalogue whose class exists, as one sequence against the built-in
// simulated analyzer, with the automatic operator.
int Session(zhost::CommandContext& context)
{
    zhost::RunArguments arguments;
    arguments.port = kPort;
    arguments.device = "sim";
    arguments.operatorKind = zhost::OperatorKind::Auto;
    for (std::size_t i = 0; i < context.args.size(); ++i) {
        const std::string& arg = context.args[i];
        // The session always runs on a virtual clock; the option of earlier versions is kept.
        if (arg == "--virtual-clock") continue;
        if (arg != "--out") throw zhost::UsageError("unexpected argument '" + arg + "'");
        if (i + 1 >= context.args.size() || context.args[i + 1].empty()) throw zhost::UsageError("--out needs a file");
        arguments.out = context.args[++i];
    }
    auto plugIn = zhost::StartPlugIn();
    arguments.testIds = zhost::CatalogueTestIds(*plugIn);
    if (arguments.testIds.empty()) throw zhost::UsageError("the catalogue holds no test whose class exists");
    return zhost::RunTests(arguments, context, plugIn);
}

} // namespace

ZARVIK_HOST_COMMAND("session", "[--out FILE]",
                    "\n                    runs every catalogue test against the built-in simulated"
                    "\n                    analyzer on port 1 with the automatic operator",
                    Session)
