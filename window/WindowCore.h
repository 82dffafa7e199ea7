// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WINDOW_WINDOWCORE_H
#define PELLAMY_WINDOW_WINDOWCORE_H

#include "lists/FileTable.h"
#include "lists/TypeTable.h"
#include "reports/XmlWriter.h"
#include "scan/ByteCount.h"
#include "scan/RegionalSettings.h"
#include "scan/ScanFolder.h"
#include "scan/TreeWalk.h"
#include "shell/FileCommands.h"
#include "shell/Platform.h"
#include "window/WindowView.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pellamy {

/// The window `Form1` without a toolkit: the program's state (`CurrentFolder`, `CurrentPattern`, the
/// totals, the rows of both lists, the XML writer) and every handler of the window definition, by
/// its name. It reads the system through a `Platform` and drives the controls through a
/// `WindowView`; a front-end lays the controls out, turns their events into these calls and shows
/// the two tables. Handlers run on the user-interface thread, one at a time.
class WindowCore
{
public:
    WindowCore(WindowView& view, Platform& platform);

    /// Runs once, after the window has been built, with the command-line arguments (program name
    /// excluded): opens the first folder and sets the skin.
    void FormCreate(const std::vector<std::string>& args);

    // Filling the lists. Each scan runs off the user-interface thread while the window waits; a
    // scan the user stops leaves the lists as they were and gives false. With "Sub-folders"
    // checked, both walk the folder and every folder below it, and a file row's name is its path
    // below the folder ("src/deep/notes.txt").
    bool BuildTypeSummary();
    bool BuildFileList(const NamePattern& pattern);

    // Choosing the folder and the type.
    void sLViewClick();
    void sLViewDblClick();
    void dListClick();
    void roFileClick();
    void ISFClick();
    void SubFoldersClick();
    void JvDriveCombo1Change();
    void SElectafolder1Click();
    /// A drop of `paths` (the file system's bytes) on the window: only the first counts.
    void HandleFileDrop(const std::vector<std::string>& paths);
    /// Key preview: every key pressed in the window, before the focused control sees it.
    void FormKeyDown(int key);
    /// A key pressed in the type list: Enter lists the current type as a click does.
    void sLViewKeyDown(int key);
    /// Key codes as front-ends pass them (the Windows virtual-key codes).
    static constexpr int kKeyReturn = 0x0D;
    static constexpr int kKeyF5 = 0x74;

    // Report commands: to the clipboard, or with a file name to that file. The exports give the
    // failure's message for the user, or nothing.
    void Copyfilelist1Click();
    void Copyalldetails1Click();
    void XML1Click();
    void CopyselectedfiledetailsasHTML1Click();
    void Saveselectedfiledetailsttofile1Click();
    void CopyfolderdetailsasCSV1Click();
    void CopyfolderdetailsasXML1Click();
    void Print1Click();
    void Savefolderdetails1Click();
    void Copyfoldername1Click();
    std::optional<std::string> ExportFilesCsv(const std::string& fileName);
    std::optional<std::string> ExportFolderCsv(const std::string& fileName);
    std::optional<std::string> ExportFilesXml(const std::string& fileName);
    std::optional<std::string> ExportFolderXml(const std::string& fileName);
    /// The page of `list` (every row of the type list, the selected rows of the file list); false
    /// when it could not be built or delivered.
    bool ExportHtml(WindowList list, const std::string& title, const std::string& fileName);
    /// The save commands after the dialog: the format follows the chosen filter (1 CSV, 2 XML,
    /// 3 HTML) alone; a failure's message is shown.
    void SaveFileDetails(const std::string& fileName, int filterIndex);
    void SaveFolderDetails(const std::string& fileName, int filterIndex);

    // File commands.
    /// Every clipboard form of the selected files, placed at once; false (the clipboard as it was)
    /// when no row is selected or there is no clipboard.
    bool PutFilesOnClipboard();
    void Copyfiles1Click();
    /// Opens the selected file nearest the top of the file list.
    void LView2DblClick();
    void OpenfolderinExplorer1Click();
    void OpenfolderinExplorer2Click();
    /// The properties of the one selected file; with none or several selected, a message.
    void Properties1Click();
    void Copyto1Click();
    void Movefileto1Click();
    void Deletefiles1Click();

