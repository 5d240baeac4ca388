#pragma once

#include "platform/base/Variant.h"

#include <string>
#include <vector>

namespace ztest {

class FZARVIKTestGuide;

// Replaces the lines of the guide window's step list, as the series tests do while they run
// (live status lines and back); the window's highlight then marks lines of the list now shown.
void ReplaceStepLines(FZARVIKTestGuide& guide, const plat::Variant& lines);

// Lines as the step list takes them: a Variant holding a String array.
plat::Variant StepLines(const std::vector<std::string>& lines);

} // namespace ztest
