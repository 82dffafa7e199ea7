// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_WIN32_NAVIGATOR_SELECTDIRECTORYDIALOG_H
#define PELLAMY_APP_WIN32_NAVIGATOR_SELECTDIRECTORYDIALOG_H

#include "window/FolderNavigation.h"

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace pellamy::win32 {

/// Raised by `SelectDirectoryDialog::Execute` when the user accepted an empty folder name: no
/// folder can be created, and the command that opened the dialog goes no further.
class DirectoryCreateError : public std::runtime_error
{
public:
    DirectoryCreateError()
        : std::runtime_error("Unable to create directory")
    {}
};

/// A modal yes/no question: the owner, the caption and the text. True for "&Yes".
using ConfirmQuestion = std::function<bool(HWND owner, const std::wstring& caption, const std::wstring& text)>;

/// The select-folder dialog (`Dirs`): "Select Directory", a 424 x 255 client area (at 96 dpi)
/// centred on the screen, with the "Directory &Name:" edit, the "&Directories:" folder list, the
/// "D&rives:" drive box, the "&Files: (*.*)" list in grey, "OK" (default), "Cancel" and
/// "Ne&twork...", which opens the system's dialog for connecting network drives.
///
/// `Execute` opens it on `InitialDir` (on the working folder when that is empty or names no
/// folder). A double click or Enter in the folder list opens the selected row; picking a drive
/// opens its root. "OK" with a name of no existing folder asks the "Confirm" question; "&Yes"
/// accepts the name exactly as typed and creates the folder with its missing parents, a failure
/// going unreported. A relative name is taken within the folder open in the dialog, which
/// becomes the working folder on acceptance so that the name keeps that meaning. Both properties
/// keep their values between uses. Paths are UTF-8.
class SelectDirectoryDialog
{
public:
    /// The controls' identifiers.
    static constexpr int kNameEdit = 1001;
    static constexpr int kFolderList = 1002;
    static constexpr int kDriveBox = 1003;
    static constexpr int kFileList = 1004;
    static constexpr int kNetworkButton = 1005;

    /// `folders` and `collator` must outlive the dialog.
    SelectDirectoryDialog(FolderSystem& folders, const TextCollator& collator);

    const std::string& InitialDir() const { return m_initialDir; }
    void SetInitialDir(std::string folder) { m_initialDir = std::move(folder); }

    /// The folder chosen by the last confirmed use; `InitialDir` after a cancelled one.
    const std::string& Directory() const { return m_directory; }

    /// Replaces the "Confirm" question (a message box), for tests that answer it themselves.
    void SetConfirmQuestion(ConfirmQuestion question);

    /// Shows the dialog, owned by `owner`, until the user closes it. True when a folder was
    /// confirmed, now in `Directory`. Throws `DirectoryCreateError` when an empty name was
    /// accepted.
    bool Execute(HWND owner);

    /// The dialog's window while it is shown, else nullptr.
    HWND Window() const { return m_window; }

    /// The folder open in the dialog's folder list.
    const std::string& OpenFolder() const { return m_openFolder; }

    /// The rows of the dialog's folder list.
    const std::vector<FolderRow>& Rows() const { return m_rows; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls();
    /// Places the controls, their font and the owner-drawn rows' height at `dpi`.
    void ApplyDpi(UINT dpi);
    void FillDrives();
    void Open(std::string folder);
    void OpenSelectedRow();
    void DrivePicked();
    void OkPressed();
    void DrawFolderRow(const DRAWITEMSTRUCT& item);
    void DrawDriveItem(const DRAWITEMSTRUCT& item);

    FolderSystem& m_folders;
    const TextCollator& m_collator;
    ConfirmQuestion m_confirm;
    std::string m_initialDir;
    std::string m_directory;
    std::string m_openFolder;
    std::vector<FolderRow> m_rows;
    std::vector<Drive> m_drives;
    HWND m_window = nullptr;
    HFONT m_font = nullptr;
    UINT m_dpi = 96;
    // Each control with its place at 96 dpi.
    struct ControlPlace
    {
        HWND Control;
        int X, Y, Width, Height;
    };
    std::vector<ControlPlace> m_places;
    bool m_createFailed = false;
};

} // namespace pellamy::win32

#endif
