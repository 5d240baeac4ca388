#include "tests/support/EventSpy.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace ztesting {

std::vector<std::string> EventSpy::Names() const
{
    std::vector<std::string> names;
    for (const auto& record : mRecords) names.push_back(record.name);
    return names;
}

int EventSpy::Count(const std::string& name) const
{
    return static_cast<int>(
        std::count_if(mRecords.begin(), mRecords.end(), [&](const Record& r) { return r.name == name; }));
}

EventSpy::Record EventSpy::Last() const
{
    if (mRecords.empty()) {
        ADD_FAILURE() << "no event was recorded";
        return {};
    }
    return mRecords.back();
}

} // namespace ztesting
