#include "support/WithoutPrivileges.h"

#include <linux/capability.h>
#include <sys/syscall.h>
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

} // namespace ztesting
