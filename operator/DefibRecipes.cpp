#include "operator/Recipes.h"

#include "platform/base/Conversions.h"

#include <memory>
#include <string>

namespace zop {

namespace {

// A person reads the window before acting on it, and takes a moment to pick up the paddles.
constexpr plat::Millis kReadingTime{100};
constexpr plat::Millis kReachTime{400};
// Charge-time test: the analyzer starts its clock a moment after the shock prompt appears; a
// person who charges at once still presses the button well after that.
constexpr plat::Millis kChargeReachTime{700};
// How long the defibrillator under test takes to charge (s).
constexpr double kChargeSeconds = 6.5;
// At most this many charges in one active phase of the battery-capacity test.
constexpr int kChargesPerPhase = 3;

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// The preset energy as a person reads it off the first instruction line: the first number after
// the step's own "1.".
double PresetFromFirstLine(const Scene& scene)
{
    if (scene.stepLines.empty()) return 0.0;
    const std::string& line = scene.stepLines.front();
    const std::size_t to = line.rfind(" to ");
    return to == std::string::npos ? 0.0 : plat::Val(std::string_view(line).substr(to + 4));
}

void ChargeAndDischarge(Operator& self, double joules)
{
    self.Say("operator: charges the defibrillator and discharges " + plat::CStr(joules) + " J into the analyzer");
    self.Perform(physical::Charge, kChargeSeconds);
    self.Perform(physical::Discharge, joules);
}

// 200: after the count-down the prompt asks for a charge followed by the discharge.
void ChargeTimeRecipe(Operator& op)
{
    op.AddRule({"charge and discharge", [](const Scene& scene) { return scene.Shows("TI:SHOCK"); }, kChargeReachTime,
                [](Operator& self, const Scene& scene) { ChargeAndDischarge(self, PresetFromFirstLine(scene)); }, -1,
                ""});
}

// 300: a synchronised discharge when the prompt appears (the defibrillator's sync mode decides
// the rest; the physical action supplied for it says whether it synchronises).
void CardioversionRecipe(Operator& op)
{
    op.AddRule({"synchronised discharge", [](const Scene& scene) { return scene.Shows("TI:SHOCK"); }, kReachTime,
                [](Operator& self, const Scene& scene) {
                    const double joules = PresetFromFirstLine(scene);
                    self.Say("operator: discharges " + plat::CStr(joules) + " J in synchronised mode");
                    self.Perform(physical::Discharge, joules);
                },
                -1, ""});
}

// 1000: while the repeated-discharge count-down shows, one discharge each time the instruction
// lines come back after the last discharge was counted (the window puts them back after its
// next poll), never two before the analyzer was asked again.
void PulseRepetitionRecipe(Operator& op)
{
    op.AddRule({"repeated discharge",
                [](const Scene& scene) {
                    return scene.popupVisible && Contains(scene.popupMessage, "Charge and Shock!") &&
                           scene.stepLines.size() == 3;
                },
                kReadingTime,
                [](Operator& self, const Scene& scene) {
                    const double joules = PresetFromFirstLine(scene);
                    self.Say("operator: charges and discharges " + plat::CStr(joules) + " J");
                    self.Perform(physical::Discharge, joules);
                },
                -1, ""});
}

// 900: in each active phase three charges, each once the instruction lines are back (the
// analyzer was armed again by then); nothing while the window counts an idle phase or the
// standby down.
void BatteryCapacityRecipe(Operator& op)
{
    auto charges = std::make_shared<int>(0);
    op.AddRule({"new phase",
                [](const Scene& scene) { return scene.popupVisible && Contains(scene.popupMessage, "Standby"); },
                plat::Millis{0}, [charges](Operator&, const Scene&) { *charges = 0; }, -1, ""});
    op.AddRule({"charge in the active phase",
                [charges](const Scene& scene) {
                    return *charges < kChargesPerPhase && scene.popupVisible &&
                           Contains(scene.popupMessage, "Charge and discharge repeatedly") && scene.stepLines.size() == 7;
                },
                kReadingTime,
                [charges](Operator& self, const Scene& scene) {
                    ++*charges;
                    ChargeAndDischarge(self, PresetFromFirstLine(scene));
                },
                -1, ""});
}

} // namespace

void AddDefibRecipes(RecipeBook& book)
{
    book.Add(200, ChargeTimeRecipe);
    book.Add(300, CardioversionRecipe);
    book.Add(900, BatteryCapacityRecipe);
    book.Add(1000, PulseRepetitionRecipe);
}

} // namespace zop
