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
/// in a folder that takes new files, is written to a temporary file in that folder that has no name
/// (O_TMPFILE, mode 0600), flushed, given the old file's mode (and owner and group, where the
/// process may set them; a new file gets the mode the umask allows), and only then named: linked
/// under the target's name when there is no file of that name, else under a short name of its own
/// that is at once renamed over the target. A process that ends before that leaves nothing behind.
/// Where the file system makes no unnamed files, the temporary file gets its short name when it is
/// created; a SIGINT or SIGTERM then removes it before it ends the process (see TemporaryName).
///
/// Everything else is written in place, keeping the file itself: devices, FIFOs and other special
/// files receive the bytes as they come; a regular file with several links, one in a folder that
/// takes no new files, or one reached through a process's descriptor link (such as /dev/stdout)
/// has its report collected in an unnamed temporary file (beside it, else in the temporary folder),
/// then, once the length is known, has the room reserved, so that a full disk fails before a byte
/// changes, receives the bytes, is cut to the new length and flushed.
///
/// A descriptor link of this process (/dev/stdout, /dev/stderr, /dev/stdin, /dev/fd/N,
/// /proc/self/fd/N, /proc/<own pid>/fd/N, /proc/thread-self/fd/N, through any chain of links)
/// names the caller's file only when the process inherited that descriptor and it still refers to
/// the same open file (see InheritedDescriptor); any other, one the program opened itself or one
/// not open at all, is refused with "Bad file descriptor", so a save never writes into a file the
/// program holds. The process's other entries in /proc (its executable, memory, mapped files) are
/// refused as well. Another process's descriptor links are followed to the file they name.
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
