// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_FOLDERACCESS_H
#define PELLAMY_PLATFORM_POSIX_FOLDERACCESS_H

#include "platform/WorkingFolder.h"

#include <string>

namespace pellamy {

// Folder paths here are the file system's own bytes, whatever their encoding, so that a name
// that is not valid UTF-8 is entered, tested and created exactly as it is stored.

/// Whether `path` names a folder (following links).
bool IsFolder(const std::string& path);

/// Whether `path` names a folder that may be entered (search permission).
bool CanEnterFolder(const std::string& path);

/// Makes `folder` the process's working directory. False when it is not a folder or cannot be
/// entered (no access, no medium); the working directory then stays.
bool SetWorkingFolder(const std::string& folder);

/// Creates `folder` together with every missing parent. False when a part could not be made.
bool MakeFolders(const std::string& folder);

} // namespace pellamy

#endif
