// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/StatxAttributes.h"

#include "lists/DisplayTexts.h"

#include <algorithm>
#include <fcntl.h>

namespace pellamy {
namespace {

FileTime ToFileTime(const struct statx_timestamp& ts)
{
    return FileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
}

bool EarlierTimestamp(const struct statx_timestamp& a, const struct statx_timestamp& b)
{
    return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_nsec < b.tv_nsec;
}

} // namespace

bool IsHiddenName(std::string_view name)
{
    return !name.empty() && name.front() == '.' && name != "." && name != "..";
}

void DescribeStatx(const struct statx& sx, std::string_view name, bool linkTargetIsFolder,
                   DirectoryEntryView& out)
{
    StatxDetails details{};
    DescribeStatx(sx, IsHiddenName(name), linkTargetIsFolder, details);
    out.Attributes = details.Attributes;
    out.CreationTime = details.CreationTime;
    out.LastAccessTime = details.LastAccessTime;
    out.LastWriteTime = details.LastWriteTime;
    out.Size = details.Size;
}

void DescribeStatx(const struct statx& sx, bool hidden, bool linkTargetIsFolder, StatxDetails& out)
{
    std::uint32_t attrs = hidden ? Attr::kHidden : 0;
    const unsigned type = sx.stx_mode & S_IFMT;
    bool folder = false;
    if (type == S_IFDIR) {
        folder = true;
    } else if (type == S_IFLNK) {
        folder = linkTargetIsFolder;
    } else if (type == S_IFCHR || type == S_IFBLK || type == S_IFIFO || type == S_IFSOCK) {
        attrs |= Attr::kSystem;
    }
    attrs |= folder ? Attr::kDirectory : Attr::kArchive;
    const bool immutable = (sx.stx_attributes_mask & STATX_ATTR_IMMUTABLE) != 0 &&
                           (sx.stx_attributes & STATX_ATTR_IMMUTABLE) != 0;
    if (type != S_IFLNK && ((sx.stx_mode & 0222) == 0 || immutable)) {
        attrs |= Attr::kReadOnly;
    }
    if ((sx.stx_attributes_mask & STATX_ATTR_COMPRESSED) != 0 &&
        (sx.stx_attributes & STATX_ATTR_COMPRESSED) != 0) {
        attrs |= Attr::kCompressed;
    }
    constexpr std::uint32_t kAnyShown = Attr::kReadOnly | Attr::kHidden | Attr::kSystem | Attr::kDirectory |
                                        Attr::kArchive | Attr::kCompressed;
    if ((attrs & kAnyShown) == 0) {
        attrs |= Attr::kNormal;
    }
    out.Attributes = attrs;
    out.Size = (type == S_IFREG) ? static_cast<std::int64_t>(sx.stx_size) : 0;
    out.LastAccessTime = ToFileTime(sx.stx_atime);
    out.LastWriteTime = ToFileTime(sx.stx_mtime);
    if ((sx.stx_mask & STATX_BTIME) != 0 && (sx.stx_btime.tv_sec != 0 || sx.stx_btime.tv_nsec != 0)) {
        out.CreationTime = ToFileTime(sx.stx_btime);
    } else {
        // The earliest is taken of the system's own times, so that one before 1601 (which has no
        // file time) still counts as the earliest.
        out.CreationTime = ToFileTime(std::min({sx.stx_ctime, sx.stx_mtime, sx.stx_atime}, EarlierTimestamp));
    }
}

bool LinkTargetIsFolder(int dirFd, const char* path, const struct statx& sx)
{
    if ((sx.stx_mode & S_IFMT) != S_IFLNK) {
        return false;
    }
    struct statx target
    {};
    return ::statx(dirFd, path, AT_NO_AUTOMOUNT, STATX_TYPE, &target) == 0 &&
           (target.stx_mode & S_IFMT) == S_IFDIR;
}

} // namespace pellamy
