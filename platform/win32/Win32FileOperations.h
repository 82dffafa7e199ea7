// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_WIN32FILEOPERATIONS_H
#define PELLAMY_PLATFORM_WIN32_WIN32FILEOPERATIONS_H

#include "shell/FileOperations.h"

#include <string>

namespace pellamy {

/// Copy, move and delete through the Windows API: `CopyFileW` (fail-if-exists as asked),
/// `MoveFileExW` with MOVEFILE_COPY_ALLOWED (and MOVEFILE_REPLACE_EXISTING when replacing is
/// asked for; MOVEFILE_WRITE_THROUGH, so a move to another volume is on the disk before it
/// counts as done), and `DeleteFileW`. An existing destination that was not to be replaced gives
/// `std::errc::file_exists`; other failures the system's error. With what the list showed of the
/// source, a source whose size differs from it, or a link whose write time does, is refused before
/// anything is copied or moved.
class Win32FileOperations final : public FileOperations
{
public:
    std::error_code Copy(const std::string& source, const std::string& destination, bool failIfExists,
                         const std::optional<ListedFile>& listed) override;
    std::error_code Move(const std::string& source, const std::string& destination, bool replaceExisting,
                         const std::optional<ListedFile>& listed) override;
    std::error_code Remove(const std::string& path) override;
};

/// Asks the shell to carry out the default action of `path` (open a file with its program, a
/// folder in a window): `ShellExecuteW` without owner or verb, SW_SHOWNORMAL. Returns at once;
/// the error when the shell refused.
std::error_code OpenWithShell(const std::string& path);

} // namespace pellamy

#endif
