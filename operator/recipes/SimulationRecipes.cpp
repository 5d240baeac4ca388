#include "operator/recipes/SimulationRecipes.h"

#include <string>

namespace zop {

namespace {

// Time the operator watches the monitor before judging what it shows.
constexpr plat::Millis kWatchingTime{1500};
// The pacemaker is set up before the start (the start habit waits 100 ms).
constexpr plat::Millis kSetUpTime{40};

bool AsksForVariableLoad(const Scene& scene)
{
    for (const auto& line : scene.stepLines) {
        if (line.find("variable load") != std::string::npos) return true;
    }
    return false;
}

} // namespace

RecipeBook::Recipe WaveRecipe(bool pass)
{
    return [pass](Operator& op) {
        op.AddRule({"judge", [](const Scene& scene) { return scene.Running(); }, kWatchingTime,
                    [pass](Operator& self, const Scene&) { self.Judge(pass); }, 1, "start"});
    };
}

RecipeBook::Recipe PacerRecipe(bool adapter)
{
    return [adapter](Operator& op) {
        op.AddRule({"attach pacemaker", [](const Scene& scene) { return scene.Ready(); }, kSetUpTime,
                    [adapter](Operator& self, const Scene& scene) {
                        const bool useAdapter = adapter || AsksForVariableLoad(scene);
                        const double rate = NumberBefore(scene, " PPM").value_or(60.0);
                        double output = NumberBefore(scene, " mA").value_or(-1.0);
                        if (output < 0) output = NumberBefore(scene, "mA").value_or(50.0);
                        self.Say("operator: sets the pacemaker to " + std::to_string(static_cast<long>(rate)) +
                                 " PPM and " + std::to_string(static_cast<long>(output)) + " mA" +
                                 (useAdapter ? ", connects the adapter" : "") + " and attaches it");
                        self.Perform(physical::ConnectAdapter, useAdapter ? 1.0 : 0.0);
                        self.Perform(physical::SetPacemakerOutput, output);
                        self.Perform(physical::AttachPacemaker, rate);
                    },
                    1, ""});
    };
}

} // namespace zop

ZARVIK_OPERATOR_RECIPE(400, zop::WaveRecipe())
ZARVIK_OPERATOR_RECIPE(500, zop::WaveRecipe())
ZARVIK_OPERATOR_RECIPE(600, zop::WaveRecipe())
ZARVIK_OPERATOR_RECIPE(1100, zop::WaveRecipe())
ZARVIK_OPERATOR_RECIPE(700, zop::PacerRecipe())
ZARVIK_OPERATOR_RECIPE(800, zop::PacerRecipe())
