// The charge-time test (200): after the count-down the prompt asks for a charge followed by
// the discharge. The analyzer arms its clock a moment after the prompt appears; a person who
// charges at once still presses the button well after that.
#include "operator/recipes/ChargeHabits.h"

namespace {

constexpr plat::Millis kChargeReachTime{700};

void ChargeTimeRecipe(zop::Operator& op)
{
    op.AddRule({"charge and discharge", [](const zop::Scene& scene) { return scene.Shows("TI:SHOCK"); },
                kChargeReachTime,
                [](zop::Operator& self, const zop::Scene& scene) {
                    zop::charging::ChargeAndDischarge(self, zop::charging::PresetFromFirstLine(scene));
                },
                -1, ""});
}

} // namespace

ZARVIK_OPERATOR_RECIPE(200, ChargeTimeRecipe)
