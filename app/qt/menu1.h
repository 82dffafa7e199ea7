// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_MENU1_H
#define PELLAMY_APP_QT_MENU1_H

#include "scan/ByteCount.h"
#include "scan/ScanFolder.h"
#include "shell/Platform.h"
#include "shell/qt/TypeIcons.h"
#include "window/PopupMenus.h"
#include "window/WindowCore.h"
#include "window/WindowView.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

class QAction;
class QCloseEvent;
class QCheckBox;
class QFileDialog;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QSplitter;

namespace pellamy {

class DirectoryList;
class DriveCombo;
class FileListModel;
class FolderNavigator;
class SelectDirectoryDialog;
class SortListModel;
class StatusBar;
class TSortListView;
class TypeListModel;

/// The program's one window on Linux, `Form1`: the banner with `ISF`, the folder navigator beside
/// the type list `sLView`, the attribute filter bar `Panel3` with the totals line, the file list
/// `LView2` and the status bar, with the two popup menus built from their tables. What the window
/// does lives in its `WindowCore`; this class lays the controls out, turns their events into the
/// core's handlers and is the core's view. Parts keep the names of the window definition.
class TForm1 final : public QWidget, private WindowView
{
    Q_OBJECT

public:
    /// Builds the window from its definition over this system's platform; `FormCreate` then opens
    /// the first folder.
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    /// What the window does, apart from its controls.
    WindowCore& Core() { return m_core; }

    /// Runs once after construction with the command-line arguments (program name excluded).
    void FormCreate(const std::vector<std::string>& args) { m_core.FormCreate(args); }
    bool BuildTypeSummary() { return m_core.BuildTypeSummary(); }
    void sLViewClick() { m_core.sLViewClick(); }
    void sLViewDblClick() { m_core.sLViewDblClick(); }
    void SElectafolder1Click() { m_core.SElectafolder1Click(); }
    /// A drop of `paths` (the file system's bytes) on the window: only the first counts.
    void HandleFileDrop(const std::vector<std::string>& paths) { m_core.HandleFileDrop(paths); }
    void Selectall1Click() { m_core.Selectall1Click(); }
    void LView2DblClick() { m_core.LView2DblClick(); }
    bool PutFilesOnClipboard() { return m_core.PutFilesOnClipboard(); }
    /// The page of `view` (every row of the type list, the selected rows of the file list); false
    /// when it could not be built or delivered.
    bool ExportHtml(const TSortListView* view, const std::string& title, const std::string& fileName);

    /// Replaces the plain message box (tests record the text instead).
    std::function<void(const QString&)> MessageShower;
    /// Replaces the save dialog: gives the file name and the 1-based filter index, or false.
    std::function<bool(std::string& fileName, int& filterIndex)> SaveDialogRunner;
    /// Replaces the Yes/No message box of the file commands: gets the question and its caption.
    std::function<bool(const std::string& question, const std::string& caption)> QuestionAsker;
    /// Replaces the select-folder dialog of the copy and move commands; nothing when cancelled.
    std::function<std::optional<std::string>()> FolderChooserRunner;
    /// Replaces the desktop opener (the desktop's own otherwise); false when it could not open.
    std::function<bool(const std::string& path)> Opener;

    /// How long a scan runs before status panel 0 shows its live count of the names read.
    std::int64_t& ScanProgressAfterMs;

    // The window's own behaviour.
    /// The window has no minimum height: only its width is bounded.
    QSize minimumSizeHint() const override;
    void FormResize();
    void DisplayHint(const QString& hint);
    void NudgeWindowWidth() override;
    /// Asks the file manager to show the properties of `path`, without waiting for its answer;
    /// where no file manager answers, the window's own details of the file.
    void ShowFileProperties(const std::string& path);

    const std::string& CurrentFolder() const { return m_core.CurrentFolder(); }
    /// The pattern of the last listing; a default pattern before the first.
    const NamePattern& CurrentPattern() const { return m_core.CurrentPattern(); }
    std::int32_t TotalFiles() const { return m_core.TotalFiles(); }
    ByteCount TotalSize() const { return m_core.TotalSize(); }
    const RegionalSettings& Settings() const { return m_core.Settings(); }

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
    QCheckBox* SubFolders = nullptr;
    TSortListView* LView2 = nullptr;
    StatusBar* StatusBar1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QFileDialog* SD1 = nullptr;
    SelectDirectoryDialog* Dirs = nullptr;
    ImageList ImageList1;

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
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildBanner();
    void BuildFolderArea();
    void BuildFilterBar();
    void BuildFileList();
    void BuildMenus();
    QMenu* BuildMenu(const char* name, std::span<const MenuEntry> entries);
    void BuildDialogs();
    void SetTabOrder();
    /// The first size and place: the defined size centred, within the screen's available area.
    void PlaceOnScreen();
    /// Names every control for screen readers, and gives each its hint as its description.
    void NameControls();
    void ShowFileDetails(const std::string& path);
    /// While a scan runs: Esc stops it, other input is held to be handled after it; true when
    /// `event` was taken.
    bool HoldInput(QObject* watched, QEvent* event);
    /// Shows the popup menu of the focused list under its current row (Shift+F10).
    bool PopupFocusedListMenu();
    QCheckBox* CheckBox(WindowCheckBox box) const;
    SortListModel* ListModel(WindowList list) const;

    // The core's view of the window.
    bool IsChecked(WindowCheckBox box) const override;
    void SetChecked(WindowCheckBox box, bool checked) override;
    std::string NavigatorFolder() const override;
    void SetNavigatorFolder(const std::string& folder) override;
    void SetTotalsLine(const std::string& text) override;
    void SetStatusPanel(int panel, const std::string& text, bool repaintNow) override;
    void SetStatusPanelTip(int panel, const std::string& tip) override;
    void BeginListReset(WindowList list) override;
    void EndListReset(WindowList list) override;
    void ReadSelection(WindowList list,
                       const std::function<void(std::size_t first, std::size_t last)>& range) const override;
    void SelectAllRows(WindowList list) override;
    void WaitFor(BackgroundWork& work) override;
    void SetBusy(bool busy) override;
    void SetSkin(bool on) override;
    bool AskYesNo(const std::string& question, const std::string& caption) override;
    bool RunSaveDialog(const std::string& folder, std::string& fileName, int& filterIndex) override;
    std::optional<std::string> RunSelectFolderDialog(FolderDialogUse use,
                                                     const std::optional<std::string>& initialFolder) override;
    void ShowMessage(const std::string& text) override;
    void ShowErrorReport(const std::string& message) override;
    void PutTextOnClipboard(std::string bytes) override;
    void PutTextOnClipboard(std::size_t size, const std::function<void(char* buffer)>& write) override;
    bool PutOnClipboard(std::vector<ClipboardTarget> targets) override;
    void Open(const std::string& path, std::function<void(const std::string& reason)> failed) override;
    void ShowProperties(const std::string& path) override;

    std::unique_ptr<Platform> m_platform;
    WindowCore m_core;
    TypeListModel* m_typeRows = nullptr;
    FileListModel* m_fileRows = nullptr;
    const QEvent* m_lastKeyEvent = nullptr;
    const QObject* m_lastKeyReceiver = nullptr;
    std::uint64_t m_lastKeyTime = 0;
    /// The scan the window waits for, and the input that waits with it.
    BackgroundWork* m_waiting = nullptr;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> m_heldInput;
};

} // namespace pellamy

#endif
