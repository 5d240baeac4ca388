#include "simulator/FaultPlan.h"

namespace zsim {

void FaultPlan::Add(Fault fault)
{
    mFaults.push_back(std::move(fault));
}

void FaultPlan::Clear()
{
    mFaults.clear();
}

std::optional<Fault> FaultPlan::Take(std::string_view command)
{
    for (auto it = mFaults.begin(); it != mFaults.end(); ++it) {
        if (!it->Matches(command)) continue;
        Fault fault = *it;
        if (it->Use()) mFaults.erase(it);
        return fault;
    }
    return std::nullopt;
}

} // namespace zsim
