// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_FILEOPERATIONS_H
#define PELLAMY_SHELL_FILEOPERATIONS_H

#include "scan/FileEntry.h"

#include <optional>
#include <string>
#include <system_error>

namespace pellamy {

/// The reasons of file operations that the system has no words for.
enum class FileOperationError {
    /// The name no longer leads to the file that was listed (a link was put in its place, or its
    /// size changed): listing the folder again shows what is there now.
    ChangedSinceListed = 1,
};

/// The error category of `FileOperationError`.
const std::error_category& FileOperationCategory();

inline std::error_code make_error_code(FileOperationError error)
{
    return {static_cast<int>(error), FileOperationCategory()};
}

/// Copies, moves and deletes single files: the operating system's calls in the program, a fake in
/// tests. Each returns the system's error (empty on success) and never throws. An operation that
/// fails leaves no partial file behind and replaces nothing it was not asked to replace. Copying
/// or moving a file onto itself (the same file by another path) does nothing and succeeds.
///
/// `listed`, when given, is what the file list showed of `source`: a copy then refuses with
/// `FileOperationError::ChangedSinceListed` a name that now leads elsewhere (a link put in the
/// file's place since, a file of another size), so that what is copied is the file the user chose.
class FileOperations
{
public:
    virtual ~FileOperations() = default;

    /// Copies the file `source` to `destination`, with its permission bits and times. The copy
    /// counts as done only once it is complete and flushed to disk; until then the destination is
    /// untouched. With `failIfExists`, an existing destination is never replaced and the result
    /// is `std::errc::file_exists`.
    virtual std::error_code Copy(const std::string& source, const std::string& destination, bool failIfExists,
                                 const std::optional<ListedFile>& listed) = 0;

    /// Moves the file `source` to `destination`, on another file system too. Without
    /// `replaceExisting`, an existing destination is never replaced and the result is
    /// `std::errc::file_exists`. Across file systems the source is removed only after its copy is
    /// complete, flushed and of the source's size; when the source cannot be removed, the copy is
    /// taken back (and a replaced destination restored) and the result is the system's reason:
    /// a file is never left in both places, nor in neither.
    virtual std::error_code Move(const std::string& source, const std::string& destination,
                                 bool replaceExisting, const std::optional<ListedFile>& listed) = 0;

    /// Deletes the file `path` outright.
    virtual std::error_code Remove(const std::string& path) = 0;
};

} // namespace pellamy

template <>
struct std::is_error_code_enum<pellamy::FileOperationError> : std::true_type
{};

#endif
