// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/InheritedDescriptors.h"

#include "platform/posix/DirectoryRecords.h"
#include "platform/posix/UniqueFd.h"

#include <cstddef>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellamy {
namespace {

struct Recorded
{
    int Fd;
    DescriptorIdentity Identity;
};

// Filled before the program's constructors run, so only constant-initialised storage: nothing here
// may have a constructor that would run later and wipe it. Descriptors past the capacity are not
// recorded and so count as the program's own, which refuses more than needed but never less.
constexpr std::size_t kCapacity = 1024;
constinit Recorded g_recorded[kCapacity] = {};
constinit std::size_t g_count = 0;

void Record(int fd)
{
    if (g_count < kCapacity) {
        if (const auto identity = IdentityOfDescriptor(fd)) {
            g_recorded[g_count++] = Recorded{fd, *identity};
        }
    }
}

// Every open descriptor, from the process's descriptor folder when /proc is there, else by asking
// for each number up to the descriptor limit. No allocation: the C++ runtime is not up yet.
void RecordInheritedDescriptors(int, char**, char**)
{
    UniqueFd folder(::open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) {
        alignas(8) char buffer[4096];
        long n = 0;
        while ((n = ReadDirectoryRecords(folder.Get(), buffer, sizeof buffer)) > 0) {
            for (long at = 0; at < n;) {
                const auto* record = reinterpret_cast<const LinuxDirent64*>(buffer + at);
                at += record->d_reclen;
                int fd = 0;
                const char* digit = record->d_name;
                for (; *digit >= '0' && *digit <= '9' && fd < 100000000; ++digit) {
                    fd = fd * 10 + (*digit - '0');
                }
                if (digit != record->d_name && *digit == '\0' && fd != folder.Get()) {
                    Record(fd);
                }
            }
        }
        folder.Close();
        if (n == 0) {
            return;
        }
        g_count = 0;
    }
    rlimit limit = {};
    int highest = 1024;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        highest = static_cast<int>(limit.rlim_cur < 65536 ? limit.rlim_cur : 65536);
    }
    for (int fd = 0; fd < highest; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1) {
            Record(fd);
        }
    }
}

// The executable's pre-initialisation array runs after the C library is set up and before the
// constructors of every shared library and of the program, which is the earliest point where the
// descriptors still are exactly those the process was started with.
__attribute__((section(".preinit_array"), used)) void (*const kRecordInheritedDescriptors)(int, char**, char**) =
    &RecordInheritedDescriptors;

} // namespace

std::optional<DescriptorIdentity> IdentityOfDescriptor(int fd)
{
    struct stat status = {};
    if (::fstat(fd, &status) != 0) {
        return std::nullopt;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags == -1) {
        return std::nullopt;
    }
    // O_PATH descriptors carry no access mode of their own; keeping the flag tells them apart.
    return DescriptorIdentity{status.st_dev, status.st_ino, status.st_mode & S_IFMT, flags & (O_ACCMODE | O_PATH)};
}

std::optional<DescriptorIdentity> InheritedDescriptor(int fd)
{
    for (std::size_t i = 0; i < g_count; ++i) {
        if (g_recorded[i].Fd == fd) {
            const auto now = IdentityOfDescriptor(fd);
            if (now && *now == g_recorded[i].Identity) {
                return now;
            }
            return std::nullopt;
        }
    }
    return std::nullopt;
}

} // namespace pellamy
