#pragma once

#include "platform/base/ComError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

namespace ztesting {

// The number of the coded error that an action raises, or 0 when it raises none; with a
// description pointer, also the error's description.
inline int32_t ErrorNumberOf(const std::function<void()>& action, std::string* description = nullptr)
{
    try {
        action();
    } catch (const plat::ComError& e) {
        if (description) *description = e.Description();
        return e.Number();
    }
    return 0;
}

// The coded error that an action raises, for a test that looks at more than its number; fails
// the test when the action raises none.
inline plat::ComError ErrorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const plat::ComError& error) {
        return error;
    }
    ADD_FAILURE() << "no error was raised";
    return plat::ComError(0, {}, {});
}

} // namespace ztesting
