// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_FILEOPERATIONS_H
#define PELLAMY_SHELL_FILEOPERATIONS_H

#include <string>
#include <system_error>

namespace pellamy {

/// Copies, moves and deletes single files: the operating system's calls in the program, a fake in
/// tests. Each returns the system's error (empty on success) and never throws. An operation that
/// fails leaves no partial file behind and replaces nothing it was not asked to replace.
class FileOperations
{
public:
    virtual ~FileOperations() = default;

    /// Copies the file `source` to `destination`, with its permission bits and times. The copy
    /// counts as done only once it is complete and flushed to disk; until then the destination is
    /// untouched. With `failIfExists`, an existing destination is never replaced and the result
    /// is `std::errc::file_exists`.
    virtual std::error_code Copy(const std::string& source, const std::string& destination,
                                 bool failIfExists) = 0;

    /// Moves the file `source` to `destination`, on another file system too. Without
    /// `replaceExisting`, an existing destination is never replaced and the result is
    /// `std::errc::file_exists`. Across file systems the source is removed only after its copy is
    /// complete, flushed and of the source's size; on failure the source stays whole.
    virtual std::error_code Move(const std::string& source, const std::string& destination,
                                 bool replaceExisting) = 0;

    /// Deletes the file `path` outright.
    virtual std::error_code Remove(const std::string& path) = 0;
};

} // namespace pellamy

#endif
