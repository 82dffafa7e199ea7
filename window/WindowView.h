// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WINDOW_WINDOWVIEW_H
#define PELLAMY_WINDOW_WINDOWVIEW_H

#include "shell/ClipboardFiles.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace pellamy {

/// The window's two lists: the type list `sLView` and the file list `LView2`.
enum class WindowList {
    Types,
    Files,
};

/// The window's check boxes, and the checked entry "Use skin" of the type list's menu.
enum class WindowCheckBox {
    ISF,
    roFile,
    hidFile,
    sysFile,
    arcFile,
    AttrChk,
    /// "Sub-folders": the lists sum the folder and every folder below it.
    SubFolders,
    Useskin1,
};

/// What the select-folder dialog is run for: the folder to show ("Select a folder"), or the
/// destination of a copy or move.
enum class FolderDialogUse {
    ShowFolder,
    Destination,
};

/// Work that runs off the user-interface thread while the window waits for it: a summary or a
/// listing.
class BackgroundWork
{
public:
    virtual ~BackgroundWork() = default;

    /// True once the work has ended, finished or stopped; safe to ask from any thread.
    virtual bool Finished() const = 0;
    /// Asks the work to stop (Esc, or the window closing); it ends at its next check.
    virtual void Stop() = 0;
    /// Shows how far the work has come; called on the user-interface thread now and then while
    /// the window waits.
    virtual void ShowProgress() = 0;
};

/// The controls and dialogs of the window as the window's logic sees them. A front-end implements
/// it over its toolkit's widgets (or the system's own controls); tests implement it with a
/// recording fake. Texts are UTF-8, paths the file system's own bytes. Every call is made on the
/// user-interface thread, from inside a handler.
class WindowView
{
public:
    virtual ~WindowView() = default;

    /// Whether a check box (or the "Use skin" entry) is checked, and setting it without running its
    /// handler.
    virtual bool IsChecked(WindowCheckBox box) const = 0;
    virtual void SetChecked(WindowCheckBox box, bool checked) = 0;

    /// The folder the navigator shows (`dList`'s directory), and showing another one there.
    virtual std::string NavigatorFolder() const = 0;
    virtual void SetNavigatorFolder(const std::string& folder) = 0;

    /// The totals line of the filter bar (`Panel3`'s caption).
    virtual void SetTotalsLine(const std::string& text) = 0;
    /// The text of a status-bar panel: 0 the hint line, 1 the file count. With `repaintNow` the
    /// panel is drawn before the call returns, while a scan still holds the thread.
    virtual void SetStatusPanel(int panel, const std::string& text, bool repaintNow = false) = 0;
    /// The tooltip of a status-bar panel; an empty text takes it away.
    virtual void SetStatusPanelTip(int panel, const std::string& tip) = 0;

    /// Brackets a change of every row of a list's table: the list forgets what it showed (rows,
    /// selection, current row) before, and shows the table's rows after.
    virtual void BeginListReset(WindowList list) = 0;
    virtual void EndListReset(WindowList list) = 0;
    /// Calls `range` with the first and last row of each run of rows selected in `list`, in
    /// display order.
    virtual void ReadSelection(WindowList list,
                               const std::function<void(std::size_t first, std::size_t last)>& range) const = 0;
    /// Selects every row of `list`.
    virtual void SelectAllRows(WindowList list) = 0;

    /// Waits until `work` has finished, with the window drawn and answering: Esc, and closing the
    /// window, call `work.Stop()`; `work.ShowProgress()` is called about ten times a second; any
    /// other input waits and is handled, in its order, once the work has finished.
    virtual void WaitFor(BackgroundWork& work) = 0;

    /// Makes the window lay its lists out again after a fill (the width nudge of the definition).
    virtual void NudgeWindowWidth() = 0;
    /// Shows the busy cursor (or takes it away again).
    virtual void SetBusy(bool busy) = 0;
    /// Switches the skin of the window on or off.
    virtual void SetSkin(bool on) = 0;

    /// A modal Yes/No question under `caption`; true for Yes.
    virtual bool AskYesNo(const std::string& question, const std::string& caption) = 0;
    /// The save dialog `SD1`, opened in `folder`: the chosen file name and the 1-based index of
    /// the chosen filter (1 CSV, 2 XML, 3 HTML); false when cancelled. The dialog keeps its filter
    /// and name for its next use.
    virtual bool RunSaveDialog(const std::string& folder, std::string& fileName, int& filterIndex) = 0;
    /// The select-folder dialog `Dirs`, opened on `initialFolder` (or where it was last when there is
    /// none); the folder chosen, nothing when cancelled.
    virtual std::optional<std::string> RunSelectFolderDialog(FolderDialogUse use,
                                                             const std::optional<std::string>& initialFolder) = 0;
    /// A plain message box with the program's name as its caption.
    virtual void ShowMessage(const std::string& text) = 0;
    /// The general error report, for an error no handler deals with.
    virtual void ShowErrorReport(const std::string& message) = 0;

    /// Puts a report's bytes on the clipboard as its plain text, unchanged.
    virtual void PutTextOnClipboard(std::string bytes) = 0;
    /// Puts `size` bytes on the clipboard as its plain text, written by `write` straight into the
    /// clipboard's own buffer, so that a long text is held once.
    virtual void PutTextOnClipboard(std::size_t size, const std::function<void(char* buffer)>& write) = 0;
    /// Puts every form of a set of files on the clipboard at once; false (the clipboard as it was)
    /// when there is no clipboard.
    virtual bool PutOnClipboard(std::vector<ClipboardTarget> targets) = 0;
    /// Opens `path` with the desktop's application for it, without waiting for the application.
    /// When it cannot be opened, `failed` gets the opener's reason on the user-interface thread,
    /// at once or once the opener has said so.
    virtual void Open(const std::string& path, std::function<void(const std::string& reason)> failed) = 0;
    /// Shows the properties of the file at `path`.
    virtual void ShowProperties(const std::string& path) = 0;
};

} // namespace pellamy

#endif
