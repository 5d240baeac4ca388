#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

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

// Users other than the one running the tests, for tests of what one user's file does to
// another's run: ids with no passwd entry, as a colleague's account looks from a container.
constexpr uid_t OtherUser = 4242;
constexpr uid_t ThirdUser = 4243;
constexpr gid_t SharedGroup = 4240;

// Whether this process can act as other users (only the superuser can).
bool CanSwitchUsers();

// Runs the function in a child process as the user, with the group given as its group and
// SharedGroup as its only other one, under the umask given; gives the function's result as the
// child's exit status, or -1 when the child could not become that user.
int RunAsUser(uid_t uid, gid_t gid, mode_t umask, const std::function<int()>& body);

// The launcher (HostProgram::SetLauncher) that starts a program as the user, with the group given
// and SharedGroup as its other one.
std::vector<std::string> AsUserLauncher(uid_t uid, gid_t gid);

} // namespace ztesting
