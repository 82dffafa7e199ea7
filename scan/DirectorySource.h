// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_DIRECTORYSOURCE_H
#define PELLAMY_SCAN_DIRECTORYSOURCE_H

#include "scan/FileEntry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace pellamy {

/// What a directory source reports of one entry. `Name` is valid only during the call that
/// receives it. For an entry with the directory bit only `Attributes` is filled: folders are
/// never accepted, so the source may skip reading their times and size.
struct DirectoryEntryView
{
    std::string_view Name;
    std::uint32_t Attributes = 0;
    FileTime CreationTime = 0;
    FileTime LastAccessTime = 0;
    FileTime LastWriteTime = 0;
    std::int64_t Size = 0;
};

/// Receives the entries of one enumeration, in the directory's own order.
class DirectorySink
{
public:
    virtual ~DirectorySink() = default;

    /// Asked once per name before the source reads the entry's details; a name answered with
    /// false is skipped without a metadata read. "." and ".." are never offered.
    virtual bool WantsName(std::string_view name) = 0;

    /// One entry whose name was wanted, with its attributes, times and size.
    virtual void Accept(const DirectoryEntryView& entry) = 0;

    /// Called now and then during long enumerations with the number of names read so far.
    virtual void Progress(std::uint64_t namesRead) { (void)namesRead; }

    /// Asked between batches of names: true ends the enumeration there, with
    /// `std::errc::operation_canceled`; the entries delivered before stay delivered.
    virtual bool StopRequested() const { return false; }
};

/// The operating system's view of folders: enumerates one folder and reads the attributes of a
/// path. Implementations live in platform/; tests hand the core fakes.
class DirectorySource
{
public:
    virtual ~DirectorySource() = default;

    /// Enumerates `folder` (with or without a trailing "/") and hands every entry to `sink` in
    /// directory order. Returns an error when the folder cannot be opened, when its entries
    /// cannot be examined (its names can be listed but not looked up: read without search
    /// permission; nothing is delivered then), or when reading it fails part-way; entries
    /// delivered before a failure stay delivered.
    virtual std::error_code Enumerate(const std::string& folder, DirectorySink& sink) = 0;

    /// The attribute bits of `path` itself, or `Attr::kInvalid` when they cannot be read.
    virtual std::uint32_t ReadAttributes(const std::string& path) = 0;
};

} // namespace pellamy

#endif
