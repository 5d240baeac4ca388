// The cardioversion test (300): a discharge in the defibrillator's synchronised mode when the
// prompt appears; the physical action supplied for it says whether it synchronises.
#include "operator/recipes/ChargeHabits.h"

namespace {

void CardioversionRecipe(zop::Operator& op)
{
    op.AddRule({"synchronised discharge", [](const zop::Scene& scene) { return scene.Shows("TI:SHOCK"); },
                zop::charging::ReachTime,
                [](zop::Operator& self, const zop::Scene& scene) {
                    self.Perform(zop::physical::Discharge, zop::charging::PresetFromFirstLine(scene));
                },
                -1, ""});
}

} // namespace

ZARVIK_OPERATOR_RECIPE(300, CardioversionRecipe)
