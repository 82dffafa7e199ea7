// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_POSIXFILEOPERATIONS_H
#define PELLAMY_PLATFORM_POSIX_POSIXFILEOPERATIONS_H

#include "shell/FileOperations.h"

namespace pellamy {

/// File copy, move and delete with POSIX calls, never through a shell.
///
/// A copy is written under a short temporary name beside the destination (mode 0600 meanwhile),
/// given the source's permission bits and access and modification times, flushed with `fsync`,
/// checked against the source's size, and only then renamed to the destination: with
/// `RENAME_NOREPLACE` (or a hard link where the file system lacks it) when nothing may be
/// replaced, so an existing file is never overwritten unasked. On any failure the temporary file
/// is removed and the destination is as it was. A link is copied as the file it points to; a
/// folder, device, FIFO or socket is refused.
///
/// A move within one file system is a rename (`renameat2` with `RENAME_NOREPLACE` unless replacing
/// is allowed); across file systems it is the copy above followed by the removal of the source,
/// so the source goes only once its copy is complete. Delete is `unlink`.
class PosixFileOperations final : public FileOperations
{
public:
    std::error_code Copy(const std::string& source, const std::string& destination,
                         bool failIfExists) override;
    std::error_code Move(const std::string& source, const std::string& destination,
                         bool replaceExisting) override;
    std::error_code Remove(const std::string& path) override;
};

} // namespace pellamy

#endif
