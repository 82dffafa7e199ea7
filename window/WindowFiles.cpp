// SPDX-License-Identifier: GPL-3.0-or-later
// The file commands of both popup menus: the selected files to the clipboard for pasting in a file
// manager, opening a file or the folder with the desktop's application, the file's properties, and
// the copy, move and delete commands.

#include "shell/ClipboardFiles.h"
#include "shell/FileCommands.h"
#include "shell/SelectedFiles.h"
#include "window/WindowCore.h"

namespace pellamy {
namespace {

// The file commands' Yes/No questions, asked by the window.
class ViewQuestions final : public Questions
{
public:
    explicit ViewQuestions(WindowView& view)
        : m_view(view)
    {}

    bool AskYesNo(const std::string& question, const std::string& caption) override
    {
        return m_view.AskYesNo(question, caption);
    }

private:
    WindowView& m_view;
};

} // namespace

bool WindowCore::PutFilesOnClipboard()
{
    ReadSelection(WindowList::Files);
    const std::vector<std::string> paths = SelectedFilePaths(m_fileRows, m_currentFolder);
    if (paths.empty()) {
        return false;
    }
    return m_view.PutOnClipboard(FileClipboardTargets(paths, m_currentFolder));
}

void WindowCore::Copyfiles1Click()
{
    PutFilesOnClipboard();
}

void WindowCore::OpenWithShell(const std::string& path)
{
    m_view.Open(path, [this, path](const std::string& reason) {
        m_view.ShowMessage("Cannot open \"" + path + "\". " + reason);
    });
}

void WindowCore::LView2DblClick()
{
    ReadSelection(WindowList::Files);
    if (const auto path = FirstSelectedFilePath(m_fileRows, m_currentFolder)) {
        OpenWithShell(*path);
    }
}

void WindowCore::OpenfolderinExplorer1Click()
{
    if (!m_currentFolder.empty()) {
        OpenWithShell(m_currentFolder);
    }
}

void WindowCore::OpenfolderinExplorer2Click()
{
    OpenfolderinExplorer1Click();
}

void WindowCore::Properties1Click()
{
    if (ReadSelection(WindowList::Files) != 1) {
        m_view.ShowMessage("Select one file only!");
        return;
    }
    if (const auto path = FirstSelectedFilePath(m_fileRows, m_currentFolder)) {
        m_view.ShowProperties(*path);
    }
}

FileCommands WindowCore::MakeFileCommands(Questions& questions)
{
    FolderChooser chooseFolder = [this]() {
        return m_view.RunSelectFolderDialog(FolderDialogUse::Destination, m_currentFolder);
    };
    FailureReport reportFailure = [this](const std::string& message) { m_view.ShowMessage(message); };
    return FileCommands(m_platform.Files(), questions, std::move(chooseFolder), std::move(reportFailure));
}

void WindowCore::RefreshAfter(ListsAfter after)
{
    if (after == ListsAfter::Rebuild) {
        BuildTypeSummary();
        BuildFileList(m_currentPattern);
    }
}

void WindowCore::Copyto1Click()
{
    ReadSelection(WindowList::Files);
    ViewQuestions questions(m_view);
    MakeFileCommands(questions).CopyTo(m_fileRows, m_currentFolder);
}

void WindowCore::Movefileto1Click()
{
    ReadSelection(WindowList::Files);
    ViewQuestions questions(m_view);
    RefreshAfter(MakeFileCommands(questions).MoveTo(m_fileRows, m_currentFolder));
}

void WindowCore::Deletefiles1Click()
{
    ReadSelection(WindowList::Files);
    ViewQuestions questions(m_view);
    RefreshAfter(MakeFileCommands(questions).Delete(m_fileRows, m_currentFolder));
}

} // namespace pellamy
