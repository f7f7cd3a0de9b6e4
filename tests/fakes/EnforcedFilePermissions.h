#pragma once

#if defined(__linux__)
#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace tallyclock {

// Makes the kernel check file permissions for the calling thread even when the tests
// run as root, by lowering the capabilities that bypass them (reading, searching and
// writing regardless of mode); they come back when the object goes. Elsewhere, and
// for a user without those capabilities, it changes nothing.
class EnforcedFilePermissions
{
public:
    EnforcedFilePermissions()
    {
#if defined(__linux__)
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
        lowered[0].effective
            &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH) | (1u << CAP_FOWNER));
        m_lowered = syscall(SYS_capset, &m_header, lowered) == 0;
#endif
    }
    ~EnforcedFilePermissions()
    {
#if defined(__linux__)
        if (m_lowered)
            syscall(SYS_capset, &m_header, m_saved);
#endif
    }
    EnforcedFilePermissions(const EnforcedFilePermissions &) = delete;
    EnforcedFilePermissions &operator=(const EnforcedFilePermissions &) = delete;

private:
#if defined(__linux__)
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_lowered = false;
#endif
};

} // namespace tallyclock
