// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_PLATFORM_SECCOMPFILTERS_H
#define PELLAMY_TESTS_PLATFORM_SECCOMPFILTERS_H

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

// Kernel filters that put a child process (and the programs it starts) in the situations a save
// must survive, on the real system calls rather than through a seam: a file system that makes no
// unnamed files, and a save held in the middle so that a signal can end it there. A filter cannot
// be undone; install them in a forked child only.

namespace pellamy {

#if defined(__x86_64__)
constexpr unsigned kAuditArch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
constexpr unsigned kAuditArch = AUDIT_ARCH_AARCH64;
#else
constexpr unsigned kAuditArch = 0;
#endif

/// Whether this system can run the filters below.
inline bool SeccompFiltersAvailable()
{
    return kAuditArch != 0 && ::prctl(PR_GET_SECCOMP) >= 0;
}

inline int InstallSeccompFilter(sock_filter* code, unsigned short length, unsigned flags)
{
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) {
        return -1;
    }
    sock_fprog program = {length, code};
    return static_cast<int>(::syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, flags, &program));
}

/// Makes the system call `number` fail with `error` whenever the argument `argument` (counted
/// from 0) has any of `bits` set; with `argument` -1, every call. False when the filter could not
/// be installed.
inline bool RefuseSystemCall(long number, int error, int argument = -1, unsigned bits = 0)
{
    // An argument's low 32 bits are its first word on a little-endian machine.
    const unsigned argumentAt = static_cast<unsigned>(offsetof(seccomp_data, args)) +
                                static_cast<unsigned>(argument < 0 ? 0 : argument) * sizeof(std::uint64_t);
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kAuditArch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, static_cast<unsigned>(number), 0, 3),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, argumentAt),
        BPF_JUMP(BPF_JMP | BPF_JSET | BPF_K, argument < 0 ? ~0u : bits, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | static_cast<unsigned>(error)),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    if (argument < 0) {
        // Every call: straight to the refusal once the number matched.
        code[5] = BPF_STMT(BPF_LD | BPF_W | BPF_IMM, 1u);
    }
    return InstallSeccompFilter(code, sizeof code / sizeof code[0], 0) == 0;
}

/// Makes every open with O_TMPFILE fail with EOPNOTSUPP, as on a file system without unnamed files
/// (vfat, older NFS). False when the filter could not be installed.
inline bool RefuseUnnamedFiles()
{
    return RefuseSystemCall(SYS_openat, EOPNOTSUPP, 2, O_TMPFILE & ~O_DIRECTORY);
}

/// Makes every fsync wait until the supervisor holding the returned descriptor answers (or the
/// process ends): a save is held just before it commits, with its temporary file complete. -1 when
/// the filter could not be installed.
inline int StallFsync()
{
    sock_filter code[] = {
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, kAuditArch, 1, 0),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
        BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_fsync, 0, 1),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_USER_NOTIF),
        BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
    };
    return InstallSeccompFilter(code, sizeof code / sizeof code[0], SECCOMP_FILTER_FLAG_NEW_LISTENER);
}

/// Waits up to `timeoutMs` for a process under `StallFsync` to call fsync. Gives the id of the
/// waiting call (for `ContinueStalled`), or 0 when none came.
inline std::uint64_t WaitForStall(int listener, int timeoutMs = 30000)
{
    pollfd wait = {listener, POLLIN, 0};
    if (::poll(&wait, 1, timeoutMs) <= 0 || (wait.revents & POLLIN) == 0) {
        return 0;
    }
    seccomp_notif request;
    std::memset(&request, 0, sizeof request);
    if (::ioctl(listener, SECCOMP_IOCTL_NOTIF_RECV, &request) != 0) {
        return 0;
    }
    return request.id;
}

/// Lets the held call go on as if nothing had held it.
inline void ContinueStalled(int listener, std::uint64_t id)
{
    seccomp_notif_resp response;
    std::memset(&response, 0, sizeof response);
    response.id = id;
    response.flags = SECCOMP_USER_NOTIF_FLAG_CONTINUE;
    ::ioctl(listener, SECCOMP_IOCTL_NOTIF_SEND, &response);
}

/// Passes the descriptor `fd` over the socket `channel` to the process at its other end.
inline bool SendDescriptor(int channel, int fd)
{
    char byte = 0;
    iovec data = {&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message = {};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(header), &fd, sizeof fd);
    return ::sendmsg(channel, &message, 0) == 1;
}

/// The descriptor the other end of `channel` passed with `SendDescriptor`, or -1.
inline int ReceiveDescriptor(int channel)
{
    char byte = 0;
    iovec data = {&byte, 1};
    alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
    msghdr message = {};
    message.msg_iov = &data;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    if (::recvmsg(channel, &message, MSG_CMSG_CLOEXEC) != 1) {
        return -1;
    }
    const cmsghdr* header = CMSG_FIRSTHDR(&message);
    if (header == nullptr || header->cmsg_type != SCM_RIGHTS) {
        return -1;
    }
    int fd = -1;
    std::memcpy(&fd, CMSG_DATA(header), sizeof fd);
    return fd;
}

} // namespace pellamy

#endif
