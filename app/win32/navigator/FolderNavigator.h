// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_WIN32_NAVIGATOR_FOLDERNAVIGATOR_H
#define PELLAMY_APP_WIN32_NAVIGATOR_FOLDERNAVIGATOR_H

#include "window/FolderNavigation.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

namespace pellamy::win32 {

/// The folder navigator panel (`Panel2`): the directory list `dList`, an owner-drawn list box of
/// the open folder's chain and sub-folders with the shell's small folder icons, and along its
/// bottom edge the drive box `JvDriveCombo1`, a ComboBoxEx of the removable, fixed, remote and
/// CD-ROM drives with the shell's names and icons. The rules live in `FolderNavigation`; this
/// class shows its state and hands it the user's choices.
///
/// A row selected by the user, with the mouse or the keyboard, is opened at once and then
/// `DirectoryClicked` runs; Enter opens the selected row without it. A drive picked in the box
/// opens its root (or stays, and the box returns, when it cannot be entered) and then
/// `DriveChanged` runs. Nothing set by the program raises either.
class FolderNavigator
{
public:
    struct Events
    {
        std::function<void()> DirectoryClicked;
        std::function<void()> DriveChanged;
    };

    /// The panel as a child of `parent`, open at the process's working folder. `folders` and
    /// `collator` must outlive it.
    FolderNavigator(HWND parent, FolderSystem& folders, const TextCollator& collator, Events events);
    ~FolderNavigator();
    FolderNavigator(const FolderNavigator&) = delete;
    FolderNavigator& operator=(const FolderNavigator&) = delete;

    HWND Panel() const { return m_panel; }
    HWND DirectoryList() const { return m_list; }
    HWND DriveBox() const { return m_driveBox; }

    /// Gives both controls `font` (which the caller keeps) and sizes the rows and the drive box for
    /// `dpi`; on creation and whenever the dpi changes.
    void SetFont(HFONT font, UINT dpi);

    /// Moves the panel to `rect`, in its parent's client coordinates, and lays out its controls.
    void Place(const RECT& rect);

    /// The open folder, UTF-8: "C:/Program Files", a root "C:/".
    std::string Directory() const { return m_navigation.Directory(); }

    /// Opens `path` by the navigator's rules; raises no event.
    void SetDirectory(const std::string& path);

    /// Builds the drive box's items anew after a volume arrived or left (WM_DEVICECHANGE) and
    /// selects the open folder's drive again; raises no event and leaves the list where it is.
    void DrivesChanged();

    /// Draws the panel and the directory list in the window's colours (the skin's, or the system's).
    void ApplyColors();

    /// Reads the sub-folders of each folder opened from now on on a thread of its own, so that a
    /// folder of a million entries opens at once: its chain shows at once and its sub-folders
    /// follow. A reading for a folder left before it ended is given up.
    void ReadSubFoldersInBackground(bool on);

    /// The rules' state behind the controls: the rows in list order, the drives in box order.
    const FolderNavigation& Navigation() const { return m_navigation; }

private:
    static LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Layout();
    void ShowRows();
    void ShowDrives();
    void SelectDriveItem();
    void RowPicked(bool raiseClick);
    void DrivePicked();
    void DrawRow(const DRAWITEMSTRUCT& item);
    /// Starts reading the open folder's sub-folders when the rows await them.
    void StartReading();
    /// Shows the sub-folders that readers have brought.
    void TakeReadings();

    struct ShownRow
    {
        std::wstring Name;
        int Icon = -1;
    };

    /// A reading of sub-folders on its own thread, and what it brought.
    struct Reading
    {
        std::uint64_t Opening = 0;
        std::vector<std::string> SubFolders;
    };

    FolderSystem& m_folders;
    const TextCollator& m_collator;
    FolderNavigation m_navigation;
    SubFolderReaders m_readers;
    std::mutex m_readingsMutex;
    std::vector<Reading> m_readings;
    std::uint64_t m_readingStarted = 0;
    Events m_events;
    HWND m_panel = nullptr;
    HWND m_list = nullptr;
    HWND m_driveBox = nullptr;
    HIMAGELIST m_smallIcons = nullptr;
    std::vector<ShownRow> m_shownRows;
    UINT m_dpi = 96;
    int m_rowHeight = 17;
    bool m_showing = false;
};

} // namespace pellamy::win32

#endif
