// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_FILEENTRY_H
#define PELLAMY_SCAN_FILEENTRY_H

#include <cstdint>
#include <string>
#include <vector>

namespace pellamy {

/// Attribute bits of a directory entry. The values are the ones the program's reports and filters
/// have always used, so that the same letters and masks mean the same thing on every system.
namespace Attr {
inline constexpr std::uint32_t kReadOnly = 1;
inline constexpr std::uint32_t kHidden = 2;
inline constexpr std::uint32_t kSystem = 4;
inline constexpr std::uint32_t kVolumeLabel = 8;
inline constexpr std::uint32_t kDirectory = 16;
inline constexpr std::uint32_t kArchive = 32;
inline constexpr std::uint32_t kNormal = 128;
inline constexpr std::uint32_t kCompressed = 2048;
/// What an attribute read that failed reports: every bit set.
inline constexpr std::uint32_t kInvalid = 0xFFFFFFFFu;
} // namespace Attr

/// A file time: 100-nanosecond intervals since 1601-01-01 00:00 UTC.
using FileTime = std::uint64_t;

/// The file time that stands for "no time": a time that no file time can hold (before 1601, or
/// too far ahead). Every conversion gives it the empty text (and `null` in JSON).
inline constexpr FileTime kNoFileTime = UINT64_MAX;

/// One accepted directory entry. `Name` holds the entry's name exactly as the file system gives it
/// (any bytes but "/" and NUL; usually UTF-8), without its folder.
struct FileEntry
{
    std::string Name;
    std::uint32_t Attributes = 0;
    FileTime CreationTime = 0;
    FileTime LastAccessTime = 0;
    FileTime LastWriteTime = 0;
    std::int64_t Size = 0;
};

/// What a file list showed of one file: enough for a later command on that row to tell whether its
/// name still leads to the file that was listed. A link is listed as itself: size 0, its own times.
struct ListedFile
{
    std::int64_t Size = 0;
    FileTime LastWriteTime = 0;
};

/// The entries one scan accepted, in directory order.
using ScanResults = std::vector<FileEntry>;

} // namespace pellamy

#endif
