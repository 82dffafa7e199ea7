// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_POSIXREPORTFILES_H
#define PELLAMY_PLATFORM_POSIX_POSIXREPORTFILES_H

#include "reports/ReportFiles.h"

namespace pellamy {

/// Saves reports on a POSIX file system without ever leaving a half-written report or destroying
/// what the name pointed at.
///
/// Symbolic links are followed: the file at the end of the chain is the one written, and a
/// dangling link creates the file it names. A new file, or an existing regular file with one link
/// in a folder that takes new files, is written under a short temporary name of its own beside it
/// (created exclusively, mode 0600 while written), flushed, given the old file's mode (and owner
/// and group, where the process may set them; a new file gets the mode the umask allows) and
/// renamed over it. Everything else is written in place, keeping the file itself: devices, FIFOs
/// and other special files receive the bytes as they come; a regular file with several links, one
/// in a folder that takes no new files, or one reached through a process's descriptor link (such as
/// /dev/stdout) has its report collected in an unnamed temporary file (beside it, else in the
/// temporary folder), then, once the length is known, has the room reserved, so that a full disk
/// fails before a byte changes, receives the bytes, is cut to the new length and flushed.
///
/// A file without any write permission bit is refused as read-only, even where the system would
/// let the process write it; a write-only file is accepted.
class PosixReportFiles final : public ReportFiles
{
public:
    Opened Open(const std::string& path) const override;
};

} // namespace pellamy

#endif
