// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_POSIXFILEOPERATIONS_H
#define PELLAMY_PLATFORM_POSIX_POSIXFILEOPERATIONS_H

#include "shell/FileOperations.h"

namespace pellamy {

/// File copy, move and delete with POSIX calls, never through a shell.
///
/// A copy is written under a short temporary name beside the destination (mode 0600 meanwhile),
/// only the ranges that hold data, so that a sparse file keeps its holes; it is given the source's
/// permission bits and access and modification times, flushed with `fsync`, checked against the
/// source's size, and only then renamed to the destination: with `RENAME_NOREPLACE` (or a hard
/// link where the file system lacks it) when nothing may be replaced, so an existing file is never
/// overwritten unasked. On any failure the temporary file is removed and the destination is as it
/// was. The source is opened without following a link, and must still be the entry examined, so a
/// link put in a listed file's place is never followed; a link that was listed as such is copied
/// as the file it leads to. A folder, device, FIFO or socket is refused.
///
/// A move within one file system is a rename (`renameat2` with `RENAME_NOREPLACE` unless replacing
/// is allowed); across file systems it is the copy above (a link is made again as a link) followed
/// by the removal of the source. A replaced destination is kept under the temporary name, by an
/// exchange of the two names, until the source is gone; when the source cannot be removed, the
/// copy is taken back and the destination restored. A copy or move of a file onto itself, by any
/// path, does nothing. Delete is `unlink`.
class PosixFileOperations final : public FileOperations
{
public:
    std::error_code Copy(const std::string& source, const std::string& destination, bool failIfExists,
                         const std::optional<ListedFile>& listed) override;
    std::error_code Move(const std::string& source, const std::string& destination, bool replaceExisting,
                         const std::optional<ListedFile>& listed) override;
    std::error_code Remove(const std::string& path) override;
};

} // namespace pellamy

#endif
