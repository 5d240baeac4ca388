#pragma once

// The bench of the wave and pacemaker tests: the test run fixture with the pacemaker at hand
// (the operator sets its rate and output, connects the adapter and attaches it) and a run of an
// element with the operator's recipe for its type, or the one a test gives.
#include "operator/recipes/SimulationRecipes.h"
#include "tests/testlib/elements/TestRunFixture.h"

namespace ztesting {

// Puts a pacemaker at the operator's hands: it sets its rate and output, connects the adapter
// and attaches the pacemaker to the analyzer.
inline void PlacePacemaker(zop::Operator& op, const std::shared_ptr<zsim::Analyzer>& analyzer)
{
    auto pacemaker = std::make_shared<zsim::Pacemaker>();
    op.SetPhysical(zop::physical::SetPacemakerOutput, [pacemaker](double mA) { pacemaker->current = mA / 1000.0; });
    op.SetPhysical(zop::physical::ConnectAdapter,
                   [analyzer](double connected) { analyzer->Model().SetAdapterPresent(connected != 0); });
    op.SetPhysical(zop::physical::AttachPacemaker, [analyzer, pacemaker](double rate) {
        if (rate > 0) pacemaker->rate = rate;
        analyzer->AttachPacemaker(*pacemaker);
    });
}

class SimulationFixture : public TestRunFixture {
protected:
    SimulationFixture() { PlacePacemaker(*op, analyzer); }

    // Runs the element once with a fresh run context, the operator following the standard
    // recipe of its type or the given one; the context it reported to.
    std::shared_ptr<host::HostTestContext> Perform(const std::shared_ptr<host::ITestElement>& element,
                                                   const zop::RecipeBook::Recipe& recipe = {})
    {
        if (recipe) {
            op->ClearRules();
            zop::RecipeBook::AddSharedHabits(*op);
            recipe(*op);
        } else {
            zop::RecipeBook::Standard().Apply(element->TestID(), *op);
        }
        context = std::make_shared<host::HostTestContext>();
        element->Perform(context);
        return context;
    }

    // The commands the analyzer heard, without the release ("LOC") at every close.
    std::vector<std::string> Commands() const
    {
        std::vector<std::string> commands;
        for (const auto& command : analyzer->Commands()) {
            if (command != "LOC") commands.push_back(command);
        }
        return commands;
    }

    // Presses a toolbar button of the window at the given virtual time from now.
    void PressAt(int buttonId, plat::Millis at)
    {
        timers.push_back(TestLoop().StartOneShot(at, [this, buttonId] { op->Press(buttonId); }));
    }

    std::vector<plat::Timer> timers;
};

} // namespace ztesting
