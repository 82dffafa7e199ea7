// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_MENU1_H
#define PELLAMY_APP_MENU1_H

#include "platform/posix/PosixDirectorySource.h"
#include "platform/posix/PosixReportFiles.h"
#include "reports/XmlWriter.h"
#include "scan/ByteCount.h"
#include "scan/FileEntry.h"
#include "scan/RegionalSettings.h"
#include "scan/ScanFolder.h"
#include "shell/FileCommands.h"
#include "shell/qt/TypeIcons.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QFileDialog;
class QFrame;
class QLabel;
class QMenu;
class QSplitter;

namespace pellamy {

class DirectoryList;
class DriveCombo;
class FileListModel;
class FolderNavigator;
class SelectDirectoryDialog;
class StatusBar;
class TSortListView;
class TypeListModel;

/// The program's one window, `Form1`: the banner with `ISF`, the folder navigator beside the type
/// list `sLView`, the attribute filter bar `Panel3` with the totals line, the file list `LView2`
/// and the status bar, with the two popup menus. It owns every piece of the program's state:
/// `CurrentFolder`, `CurrentPattern`, the totals, the rows of both lists, the XML
/// writer and the dialogs. Handlers keep the names of the window definition.
class TForm1 final : public QWidget
{
    Q_OBJECT

public:
    /// Builds the window from its definition; `FormCreate` then opens the first folder.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    /// Runs once after construction with the command-line arguments (program name excluded).
    void FormCreate(const std::vector<std::string>& args);

    // Folder selection and refresh.
    void BuildTypeSummary();
    void BuildFileList(const NamePattern& pattern);
    void sLViewClick();
    void sLViewDblClick();
    void dListClick();
    void roFileClick();
    void ISFClick();
    void JvDriveCombo1Change();
    void SElectafolder1Click();
    /// A drop of `paths` (the file system's bytes) on the window: only the first counts, as it
    /// stands.
    void HandleFileDrop(const std::vector<std::string>& paths);

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
    /// The page of `view` (every row of the type list, the selected rows of the file list); false
    /// when it could not be built or delivered.
    bool ExportHtml(const TSortListView* view, const std::string& title, const std::string& fileName);
    /// The save commands after the dialog: the format follows the chosen filter (1 CSV, 2 XML,
    /// 3 HTML) alone; a failure's message is shown.
    void SaveFileDetails(const std::string& fileName, int filterIndex);
    void SaveFolderDetails(const std::string& fileName, int filterIndex);

    // File commands: the selected files to the clipboard, opening, properties, copy, move, delete.
    /// Every clipboard form of the selected files, placed at once; false (the clipboard as it was)
    /// when no row is selected or there is no clipboard.
    bool PutFilesOnClipboard();
    void Copyfiles1Click();
    /// Opens `path` with the desktop's application without waiting for it; false when no opener
    /// could be started.
    bool OpenWithShell(const std::string& path);
    /// Opens the selected file nearest the top of the file list.
    void LView2DblClick();
    void OpenfolderinExplorer1Click();
    void OpenfolderinExplorer2Click();
    /// The properties of the one selected file; with none or several selected, a message.
    void Properties1Click();
    /// Asks the file manager to show the properties of `path`, without waiting for its answer;
    /// where no file manager answers, the window's own details of the file.
    void ShowFileProperties(const std::string& path);
    void Copyto1Click();
    void Movefileto1Click();
    void Deletefiles1Click();

    /// Replaces the plain message box (tests record the text instead).
    std::function<void(const QString&)> MessageShower;
    /// Replaces the save dialog: gives the file name and the 1-based filter index, or false.
    std::function<bool(std::string& fileName, int& filterIndex)> SaveDialogRunner;

    /// Replaces the Yes/No message box of the file commands: gets the question and its caption.
    std::function<bool(const std::string& question, const std::string& caption)> QuestionAsker;
    /// Replaces the select-folder dialog of the copy and move commands; nothing when cancelled.
    std::function<std::optional<std::string>()> FolderChooserRunner;
    /// Replaces the desktop opener (the desktop's own otherwise).
    std::function<bool(const std::string& path)> Opener;

    /// How long a scan runs before status panel 0 shows its live count of the names read.
    std::int64_t ScanProgressAfterMs = 500;

    // The window's own behaviour.
    /// The window has no minimum height: only its width is bounded.
    QSize minimumSizeHint() const override;
    void FormResize();
    void DisplayHint(const QString& hint);
    void NudgeWindowWidth();
    void Selectall1Click();
    void Useskin1Click();
    /// Registers the program in the file managers' context menus, or takes it out again, and says
    /// which in a plain message; the command gets "/s" when "Use skin" is checked. A value that
    /// cannot be written goes to the general error report instead.
    void Registerunregisterincontextmenu1Click();

