#include "apps/host/CommandTable.h"
#include "apps/host/TestRun.h"

namespace {

int Run(zhost::CommandContext& context)
{
    return zhost::RunTests(zhost::ParseRunArguments(context.args), context);
}

} // namespace

ZARVIK_HOST_COMMAND("run", "--port N [--device PATH|sim] [--out FILE] TESTID...",
                    "\n                    runs the tests as one sequence with the automatic operator"
                    "\n                    and prints each test's status and measurements",
                    Run)
