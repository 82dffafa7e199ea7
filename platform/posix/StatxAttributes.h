// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_STATXATTRIBUTES_H
#define PELLAMY_PLATFORM_POSIX_STATXATTRIBUTES_H

#include "scan/DirectorySource.h"

#include <string_view>
#include <sys/stat.h>

namespace pellamy {

/// The statx fields an entry's description needs.
inline constexpr unsigned kEntryStatMask =
    STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;

/// What one entry's statx result tells: its attributes, times and size, without its name.
/// Attributes 0 stands for an entry that vanished or could not be read, since every entry
/// described has at least one bit set.
struct StatxDetails
{
    std::uint32_t Attributes;
    FileTime CreationTime;
    FileTime LastAccessTime;
    FileTime LastWriteTime;
    std::int64_t Size;
};

/// Fills `out` from `sx`, the statx result of an entry whose name is `hidden` (begins with ".",
/// and is neither "." nor ".."), or not: read-only when no write permission bit is set or the file is immutable; hidden when the
/// name begins with "."; system for devices, FIFOs and sockets; directory for a folder, or for a
/// link when `linkTargetIsFolder`; archive for every entry that is not a folder; compressed where
/// the file system reports it. A link is described by itself (size 0, its own times). The creation
/// time is the birth time where the file system records one, else the earliest of the change,
/// write and access times.
void DescribeStatx(const struct statx& sx, bool hidden, bool linkTargetIsFolder, StatxDetails& out);

/// The same description into a directory entry, for an entry called `name`.
void DescribeStatx(const struct statx& sx, std::string_view name, bool linkTargetIsFolder,
                   DirectoryEntryView& out);

/// Whether `name` is a hidden entry's: it begins with "." and is neither "." nor "..".
bool IsHiddenName(std::string_view name);

/// For a link (`sx` describes the link itself, found at `path` relative to `dirFd`), whether what
/// it points to is a folder. False for anything else, and for a dangling link.
bool LinkTargetIsFolder(int dirFd, const char* path, const struct statx& sx);

} // namespace pellamy

#endif
