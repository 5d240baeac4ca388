// The energy measurement (100): when the shock prompt appears, the operator discharges the
// defibrillator with the energy the instructions set.
#include "operator/Recipes.h"

namespace {

// A person takes a moment to pick up the paddles.
constexpr plat::Millis kReachTime{400};

void EnergyRecipe(zop::Operator& op)
{
    op.AddRule({"discharge", [](const zop::Scene& scene) { return scene.Shows("TI:SHOCK"); }, kReachTime,
                [](zop::Operator& self, const zop::Scene& scene) {
                    self.Perform(zop::physical::Discharge, zop::NumberBefore(scene, " J").value_or(0.0));
                },
                -1, ""});
}

} // namespace

ZARVIK_OPERATOR_RECIPE(100, EnergyRecipe)
