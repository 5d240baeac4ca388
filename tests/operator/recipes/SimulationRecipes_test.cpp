// The recipes of the wave and pacemaker tests, followed in the real guide window against the
// simulated analyzer, in virtual time: the operator waits for what a person waits for.
#include "operator/recipes/SimulationRecipes.h"

#include "host/interfaces/IResultData.h"
#include "simulator/Fault.h"
#include "testlib/config/CConfigPacer.h"
#include "testlib/elements/CTestEcg.h"
#include "testlib/elements/CTestNSW.h"
#include "testlib/elements/CTestPacerPar.h"
#include "testlib/elements/CTestPacerRef.h"
#include "tests/testlib/elements/SimulationFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using zsim::Fault;

constexpr const char* kNoAdapter = "No Adapter detected";

class SimulationRecipes : public ztesting::SimulationFixture {
protected:
    int32_t Status(const std::shared_ptr<host::ITestElement>& element) { return element->Result()->Status(); }
    // Virtual times (ms from now) at which the analyzer heard commands beginning with the prefix.
    std::vector<int64_t> TimesOf(const std::string& prefix) const
    {
        std::vector<int64_t> times;
        for (const auto& heard : analyzer->HeardLog()) {
            if (heard.command.starts_with(prefix))
                times.push_back(std::chrono::duration_cast<plat::Millis>(heard.at - start).count());
        }
        return times;
    }
    int CountSaid(const std::string& line) const { return static_cast<int>(std::count(said.begin(), said.end(), line)); }
    int CountBoxes(const std::string& part) const
    {
        const auto prompts = BoxPrompts();
        return static_cast<int>(std::count_if(prompts.begin(), prompts.end(), [&](const std::string& prompt) {
            return prompt.find(part) != std::string::npos;
        }));
    }

    plat::TimePoint start = TestLoop().Now();
};

// The analyzer takes its time to answer the wave command: the operator judges only once the
// wave is on the monitor and it has watched it (1.5 s), and its verdict ends the 7 s hold.
TEST_F(SimulationRecipes, WaveIsJudgedOnceTheHoldHasBegun)
{
    const struct {
        const char* name;
        std::function<std::shared_ptr<host::ITestElement>()> make;
        const char* waveCommand;
    } cases[] = {
        {"normal sinus", [] { return ztest::CTestNSW::Create(); }, "NSB"},
        {"ECG R-wave", [] { return ztest::CTestEcg::Create(); }, "THRESH"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        analyzer->Faults().Clear();
        analyzer->Faults().Add(Fault::Delay(2000ms).For(c.waveCommand));
        auto element = c.make();
        Perform(element);
        const auto wave = TimesOf(c.waveCommand);
        const auto zero = TimesOf("ZERO");
        ASSERT_EQ(wave.size(), 1u);
        ASSERT_EQ(zero.size(), 1u);
        const int64_t holdBegun = wave[0] + 2000;
        EXPECT_GE(zero[0], holdBegun + 1500);
        EXPECT_LT(zero[0], holdBegun + 3000) << "the verdict ended the hold";
        EXPECT_EQ(Status(element), 1);
        EXPECT_EQ(CountSaid("operator: judges the wave passed"), 1);
        said.clear();
    }
}

// With an adapter configured and none connected, the pacer-parameter run ends at the "No
// Adapter detected" box; the operator answers it, connects the adapter and starts again.
TEST_F(SimulationRecipes, PacerParametersConnectTheAdapterTheBoxAsksFor)
{
    auto element = ztest::CTestPacerPar::Create();
    std::dynamic_pointer_cast<ztest::CConfigPacer>(element->Configuration())->SetAdapterIndex(1);
    Perform(element);
    EXPECT_EQ(Commands(), (Strings{"QADAPTER", "QADAPTER", "PACELOAD=ADAP1", "PACEPMODE", "QDATA", "PACEPDATA"}));
    EXPECT_EQ(CountBoxes(kNoAdapter), 1);
    EXPECT_EQ(CountSaid("operator: connects the adapter"), 1);
    EXPECT_EQ(CountSaid("operator: presses Start"), 2);
    EXPECT_EQ(Status(element), 1);
}

TEST_F(SimulationRecipes, PacerTriesAgainOnceAndOnlyWithAnAdapterAtHand)
{
    const struct {
        const char* name;
        zop::Operator::Physical connect; // what connecting the adapter does
        Strings heard;
        int boxes;
    } cases[] = {
        // The adapter the operator plugs in is not found either: one more run, then Next.
        {"adapter that is never found", [](double) {}, {"QADAPTER", "QADAPTER"}, 2},
        // Nobody can connect an adapter: the operator leaves the unrated run at once.
        {"no adapter at hand", nullptr, {"QADAPTER"}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        analyzer->ClearLogs();
        op->SetPhysical(zop::physical::ConnectAdapter, c.connect);
        const std::size_t boxesBefore = op->Boxes().size();
        auto element = ztest::CTestPacerPar::Create();
        std::dynamic_pointer_cast<ztest::CConfigPacer>(element->Configuration())->SetAdapterIndex(1);
        auto context = Perform(element);
        EXPECT_EQ(Commands(), c.heard);
        EXPECT_EQ(op->Boxes().size() - boxesBefore, static_cast<std::size_t>(c.boxes));
        EXPECT_EQ(Status(element), 0);
        EXPECT_EQ(context->Navigation(), host::HostTestContext::NavigateNext);
    }
}

// The refractory test asks for the variable load in its instructions: the adapter is connected
// before Start, and no box comes.
TEST_F(SimulationRecipes, PacerRefractoryConnectsTheAdapterItsInstructionsAskFor)
{
    auto element = ztest::CTestPacerRef::Create();
    std::dynamic_pointer_cast<ztest::CConfigPacer>(element->Configuration())->SetAdapterIndex(1);
    Perform(element);
    ASSERT_FALSE(Commands().empty());
    EXPECT_EQ(Commands().front(), "QADAPTER");
    EXPECT_EQ(Commands().back(), "PACEREFRACT");
    EXPECT_EQ(CountBoxes(kNoAdapter), 0);
    EXPECT_EQ(Status(element), 1);
}

} // namespace
