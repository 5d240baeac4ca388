#pragma once

#include "platform/base/Variant.h"

#include <cstddef>
#include <string>
#include <vector>

namespace plat {

// A generic event of a control added at run time: its name and its arguments in order.
struct EventInfo {
    std::string name;
    std::vector<Variant> parameters;

    // The argument at a 0-based position; a missing argument reads as 0 (a Long).
    Variant Parameter(std::size_t i) const { return i < parameters.size() ? parameters[i] : Variant(int32_t{0}); }
    std::size_t Count() const { return parameters.size(); }
};

} // namespace plat
