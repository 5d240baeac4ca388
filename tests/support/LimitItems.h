#pragma once

#include "host/standards/HostLimitItem.h"
#include "host/standards/HostStandard.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ztesting {

// One bound of a limit item as a test sets it: whether it is judged, its plain value and its
// formula.
struct BoundSpec {
    bool enabled = false;
    float value = 0.0f;
    std::string formula;
};

// A limit item as a test sets it up; the host's own kind (formula-capable) unless the test asks
// for a plain item. Every member has a default, so that a test names only the members it
// sets.
struct LimitItemSpec {
    std::string key = {};
    std::string unit = {};
    BoundSpec upper = {};
    BoundSpec lower = {};
    std::string caption = {};
    std::string note = {};
    bool formulaCapable = true;
};

// A new item of the described kind, set up from its description.
std::shared_ptr<host::HostLimitItem> MakeLimitItem(const LimitItemSpec& spec);

// A standard of the two names and the kind (the test library passes 1), holding an item of
// each spec in order.
std::shared_ptr<host::HostStandard> MakeStandard(const std::string& alphaName, const std::string& completeName,
                                                 const std::vector<LimitItemSpec>& items = {}, int32_t kind = 1);

} // namespace ztesting
