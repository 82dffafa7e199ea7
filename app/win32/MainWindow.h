// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_WIN32_MAINWINDOW_H
#define PELLAMY_APP_WIN32_MAINWINDOW_H

#include "app/win32/ListView.h"
#include "window/WindowCore.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace pellamy::win32 {

class FolderNavigator;
class SelectDirectoryDialog;
class Splitter;

/// The window `Form1` on Windows: the window definition's controls as the system's common
/// controls, laid out at the monitor's dpi, over a `WindowCore` that holds the program's state and
/// handlers. It turns the controls' messages into handler calls and implements the view the core
/// drives; it keeps no state of the program's own.
class MainWindow final : private WindowView
{
public:
    /// Builds the window, hidden, over `platform`, which must outlive it.
    MainWindow(Platform& platform, HINSTANCE instance);
    ~MainWindow() override;

    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND Handle() const { return m_window; }
    WindowCore& Core() { return m_core; }
    /// A control by its identifier (app/win32/ControlIds.h).
    HWND Control(int id) const;

    /// Shows the window at its first size, centred on its monitor, and runs `FormCreate` with
    /// `args` once the window has been drawn.
    void Show(std::vector<std::string> args, int showCommand = SW_SHOWNORMAL);
    /// Handles messages until the window has been closed; the program's exit code.
    int Run();
    /// Handles the messages waiting now, as the message loop would, and returns.
    void HandlePendingMessages();
    /// Translates and dispatches one message as the message loop does: key preview (F5, Enter in
    /// the type list), the hint of the control under the pointer, tab moves between controls.
    void Dispatch(MSG& message);

    /// Replacements for the window's dialogs and boxes, for callers that answer them without a
    /// user; unset, the system's own are shown.
    std::function<bool(const std::string& question, const std::string& caption)> QuestionAsker;
    std::function<bool(std::string& fileName, int& filterIndex)> SaveDialogRunner;
    std::function<void(const std::string& text)> MessageShower;
    std::function<void(const std::string& message)> ErrorReporter;
    std::function<std::optional<std::string>(FolderDialogUse use)> FolderChooserRunner;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    void ApplyDpi(UINT dpi);
    void Layout();
    void LayoutStatusBar();
    LRESULT Notify(const NMHDR& header);
    void Command(int id, int code, HWND control);
    void ShowPopupMenu(WindowList list, POINT screen);
    void MenuSelected(HMENU menu, UINT item, UINT flags);
    void ShowHintOf(HWND control);
    /// Gives each control its accessible name and its hint as its description.
    void NameControls();
    /// Runs a handler the way every handler runs: one at a time, an error no handler catches
    /// shown in the general error report.
    void RunHandler(const std::function<void()>& handler);
    ListView& List(WindowList list) { return list == WindowList::Types ? *m_types : *m_files; }
    const ListView& List(WindowList list) const { return list == WindowList::Types ? *m_types : *m_files; }
    /// Handles what waits while a scan runs: Esc stops it, other input is held.
    void HandleMessagesWhileWaiting(BackgroundWork& work);

    // WindowView
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
    void NudgeWindowWidth() override;
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

    Platform& m_platform;
    HINSTANCE m_instance;
    HWND m_window = nullptr;
    WindowCore m_core;
    std::unique_ptr<ListTable> m_typeTable;
    std::unique_ptr<ListTable> m_fileTable;
    UINT m_dpi = 96;
    HFONT m_font = nullptr;
    HFONT m_boldFont = nullptr;

    HWND m_banner = nullptr;
    HWND m_filterBar = nullptr;
    HWND m_totals = nullptr;
    HWND m_statusBar = nullptr;
    HWND m_statusTip = nullptr;
    std::wstring m_statusTipText;
    std::unique_ptr<FolderNavigator> m_navigator;
    std::unique_ptr<Splitter> m_splitter1;
    std::unique_ptr<Splitter> m_splitter2;
    std::unique_ptr<ListView> m_types;
    std::unique_ptr<ListView> m_files;
    std::unique_ptr<SelectDirectoryDialog> m_dirs;

    /// The navigator's width and the folder area's height at 96 dpi, as the splitters set them.
    int m_navigatorWidth = 209;
    int m_folderAreaHeight = 249;
    bool m_useSkin = false;
    bool m_busy = false;
    std::string m_statusTexts[2];
    std::string m_totalsText = "?";
    HWND m_hintControl = nullptr;
    /// The controls by their names in the window definition.
    std::unordered_map<std::string, HWND> m_controls;

    /// The save dialog's name and filter, kept for its next use.
    std::wstring m_saveName;
    int m_saveFilter = 1;

    /// While a scan runs: the work, the input held until it ends, and whether the window is to
    /// close when it has.
    BackgroundWork* m_waiting = nullptr;
    std::deque<MSG> m_heldInput;
    bool m_closeAfterScan = false;
    std::vector<std::string> m_startArgs;
    bool m_inHandler = false;
};

} // namespace pellamy::win32

#endif
