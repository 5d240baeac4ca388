#include "apps/host/CommandTable.h"
#include "apps/host/TestRun.h"

namespace {

int Run(zhost::CommandContext& context)
{
    return zhost::RunTests(zhost::ParseRunArguments(context.args), context);
}

} // namespace

ZARVIK_HOST_COMMAND("run", "--port N [--device PATH|sim] [--operator person|auto] [--out FILE] TESTID...",
                    "\n                    runs the tests as one sequence and prints each test's status"
                    "\n                    and measurements; a person acts in the window by typing on"
                    "\n                    standard input (type help), the automatic operator does with"
                    "\n                    --operator auto and on the built-in simulator (sim); exits 0"
                    "\n                    only when every test passed",
                    Run)
