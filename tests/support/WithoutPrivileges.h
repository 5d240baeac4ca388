#pragma once

#include <cstdint>

namespace ztesting {

// Lets the calling thread act as an unprivileged user while it lives: a superuser gives up its
// effective capabilities (reading and writing past permissions, taking an exclusive device),
// so that a test of a refusal by permissions runs also as root, as in CI. The capabilities
// stay permitted and come back at the end. For anyone else it changes nothing.
class WithoutPrivileges {
public:
    WithoutPrivileges();
    ~WithoutPrivileges();
    WithoutPrivileges(const WithoutPrivileges&) = delete;
    WithoutPrivileges& operator=(const WithoutPrivileges&) = delete;

    // Whether the thread now lacks the privileges (false only when they could not be dropped).
    bool Dropped() const { return mDropped; }

private:
    uint32_t mSaved[2] = {0, 0};
    bool mChanged = false;
    bool mDropped = true;
};

} // namespace ztesting