    // The window's own behaviour.
    /// Shows a control's or menu entry's hint in the hint line: the part after "|" when it has one.
    void DisplayHint(const std::string& hint);
    void Selectall1Click();
    void Useskin1Click();
    /// Registers the program in the file managers' context menus, or takes it out again, and says
    /// which in a plain message; the command gets "/s" when "Use skin" is checked. A failure goes to
    /// the general error report instead.
    void Registerunregisterincontextmenu1Click();
    /// The user's regional settings changed: rows already shown keep their texts until the next
    /// fill, which uses the new ones.
    void SettingsChanged();

    const std::string& CurrentFolder() const { return m_currentFolder; }
    /// The pattern of the last listing; a default pattern before the first.
    const NamePattern& CurrentPattern() const { return m_currentPattern; }
    std::int32_t TotalFiles() const { return m_totalFiles; }
    ByteCount TotalSize() const { return m_totalSize; }
    const RegionalSettings& Settings() const { return m_settings; }
    /// The hint line's text as the hints last set it.
    const std::string& CurrentHint() const { return m_currentHint; }

    /// The rows of `sLView` and `LView2`, as the front-end shows them.
    TypeTable& TypeRows() { return m_typeRows; }
    FileTable& FileRows() { return m_fileRows; }
    const TypeTable& TypeRows() const { return m_typeRows; }
    const FileTable& FileRows() const { return m_fileRows; }

    XmlWriter XmlWriter1;
    /// How long a scan runs before status panel 0 shows its live count of the names read.
    std::int64_t ScanProgressAfterMs = 500;

private:
    using ScanProgress = std::function<void(std::uint64_t namesRead, std::uint64_t foldersRead)>;
    using Scan = std::function<void(const ScanOptions& options, const ScanProgress& progress)>;

    ScanOptions CurrentScanOptions() const;
    /// Runs `scan` with the check boxes' options off the user-interface thread while the window
    /// waits, with a live count of the names (and, for a walk over a tree, the folders) read in
    /// status panel 0 once it has run for a while; false when the user stopped it.
    bool RunScan(bool tree, const Scan& scan);
    /// The tree source the lists walk: null when "Sub-folders" is unchecked, and when the system
    /// has no tree walker (status panel 0 says so, and the lists show the one folder).
    TreeSource* TreeToWalk();
    /// After a walk: status panel 0 counts the folders that could not be read, its tooltip lists
    /// them; both are cleared when every folder was read.
    void ShowUnreadFolders(const std::vector<UnreadFolder>& unread);
    /// After a completed scan: the unread folders of a walk (`walked` set), or, with "Sub-folders"
    /// checked on a system without a tree walker, that the lists show the folder alone.
    void ShowTreeNotes(const TreeSource* walked, const std::vector<UnreadFolder>& unread);
    /// Shows `folder`: its summary, an empty file list. Stopped, the folder shown stays.
    bool OpenFolder(std::string folder);
    void SetFileCount();
    /// Lists the selected type's files (or every file) when a type row is selected.
    void ListSelectedType(bool allFiles);
    /// Takes the user's selection of `list` into its table; the number of rows selected.
    std::size_t ReadSelection(WindowList list);
    ListRows& Rows(WindowList list);
    void SaveReport(bool fileList, const std::string& fileName, int filterIndex);
    /// The save dialog, opened in the working folder; the name it gives has an extension.
    bool RunSaveDialog(std::string& fileName, int& filterIndex);
    std::optional<std::string> Deliver(std::string bytes, const std::string& fileName);
    std::optional<std::string> DeliverXml(const XmlWriter::Builder& build, const std::string& fileName);
    FileCommands MakeFileCommands(Questions& questions);
    /// Opens `path` with the desktop's application; a failure is shown with the opener's reason.
    void OpenWithShell(const std::string& path);
    void RefreshAfter(ListsAfter after);
    /// Opens the navigator's folder after the navigator or a check box changed.
    void ShowNavigatorFolder();
    /// The clipboard forms of an HTML page: its markup as text, and as HTML for rich editors.
    void PutHtmlOnClipboard(std::string page);

    WindowView& m_view;
    Platform& m_platform;
    std::string m_currentFolder;
    NamePattern m_currentPattern;
    std::int32_t m_totalFiles = 0;
    ByteCount m_totalSize = 0;
    RegionalSettings m_settings;
    TypeTable m_typeRows;
    FileTable m_fileRows;
    bool m_hintsAttached = false;
    std::string m_currentHint;
    /// Whether the hint line says that the last scan was stopped.
    bool m_stopShown = false;
    /// Whether the hint line (and its tooltip) says that folders of the last walk could not be
    /// read, or that this system cannot read sub-folders.
    bool m_treeNoteShown = false;
};

} // namespace pellamy

#endif
