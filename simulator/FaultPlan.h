#pragma once

#include "simulator/Fault.h"

#include <deque>
#include <optional>
#include <string_view>

namespace zsim {

// The faults waiting for their commands, in the order they were added: a command takes the
// first fault that matches it.
class FaultPlan {
public:
    void Add(Fault fault);
    void Clear();
    bool Empty() const { return mFaults.empty(); }
    size_t Size() const { return mFaults.size(); }

    // The fault for this command, counted as used; nullopt when none matches.
    std::optional<Fault> Take(std::string_view command);

private:
    std::deque<Fault> mFaults;
};

} // namespace zsim
