#pragma once

#include "operator/Recipes.h"

#include <cstdint>

namespace zop {

// The operator's recipes of the tests in which the analyzer simulates a wave and the operator
// judges it (400, 500, 600, 1100): once the hold has begun (the window marks the hold's step,
// which it does only after the analyzer answered the wave command), the operator watches the
// monitor for a moment and gives the verdict it is told to give.
RecipeBook::Recipe WaveRecipe(bool pass = true);
// The test types whose wave a person judges by watching the defibrillator's monitor: against a
// real analyzer no automatic rule may judge them.
inline constexpr int32_t JudgedByEye[] = {400, 500, 600, 1100};
bool IsJudgedByEye(int32_t testType);
// Whether this run's wave is on the monitor: the run holds it, and the window marks the hold's
// step, which it does only once the analyzer took the wave command.
bool WaveOnMonitor(const Scene& scene);
// The recipes of the two pacemaker tests (700, 800): before Start the operator sets the
// pacemaker to the rate and output that the instructions give, connects the adapter when they
// ask for the variable load (or when told to), and attaches the pacemaker. When the analyzer
// finds no adapter, the operator answers the "No Adapter detected" box, connects the adapter and
// presses Start again (once).
RecipeBook::Recipe PacerRecipe(bool adapter = false);

namespace physical {
inline constexpr const char* SetPacemakerOutput = "set pacemaker output"; // mA
inline constexpr const char* ConnectAdapter = "connect adapter";          // 1 connected, 0 not
} // namespace physical

} // namespace zop