    const std::string& CurrentFolder() const { return m_currentFolder; }
    /// The pattern of the last listing; a default pattern before the first.
    const NamePattern& CurrentPattern() const { return m_currentPattern; }
    std::int32_t TotalFiles() const { return m_totalFiles; }
    ByteCount TotalSize() const { return m_totalSize; }
    const RegionalSettings& Settings() const { return m_settings; }

    // The window's parts, by their definition names.
    QFrame* Panel1 = nullptr;
    QCheckBox* ISF = nullptr;
    QWidget* Panel4 = nullptr;
    FolderNavigator* Panel2 = nullptr;
    DirectoryList* dList = nullptr;
    DriveCombo* JvDriveCombo1 = nullptr;
    QSplitter* JvSplitter1 = nullptr;
    TSortListView* sLView = nullptr;
    QSplitter* JvSplitter2 = nullptr;
    QFrame* Panel3 = nullptr;
    QLabel* Panel3Caption = nullptr;
    QCheckBox* roFile = nullptr;
    QCheckBox* hidFile = nullptr;
    QCheckBox* sysFile = nullptr;
    QCheckBox* arcFile = nullptr;
    QCheckBox* AttrChk = nullptr;
    TSortListView* LView2 = nullptr;
    StatusBar* StatusBar1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QFileDialog* SD1 = nullptr;
    SelectDirectoryDialog* Dirs = nullptr;
    ImageList ImageList1;
    XmlWriter XmlWriter1;

    // Entries of the file list's menu.
    QAction* Copyfilelist1 = nullptr;
    QAction* Copyalldetails1 = nullptr;
    QAction* XML1 = nullptr;
    QAction* CopyselectedfiledetailsasHTML1 = nullptr;
    QAction* Copyfiles1 = nullptr;
    QAction* Copyto1 = nullptr;
    QAction* Saveselectedfiledetailsttofile1 = nullptr;
    QAction* OpenfolderinExplorer2 = nullptr;
    QAction* Movefileto1 = nullptr;
    QAction* Deletefiles1 = nullptr;
    QAction* N1 = nullptr;
    QAction* Selectall1 = nullptr;
    QAction* Properties1 = nullptr;
    // Entries of the type list's menu.
    QAction* CopyfolderdetailsasCSV1 = nullptr;
    QAction* CopyfolderdetailsasXML1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* Savefolderdetails1 = nullptr;
    QAction* Copyfoldername1 = nullptr;
    QAction* SElectafolder1 = nullptr;
    QAction* OpenfolderinExplorer1 = nullptr;
    QAction* N2 = nullptr;
    QAction* Registerunregisterincontextmenu1 = nullptr;
    QAction* Useskin1 = nullptr;

    TypeListModel* TypeRows() const { return m_typeRows; }
    FileListModel* FileRows() const { return m_fileRows; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildBanner();
    void BuildFolderArea();
    void BuildFilterBar();
    void BuildFileList();
    void BuildMenus();
    void BuildDialogs();
    void SetTabOrder();
    void ConnectReportCommands();
    void ConnectFileCommands();
    FileCommands MakeFileCommands(FileOperations& operations, Questions& questions);
    void RefreshAfter(ListsAfter after);
    void ShowFileDetails(const std::string& path);
    void ShowMessage(const QString& text);
    bool RunSaveDialog(std::string& fileName, int& filterIndex);
    void SaveReport(bool fileList, const std::string& fileName, int filterIndex);
    /// The XML writer's document to the clipboard (no file name) or to the file, then cleared; the
    /// failure's message, if any.
    std::optional<std::string> DeliverXml(const std::string& fileName);
    void FormKeyDown(int key);
    ScanOptions CurrentScanOptions() const;
    /// The progress callback of a scan: a live count of the names read in status panel 0 once the
    /// scan has run for a while. `EndScanProgress` puts the current hint back when it was shown.
    std::function<void(std::uint64_t)> BeginScanProgress();
    void EndScanProgress();
    /// Lists the selected type's files (or every file) when a type row is selected.
    void ListSelectedType(bool allFiles);
    void SetFileCount();

    std::string m_currentFolder;
    NamePattern m_currentPattern;
    std::int32_t m_totalFiles = 0;
    ByteCount m_totalSize = 0;
    RegionalSettings m_settings;
    PosixDirectorySource m_directory;
    /// Where the save commands write their reports.
    PosixReportFiles m_reportFiles;
    TypeListModel* m_typeRows = nullptr;
    FileListModel* m_fileRows = nullptr;
    bool m_hintsAttached = false;
    QString m_currentHint;
    const QEvent* m_lastKeyEvent = nullptr;
    const QObject* m_lastKeyReceiver = nullptr;
    std::uint64_t m_lastKeyTime = 0;
    std::int64_t m_scanStartedMs = 0;
    std::int64_t m_lastProgressMs = 0;
    bool m_progressShown = false;
};

} // namespace pellamy

#endif
