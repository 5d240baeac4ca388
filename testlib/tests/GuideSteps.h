#pragma once

#include "platform/base/Variant.h"

#include <cstdint>
#include <vector>

namespace ztest {

class FZARVIKTestGuide;

// The guide window's step list as the series tests drive it while they run: they replace its
// lines by live status lines and back, and mark lines of the list now shown (from 1).
void ReplaceStepLines(FZARVIKTestGuide& guide, const plat::Variant& lines);
void MarkSteps(FZARVIKTestGuide& guide, const std::vector<int16_t>& steps);

} // namespace ztest
