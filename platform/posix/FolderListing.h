// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_FOLDERLISTING_H
#define PELLAMY_PLATFORM_POSIX_FOLDERLISTING_H

#include "shell/FolderSystem.h"

#include <string>
#include <system_error>

namespace pellamy {

/// Reads the entries of `folder`, leaving out "." and "..", hidden entries (names beginning with
/// ".") and system entries (devices, FIFOs, sockets), the same entries that a scan marks hidden or
/// system. Entry types come from the directory itself where the file system records them, so a
/// folder of many files costs no metadata read per file. A folder that cannot be read gives an
/// empty listing and, when `error` is given, the reason.
FolderListing ReadFolderListing(const std::string& folder, bool withFiles, std::error_code* error = nullptr);

} // namespace pellamy

#endif
