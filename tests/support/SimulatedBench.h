#pragma once

// A test bench in virtual time: the libraries registered in a temporary registry, the simulated
// analyzer on port 1, and the automatic operator in front of the guide window, with the
// physical actions wired to the analyzer. A test makes an element, gives the operator its
// recipe and runs the element's Perform.
#include "host/elements/HostTestContext.h"
#include "operator/GuideWindowScene.h"
#include "operator/Operator.h"
#include "operator/Recipes.h"
#include "simulator/Analyzer.h"
#include "support/TempFolder.h"
#include "support/VirtualLoop.h"

#include <memory>
#include <string>
#include <vector>

namespace ztesting {

class SimulatedBench : public VirtualLoopTest {
protected:
    SimulatedBench();
    ~SimulatedBench() override;

    // Runs the element once in the window with the operator's recipe for its type (the
    // standard one unless the test set another); the run context it reported to.
    std::shared_ptr<host::HostTestContext> Perform(const std::shared_ptr<host::ITestElement>& element,
                                                   const zop::RecipeBook::Recipe& recipe = {});

    // The commands the analyzer heard, without "LOC" (the release at every close).
    std::vector<std::string> Heard() const;
    // Prompts of the boxes the operator answered.
    std::vector<std::string> BoxPrompts() const;
    // A registry value under the plug-in's key.
    void SetSetting(const std::string& name, int32_t value);
    // Presses a toolbar button of the window at the given virtual time after the start.
    void PressAt(int buttonId, plat::Millis at);

    TempRegistry registry;
    std::shared_ptr<zsim::Analyzer> analyzer;
    std::shared_ptr<zop::GuideWindowScene> scene;
    std::unique_ptr<zop::Operator> op;
    std::vector<std::string> said;
    std::vector<plat::Timer> timers;
};

} // namespace ztesting
