#pragma once

// What the operator does alike in the defibrillator tests that charge before they discharge
// (charge time, cardioversion, pulse repetition, battery capacity).

#include "operator/Recipes.h"
#include "platform/base/Conversions.h"

#include <string>
#include <string_view>

namespace zop::charging {

// A person reads the window before acting on it, and takes a moment to pick up the paddles.
inline constexpr plat::Millis ReadingTime{100};
inline constexpr plat::Millis ReachTime{400};
// How long the defibrillator under test takes to charge (s).
inline constexpr double ChargeSeconds = 6.5;

inline bool Contains(const std::string& text, std::string_view part)
{
    return text.find(part) != std::string::npos;
}

// The preset energy as a person reads it off the first instruction line: the number after its
// " to " ("1. Set defibrillator to 150 J.", "... to 150.5").
inline double PresetFromFirstLine(const Scene& scene)
{
    if (scene.stepLines.empty()) return 0.0;
    const std::string& line = scene.stepLines.front();
    const std::size_t to = line.rfind(" to ");
    return to == std::string::npos ? 0.0 : plat::Val(std::string_view(line).substr(to + 4));
}

inline void ChargeAndDischarge(Operator& self, double joules)
{
    self.Perform(physical::Charge, ChargeSeconds);
    self.Perform(physical::Discharge, joules);
}

} // namespace zop::charging
