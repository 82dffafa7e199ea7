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

/// Fills the attributes, times and size of `out` from `sx`, the statx result of an entry called
/// `name`: read-only when no write permission bit is set or the file is immutable; hidden when the
/// name begins with "."; system for devices, FIFOs and sockets; directory for a folder, or for a
/// link when `linkTargetIsFolder`; archive for every entry that is not a folder; compressed where
/// the file system reports it. A link is described by itself (size 0, its own times). The creation
/// time is the birth time where the file system records one, else the earliest of the change,
/// write and access times.
void DescribeStatx(const struct statx& sx, std::string_view name, bool linkTargetIsFolder,
                   DirectoryEntryView& out);

/// For a link (`sx` describes the link itself, found at `path` relative to `dirFd`), whether what
/// it points to is a folder. False for anything else, and for a dangling link.
bool LinkTargetIsFolder(int dirFd, const char* path, const struct statx& sx);

} // namespace pellamy

#endif
