// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FileCommands.h"

#include <string>
#include <utility>

namespace pellamy {
namespace {

std::string FailureMessage(std::string_view verb, const std::string& source, const std::string& destination,
                           const std::error_code& error)
{
    return "Cannot " + std::string(verb) + " \"" + source + "\" to \"" + destination + "\". " +
           error.message();
}

} // namespace

std::string OverwriteQuestion(std::string_view fileName)
{
    return std::string(fileName) + " exists at destination. Do you want to overwrite?";
}

std::string_view FileNamePart(std::string_view path)
{
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string DestinationPath(std::string_view folder, std::string_view source)
{
    std::string destination(folder);
    if (destination.empty() || destination.back() != '/') {
        destination.push_back('/');
    }
    destination += FileNamePart(source);
    return destination;
}

FileCommands::FileCommands(FileOperations& operations, Questions& questions, FolderChooser chooseFolder,
                           FailureReport reportFailure)
    : m_operations(operations)
    , m_questions(questions)
    , m_chooseFolder(std::move(chooseFolder))
    , m_reportFailure(std::move(reportFailure))
{}

void FileCommands::Transfer(Operation operation, const std::vector<SelectedFile>& files,
                            const std::string& folder)
{
    const std::string_view verb = operation == Operation::Copy ? "copy" : "move";
    for (const SelectedFile& file : files) {
        const std::string& source = file.Path;
        const auto attempt = [&](const std::string& destination, bool replace) {
            return operation == Operation::Copy ? m_operations.Copy(source, destination, !replace, file.Listed)
                                                : m_operations.Move(source, destination, replace, file.Listed);
        };
        const std::string destination = DestinationPath(folder, source);
        std::error_code error = attempt(destination, false);
        if (!error) {
            continue;
        }
        if (error != std::errc::file_exists) {
            m_reportFailure(FailureMessage(verb, source, destination, error));
            continue;
        }
        if (!m_questions.AskYesNo(OverwriteQuestion(FileNamePart(source)), std::string(kOverwriteCaption))) {
            continue;
        }
        error = attempt(destination, true);
        if (error) {
            m_reportFailure(FailureMessage(verb, source, destination, error));
        }
    }
}

void FileCommands::CopyTo(const ListRows& fileRows, std::string_view currentFolder)
{
    if (SelectedRowCount(fileRows) == 0) {
        return;
    }
    const std::vector<SelectedFile> files = SelectedFiles(fileRows, currentFolder);
    if (files.empty()) {
        return;
    }
    if (const auto folder = m_chooseFolder()) {
        Transfer(Operation::Copy, files, *folder);
    }
}

ListsAfter FileCommands::MoveTo(const ListRows& fileRows, std::string_view currentFolder)
{
    if (fileRows.RowCount() == 0) {
        return ListsAfter::Unchanged;
    }
    const std::vector<SelectedFile> files = SelectedFiles(fileRows, currentFolder);
    if (!files.empty()) {
        if (const auto folder = m_chooseFolder()) {
            Transfer(Operation::Move, files, *folder);
        }
    }
    return ListsAfter::Rebuild;
}

ListsAfter FileCommands::Delete(const ListRows& fileRows, std::string_view currentFolder)
{
    if (!m_questions.AskYesNo(std::string(kDeleteQuestion), std::string(kDeleteCaption))) {
        return ListsAfter::Unchanged;
    }
    if (fileRows.RowCount() == 0) {
        return ListsAfter::Unchanged;
    }
    for (const std::string& path : SelectedFilePaths(fileRows, currentFolder)) {
        // A file that cannot be deleted (gone already, or protected) leaves the others to go.
        (void)m_operations.Remove(path);
    }
    return ListsAfter::Rebuild;
}

} // namespace pellamy
