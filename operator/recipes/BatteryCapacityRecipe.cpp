// The battery-capacity test (900): three charges in each active phase, each once the
// instruction lines are back (the analyzer was armed again by then); nothing while the window
// counts an idle phase or the standby down.
#include "operator/recipes/ChargeHabits.h"

#include <memory>

namespace {

constexpr int kChargesPerPhase = 3;
// The instruction lines of the test; its live status lines are three.
constexpr std::size_t kInstructionLines = 7;

void BatteryCapacityRecipe(zop::Operator& op)
{
    auto charges = std::make_shared<int>(0);
    op.AddRule({"new phase",
                [](const zop::Scene& scene) {
                    return scene.popupVisible && zop::charging::Contains(scene.popupMessage, "Standby");
                },
                plat::Millis{0}, [charges](zop::Operator&, const zop::Scene&) { *charges = 0; }, -1, ""});
    op.AddRule({"charge in the active phase",
                [charges](const zop::Scene& scene) {
                    return *charges < kChargesPerPhase && scene.popupVisible &&
                           zop::charging::Contains(scene.popupMessage, "Charge and discharge repeatedly") &&
                           scene.stepLines.size() == kInstructionLines;
                },
                zop::charging::ReadingTime,
                [charges](zop::Operator& self, const zop::Scene& scene) {
                    ++*charges;
                    zop::charging::ChargeAndDischarge(self, zop::charging::PresetFromFirstLine(scene));
                },
                -1, ""});
}

} // namespace

ZARVIK_OPERATOR_RECIPE(900, BatteryCapacityRecipe)
