// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_DIRECTORYRECORDS_H
#define PELLAMY_PLATFORM_POSIX_DIRECTORYRECORDS_H

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <sys/syscall.h>
#include <unistd.h>

namespace pellamy {

/// The kernel's record layout for getdents64; glibc declares no type for it.
struct LinuxDirent64
{
    std::uint64_t d_ino;
    std::int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

/// Reads the next directory records of `dirFd` into `buffer` (8-byte aligned, since the kernel
/// writes records with 64-bit fields into it), again after an interrupted call. Returns the bytes
/// read, 0 at the end of the folder, or -1 with `errno` set.
inline long ReadDirectoryRecords(int dirFd, char* buffer, std::size_t size)
{
    long n = 0;
    do {
        n = ::syscall(SYS_getdents64, dirFd, buffer, size);
    } while (n < 0 && errno == EINTR);
    return n;
}

/// Whether a record's name is "." or "..", which no listing hands on.
inline bool IsDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

} // namespace pellamy

#endif
