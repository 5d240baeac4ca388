// A whole energy run in virtual time: the element performs with the guide window, the automatic
// operator starts it and discharges, the simulated analyzer answers over the link, the result is
// rated and the operator leaves with Next. The figure is the real time one run takes.
#include "host/elements/HostTestContext.h"
#include "host/interfaces/IResultData.h"
#include "host/units/HostMtiSettings.h"
#include "operator/GuideWindowScene.h"
#include "operator/Operator.h"
#include "operator/Recipes.h"
#include "platform/com/ComRuntime.h"
#include "platform/serial/PortMap.h"
#include "simulator/Analyzer.h"
#include "simulator/SimDevice.h"
#include "testlib/elements/CTestEnergy.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualLoop.h"

#include <benchmark/benchmark.h>

namespace {

void WholeEnergyRun(benchmark::State& state)
{
    ztesting::VirtualLoop loop;
    ztesting::TempRegistry registry;
    for (const char* name : {"telvoView", "telvoTGCL2", "telvoZarvikVti", "telvoZarvikTest"})
        plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/lib" + name + ".so");
    auto analyzer = std::make_shared<zsim::Analyzer>();
    zsim::SimDevice::Install(analyzer, "sim-bench");
    plat::PortMap::SetOverride(1, "sim-bench");
    host::HostMtiSettings::SetPortOverride("ZARVIK", 1);
    zop::Operator op(std::make_shared<zop::GuideWindowScene>());
    op.SetPhysical(zop::physical::Discharge,
                   [&](double joules) { analyzer->Discharge(zsim::Pulse::Into50Ohm(joules)); });
    op.Start();
    auto context = std::make_shared<host::HostTestContext>();
    int passed = 0;
    for (auto _ : state) {
        auto element = ztest::CTestEnergy::Create();
        zop::RecipeBook::Standard().Apply(100, op);
        element->Perform(context);
        passed += element->Result() && element->Result()->Status() == 1 ? 1 : 0;
        analyzer->ClearLogs();
    }
    state.counters["passed"] = passed;
    op.Stop();
    plat::PortMap::ClearOverrides();
    host::HostMtiSettings::ClearPortOverrides();
    zsim::SimDevice::Uninstall("sim-bench");
}
BENCHMARK(WholeEnergyRun)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
