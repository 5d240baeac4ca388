#include "operator/recipes/SimulationRecipes.h"

#include "platform/ui/MessageBox.h"

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>

namespace zop {

namespace {

// A person reads the window before acting on it.
constexpr plat::Millis kReadingTime{100};
// Time the operator watches the monitor, once the wave is on it, before judging what it shows.
constexpr plat::Millis kWatchingTime{1500};
// The pacemaker is set up before the start (the start habit waits 100 ms).
constexpr plat::Millis kSetUpTime{40};
// The step that the window marks once the analyzer took the wave command and holds the wave
// on the monitor; while the commands are still being sent it marks the one before.
constexpr int kHoldStep = 4;

bool AsksForVariableLoad(const Scene& scene)
{
    for (const auto& line : scene.stepLines) {
        if (line.find("variable load") != std::string::npos) return true;
    }
    return false;
}

// False when nobody supplied the action: the operator then has no adapter to connect.
bool ConnectAdapter(Operator& self)
{
    self.Say("operator: connects the adapter");
    return self.Perform(physical::ConnectAdapter, 1.0);
}

} // namespace

bool WaveOnMonitor(const Scene& scene)
{
    return scene.Running() && std::find(scene.highlightedSteps.begin(), scene.highlightedSteps.end(), kHoldStep) !=
                                  scene.highlightedSteps.end();
}

bool IsJudgedByEye(int32_t testType)
{
    return std::find(std::begin(JudgedByEye), std::end(JudgedByEye), testType) != std::end(JudgedByEye);
}

RecipeBook::Recipe WaveRecipe(bool pass)
{
    return [pass](Operator& op) {
        op.AddRule({"judge", WaveOnMonitor, kWatchingTime, [pass](Operator& self, const Scene&) { self.Judge(pass); }, 1,
                    "start"});
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
        // The analyzer found no adapter: the person answers the box, connects the adapter and
        // starts the test again, once; the run that ended unrated is not left with Next then.
        auto again = std::make_shared<bool>(false);
        op.AddBoxRule({"No Adapter detected", "", plat::vbOK, 1},
                      [again](Operator& self) { *again = ConnectAdapter(self); });
        op.RemoveRule("leave unrated");
        op.AddRule({"leave unrated",
                    [again](const Scene& scene) { return !*again && scene.Ready() && scene.Usable(button::Next); },
                    kReadingTime, [](Operator& self, const Scene&) { self.Press(button::Next); }, -1, "start"});
        op.AddRule({"start again", [again](const Scene& scene) { return *again && scene.Ready(); }, kReadingTime,
                    [again](Operator& self, const Scene&) {
                        // Cleared first: the run that the press starts is watched inside it.
                        *again = false;
                        self.Press(button::Start);
                    },
                    1, "start"});
    };
}

} // namespace zop

namespace {
[[maybe_unused]] const bool wavesAdded = [] {
    for (int32_t type : zop::JudgedByEye) zop::RecipeBook::Standard().Add(type, zop::WaveRecipe());
    return true;
}();
} // namespace
ZARVIK_OPERATOR_RECIPE(700, zop::PacerRecipe())
ZARVIK_OPERATOR_RECIPE(800, zop::PacerRecipe())
