// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_REPORTFILES_H
#define PELLAMY_REPORTS_REPORTFILES_H

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace pellamy {

/// One report being written to a file. The bytes given to `Write` become the file's content only
/// when `Commit` succeeds; until then the file keeps its earlier content. Destroying a writer that
/// was not committed (or whose commit failed) leaves the earlier file exactly as it was and removes
/// every temporary file the writer made.
class ReportFileWriter
{
public:
    ReportFileWriter() = default;
    ReportFileWriter(const ReportFileWriter&) = delete;
    ReportFileWriter& operator=(const ReportFileWriter&) = delete;
    virtual ~ReportFileWriter() = default;

    /// Appends `bytes` to the report; may be called any number of times, so a report can be given
    /// row by row. Returns "Stream write error" when the bytes could not all be stored (a full
    /// disk, an I/O error); every later `Write` and `Commit` then fails with the same message.
    virtual std::optional<std::string> Write(std::string_view bytes) = 0;

    /// Makes the bytes written so far the file's content, flushed to the disk. Returns the message
    /// for the user on failure ("Stream write error", or "Cannot create file "%s". %s"), after
    /// which the earlier file is as it was. A writer is committed at most once.
    virtual std::optional<std::string> Commit() = 0;
};

/// Where reports are saved: the file system of the platform. `Open` prepares a writer for the
/// file a name stands for.
class ReportFiles
{
public:
    /// A writer ready for the report, or the message for the user.
    using Opened = std::variant<std::unique_ptr<ReportFileWriter>, std::string>;

    ReportFiles() = default;
    ReportFiles(const ReportFiles&) = delete;
    ReportFiles& operator=(const ReportFiles&) = delete;
    virtual ~ReportFiles() = default;

    /// Prepares to write the file `path` (relative names count from the working folder). Fails,
    /// changing nothing, with "Cannot create file "%s". %s" (the full path and the system's reason)
    /// when the file cannot be written: a folder, a file without any write permission, a folder
    /// that does not exist or refuses the new file.
    virtual Opened Open(const std::string& path) const = 0;
};

/// Writes `bytes` as the whole content of the file `path` through `files`: open, one write,
/// commit. Returns nothing on success, else the message for the user; on failure the earlier file
/// is left as it was.
std::optional<std::string> WriteFileReplacing(const ReportFiles& files, const std::string& path,
                                              std::string_view bytes);

} // namespace pellamy

#endif
