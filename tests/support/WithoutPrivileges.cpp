#include "support/WithoutPrivileges.h"

#include <linux/capability.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ztesting {

namespace {

struct Capabilities {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2]{};
};

bool Get(Capabilities& caps)
{
    return ::syscall(SYS_capget, &caps.header, caps.data) == 0;
}

bool Set(Capabilities& caps)
{
    return ::syscall(SYS_capset, &caps.header, caps.data) == 0;
}

} // namespace

WithoutPrivileges::WithoutPrivileges()
{
    Capabilities caps;
    if (!Get(caps)) {
        mDropped = ::geteuid() != 0;
        return;
    }
    if (caps.data[0].effective == 0 && caps.data[1].effective == 0) return;
    mSaved[0] = caps.data[0].effective;
    mSaved[1] = caps.data[1].effective;
    caps.data[0].effective = 0;
    caps.data[1].effective = 0;
    mChanged = Set(caps);
    mDropped = mChanged;
}

WithoutPrivileges::~WithoutPrivileges()
{
    if (!mChanged) return;
    Capabilities caps;
    if (!Get(caps)) return;
    caps.data[0].effective = mSaved[0];
    caps.data[1].effective = mSaved[1];
    Set(caps);
}

bool CanSwitchUsers()
{
    return ::geteuid() == 0;
}

int RunAsUser(uid_t uid, gid_t gid, mode_t umask, const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        const gid_t groups[] = {SharedGroup};
        if (::setgroups(1, groups) != 0 || ::setgid(gid) != 0 || ::setuid(uid) != 0) ::_exit(255);
        ::umask(umask);
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status) == 255 ? -1 : WEXITSTATUS(status);
}

std::vector<std::string> AsUserLauncher(uid_t uid, gid_t gid)
{
    return {"setpriv", "--reuid=" + std::to_string(uid), "--regid=" + std::to_string(gid),
            "--groups=" + std::to_string(SharedGroup)};
}

} // namespace ztesting
