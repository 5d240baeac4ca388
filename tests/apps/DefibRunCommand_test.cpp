// zarvik-host run of the charge-time, cardioversion, pulse-repetition and battery-capacity
// tests against the built-in simulated analyzer, with the automatic operator.
#include "support/HostProgram.h"

#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>

namespace {

using namespace std::chrono_literals;

TEST(DefibRunCommand, RatesEachDefibrillatorTestWithinSeconds)
{
    ztesting::HostProgram host{"zarvik-defib-run", "env-registry"};
    host.SetLeadingArguments({"--registry", host.Folder() + "/registry"});

    const auto started = std::chrono::steady_clock::now();
    const ztesting::ProgramOutcome run = host.Run({"run", "--port", "1", "--device", "sim", "200", "300", "1000", "900"});
    const auto took = std::chrono::steady_clock::now() - started;
    ASSERT_EQ(run.status, 0) << run.err;

    for (const char* line : {"200\tpassed\n", "\tCHTI\t6.5\ts\tpassed\n", "300\tpassed\n", "\tCADT\t40\tms\tpassed\n",
                             "1000\tpassed\n", "\tENGY15\t100\tJ\tpassed\n", "900\tpassed\n",
                             "\tCHTI15\t6.5\ts\tpassed\n"})
        EXPECT_NE(run.out.find(line), std::string::npos) << line << run.out;
    // The battery run alone is ten minutes of analyzer time (generous bound for loaded machines).
    EXPECT_LT(took, 20s);
}

} // namespace
