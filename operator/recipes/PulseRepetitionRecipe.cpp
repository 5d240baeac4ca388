// The pulse-repetition test (1000): while the repeated-discharge count-down shows, one
// discharge each time the instruction lines are back (the window puts them back after its next
// poll once a discharge was counted), so never two before the analyzer was asked again.
#include "operator/recipes/ChargeHabits.h"

namespace {

// The instruction lines of the test; its live status lines are five.
constexpr std::size_t kInstructionLines = 3;

void PulseRepetitionRecipe(zop::Operator& op)
{
    op.AddRule({"repeated discharge",
                [](const zop::Scene& scene) {
                    return scene.popupVisible && zop::charging::Contains(scene.popupMessage, "Charge and Shock!") &&
                           scene.stepLines.size() == kInstructionLines;
                },
                zop::charging::ReadingTime,
                [](zop::Operator& self, const zop::Scene& scene) {
                    zop::charging::ChargeAndDischarge(self, zop::charging::PresetFromFirstLine(scene));
                },
                -1, ""});
}

} // namespace

ZARVIK_OPERATOR_RECIPE(1000, PulseRepetitionRecipe)
