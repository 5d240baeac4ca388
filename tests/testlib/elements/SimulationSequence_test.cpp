// The six simulation and pacemaker tests as one sequence of the host, created through the
// plug-in's catalogue, with the operator's standard recipes: every test is rated and the
// analyzer is left at zero output with nothing more to say.
#include "host/documents/HostLoadLog.h"
#include "host/elements/HostTestSequence.h"
#include "host/interfaces/IPlugIn.h"
#include "host/interfaces/IResultData.h"
#include "host/interfaces/ITestElement.h"
#include "platform/com/ComRuntime.h"
#include "support/HostProgram.h"
#include "tests/testlib/elements/SimulationFixture.h"

#include <gtest/gtest.h>

namespace {

class SimulationSequence : public ztesting::SimulationFixture {};

TEST_F(SimulationSequence, EveryTestIsRatedAndTheAnalyzerEndsAtZero)
{
    plat::RegisterServerLibrary(std::string(ZARVIK_LIBRARY_DIR) + "/libtelvoZarvik.so");
    auto plugIn = plat::CreateObjectAs<host::IPlugIn>("TelvoZARVIK.CZARVIKPlugIn");
    ASSERT_TRUE(plugIn);
    plugIn->Initialize(std::make_shared<host::HostLoadLog>());
    auto sequence = std::make_shared<host::HostTestSequence>(plugIn);
    const int32_t ids[] = {400, 500, 600, 700, 800, 1100};
    for (int32_t id : ids) ASSERT_TRUE(sequence->AddTest(id)) << id;
    sequence->SetBeforePerform(
        [&](std::size_t index) { zop::RecipeBook::Standard().Apply(sequence->Item(index).element->TestID(), *op); });
    sequence->Run();

    for (const auto& entry : sequence->Entries()) {
        SCOPED_TRACE(entry.element->TestID());
        ASSERT_TRUE(entry.element->Result());
        EXPECT_EQ(entry.element->Result()->Status(), 1);
    }
    EXPECT_EQ(analyzer->Model().Output(), "ZERO");
    // Let every reply still due go out: none is left.
    FastForwardBy(std::chrono::minutes(5));
    EXPECT_TRUE(analyzer->Idle());
    EXPECT_EQ(analyzer->SentLog().back().bytes, "OK\r\n");
}

TEST(SimulationRun, HostRunsTheSixTestsRated)
{
    ztesting::HostProgram host{"zarvik-host", "env-registry"};
    const auto outcome = host.Run({"run", "--port", "1", "--device", "sim", "400", "500", "600", "700", "800", "1100"});
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    for (const char* id : {"400", "500", "600", "700", "800", "1100"})
        EXPECT_NE(outcome.out.find(std::string(id) + "\tpassed\n"), std::string::npos) << id << "\n" << outcome.out;
}

} // namespace
