// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_FILECOMMANDS_H
#define PELLAMY_SHELL_FILECOMMANDS_H

#include "lists/ListRows.h"
#include "shell/FileOperations.h"
#include "shell/SelectedFiles.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

/// The question asked before a copy or move replaces a file, and its caption.
std::string OverwriteQuestion(std::string_view fileName);
inline constexpr std::string_view kOverwriteCaption = "FILE ALREADY EXISTS";

/// The question asked before files are deleted (it has no question mark), and its caption.
inline constexpr std::string_view kDeleteQuestion = "Are you sure you want to delete these files";
inline constexpr std::string_view kDeleteCaption = "Deleting Files";

/// The file name part of `path`: what follows its last "/" (all of it when it has none).
std::string_view FileNamePart(std::string_view path);

/// Where a copy or move of `source` into `folder` goes: `folder`, with a "/" added when it does
/// not end in one, followed by the file name part of `source`.
std::string DestinationPath(std::string_view folder, std::string_view source);

/// Asks the user a modal Yes/No question: the window's message box in the program, a fake in tests.
class Questions
{
public:
    virtual ~Questions() = default;

    /// Shows `question` under `caption`; true when the answer is Yes.
    virtual bool AskYesNo(const std::string& question, const std::string& caption) = 0;
};

/// Lets the user choose the destination folder; nothing when the choice was cancelled.
using FolderChooser = std::function<std::optional<std::string>()>;

/// Tells the user that a file operation failed; the message names the files and gives the
/// system's reason.
using FailureReport = std::function<void(const std::string& message)>;

/// What the caller does with the two lists once a command is over.
enum class ListsAfter {
    Unchanged, ///< Nothing to do: the folder's contents were not changed by the command.
    Rebuild,   ///< Run the summary again, then the file listing with the current pattern.
};

/// The copy, move and delete commands of the file list over the displayed rows. They read the rows
/// as shown (the selected ones, in the list's current order), ask through `Questions`, act through
/// `FileOperations`, and tell the caller whether the lists must be rebuilt; they never touch the
/// lists themselves. Replacing a file is always asked first, and only when the destination
/// exists; every other failure of a copy or move, and a failed second attempt, goes to the
/// failure report with the system's reason.
class FileCommands
{
public:
    FileCommands(FileOperations& operations, Questions& questions, FolderChooser chooseFolder,
                 FailureReport reportFailure);

    /// Copies the selected files into a folder the user chooses. Nothing happens when no row is
    /// selected or the choice is cancelled. An existing file of the same name is replaced only
    /// when the user answers Yes to the overwrite question; No goes on with the next file.
    /// The folder shown does not change, so the lists stay as they are.
    void CopyTo(const ListRows& fileRows, std::string_view currentFolder);

    /// Moves the selected files into a folder the user chooses, asking as the copy does. Nothing
    /// happens when the list has no rows at all; otherwise the lists are rebuilt afterwards,
    /// whatever happened: also when no row was selected (no folder is asked for then) and when
    /// the choice was cancelled.
    ListsAfter MoveTo(const ListRows& fileRows, std::string_view currentFolder);

    /// Asks whether to delete, then deletes the selected files outright, in order. A file that
    /// cannot be deleted is skipped silently and does not stop the others. Unless the answer is
    /// Yes, or when the list has no rows, nothing happens; otherwise the lists are rebuilt, also
    /// when no row was selected.
    ListsAfter Delete(const ListRows& fileRows, std::string_view currentFolder);

private:
    enum class Operation { Copy, Move };
    void Transfer(Operation operation, const std::vector<SelectedFile>& files, const std::string& folder);

    FileOperations& m_operations;
    Questions& m_questions;
    FolderChooser m_chooseFolder;
    FailureReport m_reportFailure;
};

} // namespace pellamy

#endif
