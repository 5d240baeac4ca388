#pragma once

#include <functional>

namespace ztest {

// What a group of controls needs of the editor that holds it: the editor's loading flag (set
// while the editor fills its own controls, so that their notifications write nothing), a way to
// run a step under that flag, and the "Change" notice to the host.
struct GroupSite {
    std::function<bool()> loading;
    std::function<void(const std::function<void()>&)> whileLoading;
    std::function<void()> changed;
};

} // namespace ztest
