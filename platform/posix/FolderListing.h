// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_FOLDERLISTING_H
#define PELLAMY_PLATFORM_POSIX_FOLDERLISTING_H

#include <string>
#include <system_error>
#include <vector>

namespace pellamy {

/// The visible entries of one folder, as the folder lists show them: names only, in the
/// directory's own order.
struct FolderListing
{
    std::vector<std::string> Folders; ///< sub-folders, links to folders included
    std::vector<std::string> Files;   ///< files and dangling links; filled only when asked for
};

/// Reads the entries of `folder`, leaving out "." and "..", hidden entries (names beginning with
/// ".") and system entries (devices, FIFOs, sockets), the same entries that a scan marks hidden or
/// system. Entry types come from the directory itself where the file system records them, so a
/// folder of many files costs no metadata read per file. A folder that cannot be read gives an
/// empty listing and, when `error` is given, the reason.
FolderListing ReadFolderListing(const std::string& folder, bool withFiles, std::error_code* error = nullptr);

} // namespace pellamy

#endif
