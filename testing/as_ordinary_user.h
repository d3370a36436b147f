#pragma once

// Root passes every permission check, so a file that this user can't read or a folder it can't
// write stops nobody when the tests run as root (as in CI). While an AsOrdinaryUser lives, the
// calling thread checks permissions as any other user does: the capabilities that bypass them
// leave its effective set, and come back when it ends. Elsewhere it does nothing.

#if defined(__linux__)
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace vanter::testing {

#if defined(__linux__)
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {
        if (::syscall(SYS_capget, &header_, saved_) != 0) {
            return;
        }
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        for (const int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
            lowered[CAP_TO_INDEX(cap)].effective &= ~CAP_TO_MASK(cap);
        }
        lowered_ = ::syscall(SYS_capset, &header_, lowered) == 0;
    }
    ~AsOrdinaryUser() {
        if (lowered_) {
            ::syscall(SYS_capset, &header_, saved_);
        }
    }
    AsOrdinaryUser(const AsOrdinaryUser&) = delete;
    AsOrdinaryUser& operator=(const AsOrdinaryUser&) = delete;

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2]{};
    bool lowered_ = false;
};
#else
// Nothing to lower. The constructor is the user's own (not defaulted): a trivial guard would be
// an unused variable to the compiler.
class AsOrdinaryUser {
public:
    AsOrdinaryUser() {}
};
#endif

} // namespace vanter::testing
