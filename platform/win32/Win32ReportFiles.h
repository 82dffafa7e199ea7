// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_WIN32REPORTFILES_H
#define PELLAMY_PLATFORM_WIN32_WIN32REPORTFILES_H

#include "reports/ReportFiles.h"

namespace pellamy {

/// Saves reports on Windows without ever leaving a half-written report or destroying what the name
/// pointed at. The report is written to a new file of its own beside the target (created
/// exclusively), flushed, and then put in the target's place: over an existing file with
/// `ReplaceFileW`, which keeps the old file's attributes and security, else (and where that call
/// fails) with `MoveFileExW` and MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH. A name that
/// is a device rather than a disk file (NUL, CON) receives the bytes as they come.
///
/// A folder, a read-only file, a folder that does not exist or refuses the new file: the open fails
/// with "Cannot create file "%s". %s", the full path and the reason, and nothing is changed.
class Win32ReportFiles final : public ReportFiles
{
public:
    Opened Open(const std::string& path) const override;
};

} // namespace pellamy

#endif
