#include "apps/host/CommandTable.h"
#include "apps/host/InstrumentLink.h"
#include "apps/host/TestRun.h"

namespace {

int Run(zhost::CommandContext& context)
{
    const zhost::RunArguments arguments = zhost::ParseRunArguments(context.args);
    plat::PortRefusalWatch refusals;
    const int status = zhost::RunTests(arguments, context);
    // A port held by another program when the run begins ends it before its first test. One
    // taken between two tests refuses the channel of the test after: the run ends as it does,
    // printed and saved, and then says why the port was refused.
    if (status == zhost::RunAllPassed || status == zhost::RunNotAllPassed) zhost::RaiseRefusal(refusals);
    return status;
}

} // namespace

ZARVIK_HOST_COMMAND("run", "--port N [--device PATH|sim] [--operator person|auto] [--out FILE] TESTID...",
                    "\n                    runs the tests as one sequence and prints each test's status"
                    "\n                    and measurements; a person acts in the window by typing on"
                    "\n                    standard input (type help), the automatic operator does with"
                    "\n                    --operator auto and on the built-in simulator (sim); exits 0"
                    "\n                    only when every test passed, 2 when the port is in use by"
                    "\n                    another program",
                    Run)
