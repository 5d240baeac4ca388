#pragma once

#include "simulator/Analyzer.h"

#include <optional>
#include <string>
#include <vector>

namespace zsim {

// What a person does with the hands at the analyzer (discharge a defibrillator into it, charge
// one, attach a pacemaker, connect the pacer load adapter), typed as words: at zarvik-sim's
// terminal, and into zarvik-host in a bench rehearsal on the built-in analyzer. Both read the
// same words in the same units, the units the test-guide window speaks: joules, seconds,
// pulses per minute, milliamperes and milliseconds. Words and arguments are read in any case.
struct HandWord {
    const char* word;
    const char* arguments;
    const char* meaning;
};
inline constexpr HandWord HandWords[] = {
    {"discharge", "JOULES [WIDTH_MS]", "discharge the defibrillator into the analyzer (pulse width 5 ms)"},
    {"charge", "SECONDS", "a charge of the defibrillator that took that long"},
    {"pacemaker", "[PPM [MA [WIDTH_MS]]]", "attach a pacemaker (70 PPM, 70 mA, 1 ms unless given)"},
    {"adapter", "on|off", "connect or remove the pacer load adapter"},
};
bool IsHandWord(const std::string& word);

// A quantity a person typed: a plain number is in the first unit; a number with a unit's suffix
// ("50mA", "0.05A") is read by that suffix (any case) and converted to the first unit; any
// other suffix is refused, never guessed.
struct UnitSuffix {
    const char* suffix;
    double factor; // how many of the first unit one of this suffix is
};
std::optional<double> Quantity(const std::string& text, const std::vector<UnitSuffix>& units);

// Carries out one hand's line (its first word the verb) on the analyzer. `done` is false when
// the line is no hand's word or its arguments are wrong; the text is then what the word needs,
// else one line confirming what was done ("discharged 100 J into the analyzer").
struct HandOutcome {
    bool done = false;
    std::string text;
};
HandOutcome DoHandAction(Analyzer& analyzer, const std::vector<std::string>& words);

} // namespace zsim
