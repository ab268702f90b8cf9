#include "Unprivileged.h"

#include <cerrno>
#include <cstring>
#include <exception>
#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace tqtest {

namespace {

// Capabilities belong to a thread on Linux, and dropping one from the permitted set cannot be
// undone, which is why this runs on a thread that ends afterwards. The permitted set matters
// because access() checks against it when the real user is root.
bool DropFileOverridesOfThisThread(std::string *error)
{
    __user_cap_header_struct header{};
    header.version = _LINUX_CAPABILITY_VERSION_3;
    header.pid = 0; // the calling thread
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0) {
        *error = std::string("capget: ") + std::strerror(errno);
        return false;
    }
    for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER}) {
        const __u32 bit = CAP_TO_MASK(capability);
        __user_cap_data_struct &word = data[CAP_TO_INDEX(capability)];
        word.effective &= ~bit;
        word.permitted &= ~bit;
        word.inheritable &= ~bit;
    }
    if (syscall(SYS_capset, &header, data) != 0) {
        *error = std::string("capset: ") + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace

bool RunWithFilePermissionsEnforced(const std::function<void()> &body)
{
    std::string error;
    bool dropped = false;
    std::thread worker([&] {
        dropped = DropFileOverridesOfThisThread(&error);
        if (!dropped)
            return;
        // An exception must not leave the thread; it becomes a failure of the test.
        try {
            body();
        } catch (const std::exception &exception) {
            ADD_FAILURE() << "unexpected exception: " << exception.what();
        } catch (...) {
            ADD_FAILURE() << "unexpected exception";
        }
    });
    worker.join();
    if (!dropped)
        ADD_FAILURE() << "cannot give up the file-permission overrides: " << error;
    return dropped;
}

} // namespace tqtest
