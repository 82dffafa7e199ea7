// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/win32/navigator/SelectDirectoryDialog.h"

#include "app/win32/Dpi.h"
#include "app/win32/navigator/ClassicPictures.h"
#include "platform/win32/WideText.h"

#include <winnetwk.h>

#include <algorithm>
#include <array>
#include <utility>

namespace pellamy::win32 {
namespace {

constexpr int kClientWidth = 424;
constexpr int kClientHeight = 255;
constexpr int kStep = 4;

// A control's place on the dialog at 96 dpi.
struct Place
{
    int X, Y, Width, Height;
};

bool AskWithMessageBox(HWND owner, const std::wstring& caption, const std::wstring& text)
{
    return MessageBoxW(owner, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION) == IDYES;
}

std::wstring WindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A path as the dialog shows it: "\" between the steps.
std::wstring Shown(const std::string& path)
{
    std::wstring wide = WideFromUtf8(path);
    for (wchar_t& c : wide) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return wide;
}


// `path` taken within `folder` when it is not absolute.
std::string WithinFolder(const std::string& folder, const std::string& path)
{
    if (!FolderNavigation::CleanPath(path).empty()) {
        return path;
    }
    return folder.empty() || folder.back() == '/' ? folder + path : folder + '/' + path;
}

// A dialog template without controls: they are made when the dialog starts, at the dpi of the
// monitor it opens on.
struct alignas(DWORD) EmptyTemplate
{
    DLGTEMPLATE Header{};
    std::array<WORD, 3 + 17> Tail{}; // no menu, the standard class, then the title
};

EmptyTemplate MakeTemplate()
{
    EmptyTemplate dialog;
    dialog.Header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    const wchar_t title[] = L"Select Directory";
    for (std::size_t i = 0; i < sizeof title / sizeof title[0]; ++i) {
        dialog.Tail[2 + i] = static_cast<WORD>(title[i]);
    }
    return dialog;
}

} // namespace

SelectDirectoryDialog::SelectDirectoryDialog(FolderSystem& folders, const TextCollator& collator)
    : m_folders(folders)
    , m_collator(collator)
    , m_confirm(AskWithMessageBox)
{}

void SelectDirectoryDialog::SetConfirmQuestion(ConfirmQuestion question)
{
    m_confirm = question ? std::move(question) : ConfirmQuestion(AskWithMessageBox);
}

bool SelectDirectoryDialog::Execute(HWND owner)
{
    m_directory = m_initialDir;
    m_createFailed = false;
    const EmptyTemplate dialog = MakeTemplate();
    const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), &dialog.Header, owner,
                                                   &SelectDirectoryDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_window = nullptr;
    if (m_font != nullptr) {
        DeleteObject(m_font);
        m_font = nullptr;
    }
    if (m_createFailed) {
        throw DirectoryCreateError();
    }
    if (result != IDOK) {
        m_directory = m_initialDir;
    }
    return result == IDOK;
}

void SelectDirectoryDialog::CreateControls()
{
    m_dpi = DpiOf(m_window);
    m_places.clear();
    HINSTANCE instance = GetModuleHandleW(nullptr);
    // Made at 96 dpi; `ApplyDpi` then places them at the monitor's.
    const auto make = [&](const wchar_t* windowClass, const wchar_t* text, DWORD style, DWORD extended, int id,
                          Place place) {
        HWND control = CreateWindowExW(extended, windowClass, text, WS_CHILD | WS_VISIBLE | style, place.X, place.Y,
                                       place.Width, place.Height, m_window,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        m_places.push_back({control, place.X, place.Y, place.Width, place.Height});
        return control;
    };
    // Each label comes before its control, so that its mnemonic moves the focus there.
    constexpr DWORD list = WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_HASSTRINGS;
    make(L"STATIC", L"Directory &Name:", 0, 0, -1, {8, 6, 316, 16});
    make(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, kNameEdit, {8, 24, 316, 22});
    make(L"STATIC", L"&Directories:", 0, 0, -1, {8, 54, 152, 16});
    make(L"LISTBOX", L"", list | LBS_OWNERDRAWFIXED, WS_EX_CLIENTEDGE, kFolderList, {8, 72, 152, 120});
    make(L"STATIC", L"D&rives:", 0, 0, -1, {8, 200, 152, 16});
    make(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, 0,
         kDriveBox, {8, 218, 152, 200});
    make(L"STATIC", L"&Files: (*.*)", 0, 0, -1, {172, 54, 152, 16});
    make(L"LISTBOX", L"", list | LBS_NOSEL, WS_EX_CLIENTEDGE, kFileList, {172, 72, 152, 170});
    make(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 0, IDOK, {336, 24, 80, 26});
    make(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 0, IDCANCEL, {336, 56, 80, 26});
    make(L"BUTTON", L"Ne&twork...", WS_TABSTOP | BS_PUSHBUTTON, 0, kNetworkButton, {336, 88, 80, 26});
    ApplyDpi(m_dpi);

    // The client area's size at the monitor's dpi, centred on the screen's work area.
    RECT frame{0, 0, Scale(kClientWidth, m_dpi), Scale(kClientHeight, m_dpi)};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(m_window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(m_window, GWL_EXSTYLE)));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& area = monitor.rcWork;
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(m_window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SelectDirectoryDialog::ApplyDpi(UINT dpi)
{
    m_dpi = dpi;
    HFONT previous = std::exchange(m_font, MakeWindowFont(dpi));
    for (const ControlPlace& place : m_places) {
        SetWindowPos(place.Control, nullptr, Scale(place.X, dpi), Scale(place.Y, dpi), Scale(place.Width, dpi),
                     Scale(place.Height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(place.Control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font), TRUE);
    }
    // The owner-drawn rows were measured once, at the dpi the dialog started with.
    const int rowHeight = Scale(kClassicPictureHeight + 1, dpi);
    SendDlgItemMessageW(m_window, kFolderList, LB_SETITEMHEIGHT, 0, rowHeight);
    SendDlgItemMessageW(m_window, kDriveBox, CB_SETITEMHEIGHT, 0, rowHeight);
    SendDlgItemMessageW(m_window, kDriveBox, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), rowHeight);
    if (previous != nullptr) {
        DeleteObject(previous);
    }
    InvalidateRect(m_window, nullptr, TRUE);
}

void SelectDirectoryDialog::FillDrives()
{
    m_drives = m_folders.MountedDrives();
    HWND box = GetDlgItem(m_window, kDriveBox);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    SendMessageW(box, CB_SETITEMHEIGHT, 0, Scale(kClassicPictureHeight + 1, m_dpi));
    for (const Drive& drive : m_drives) {
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(ClassicDriveText(drive)).c_str()));
    }
}

// By value: the folder often comes from a row, and the rows are made anew here.
void SelectDirectoryDialog::Open(std::string folder)
{
    if (folder.empty() || !m_folders.CanEnterFolder(folder)) {
        return;
    }
    m_openFolder = folder;
    std::string root = FolderNavigation::RootOf(m_drives, folder);
    if (root.empty()) {
        root = folder.substr(0, folder.find('/') + 1);
    }
    m_rows = FolderNavigation::RowsFor(root, folder, FolderNavigation::SortedSubFolders(m_folders, m_collator, folder));
    HWND list = GetDlgItem(m_window, kFolderList);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const FolderRow& row : m_rows) {
        const std::wstring name = &row == &m_rows.front() ? Shown(row.Path) : WideFromUtf8(row.Name);
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
    const auto open = std::find_if(m_rows.begin(), m_rows.end(),
                                   [](const FolderRow& row) { return row.Role == FolderRow::Kind::Open; });
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(open - m_rows.begin()), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);

    HWND files = GetDlgItem(m_window, kFileList);
    SendMessageW(files, WM_SETREDRAW, FALSE, 0);
    SendMessageW(files, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : SortedFileNames(m_folders, m_collator, folder)) {
        SendMessageW(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(name).c_str()));
    }
    SendMessageW(files, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(files, nullptr, TRUE);

    for (std::size_t i = 0; i < m_drives.size(); ++i) {
        if (FolderNavigation::SameFolder(m_drives[i].Root, root)) {
            SendDlgItemMessageW(m_window, kDriveBox, CB_SETCURSEL, i, 0);
        }
    }
    SetDlgItemTextW(m_window, kNameEdit, Shown(folder).c_str());
    SendDlgItemMessageW(m_window, kNameEdit, EM_SETSEL, 0, -1);
}

void SelectDirectoryDialog::OpenSelectedRow()
{
    const LRESULT row = SendDlgItemMessageW(m_window, kFolderList, LB_GETCURSEL, 0, 0);
    if (row >= 0 && static_cast<std::size_t>(row) < m_rows.size()) {
        Open(m_rows[static_cast<std::size_t>(row)].Path);
    }
}

void SelectDirectoryDialog::DrivePicked()
{
    const LRESULT index = SendDlgItemMessageW(m_window, kDriveBox, CB_GETCURSEL, 0, 0);
    if (index < 0 || static_cast<std::size_t>(index) >= m_drives.size()) {
        return;
    }
    const std::string& root = m_drives[static_cast<std::size_t>(index)].Root;
    if (FolderNavigation::SameFolder(root, FolderNavigation::RootOf(m_drives, m_openFolder))) {
        return;
    }
    if (m_folders.CanEnterFolder(root)) {
        Open(root);
        return;
    }
    // A drive without a medium or without access: stay, and show the open folder's drive again.
    const std::string open = m_openFolder;
    m_openFolder.clear();
    Open(open);
}

void SelectDirectoryDialog::OkPressed()
{
    const std::string typed = Utf8FromWide(WindowText(GetDlgItem(m_window, kNameEdit)));
    const std::string folder = typed.empty() ? std::string() : WithinFolder(m_openFolder, typed);
    if (!m_folders.IsFolder(folder)) {
        if (!m_confirm(m_window, L"Confirm", L"The specified directory does not exist. Create it?")) {
            return;
        }
        m_directory = typed;
        if (typed.empty()) {
            m_createFailed = true;
            EndDialog(m_window, IDCANCEL);
            return;
        }
        // A failure to create the folder goes unreported; the name is returned all the same.
        m_folders.MakeFolders(folder);
    }
    m_directory = typed;
    m_folders.SetWorkingFolder(m_openFolder);
    EndDialog(m_window, IDOK);
}

void SelectDirectoryDialog::DrawFolderRow(const DRAWITEMSTRUCT& item)
{
    if (item.itemID >= m_rows.size()) {
        return;
    }
    const FolderRow& row = m_rows[item.itemID];
    HDC dc = item.hDC;
    FillRect(dc, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
    const int scale = std::max(1, Scale(1, m_dpi));
    const int left = item.rcItem.left + Scale(2 + kStep * row.Depth, m_dpi);
    const ClassicPicture picture = row.Role == FolderRow::Kind::Chain  ? ClassicPicture::OpenFolder
                                   : row.Role == FolderRow::Kind::Open ? ClassicPicture::CurrentFolder
                                                                       : ClassicPicture::ClosedFolder;
    const int height = item.rcItem.bottom - item.rcItem.top;
    DrawClassicPicture(dc, picture, left, item.rcItem.top + (height - kClassicPictureHeight * scale) / 2, scale);
    wchar_t text[MAX_PATH] = {};
    SendMessageW(item.hwndItem, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text));
    RECT textRect{left + (kClassicPictureWidth + 4) * scale, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
    RECT measured = textRect;
    DrawTextW(dc, text, -1, &measured, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_CALCRECT);
    textRect.right = std::min(item.rcItem.right, measured.right + Scale(4, m_dpi));
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    if (selected) {
        FillRect(dc, &textRect, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT inner{textRect.left + Scale(2, m_dpi), textRect.top, textRect.right, textRect.bottom};
    DrawTextW(dc, text, -1, &inner, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
    if ((item.itemState & ODS_FOCUS) != 0) {
        DrawFocusRect(dc, &textRect);
    }
}

void SelectDirectoryDialog::DrawDriveItem(const DRAWITEMSTRUCT& item)
{
    HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    FillRect(dc, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID >= m_drives.size()) {
        return;
    }
    const int scale = std::max(1, Scale(1, m_dpi));
    const int height = item.rcItem.bottom - item.rcItem.top;
    const int left = item.rcItem.left + Scale(2, m_dpi);
    DrawClassicPicture(dc, ClassicPictureOf(m_drives[item.itemID].Kind), left,
                       item.rcItem.top + (height - kClassicPictureHeight * scale) / 2, scale);
    const std::wstring text = WideFromUtf8(ClassicDriveText(m_drives[item.itemID]));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textRect{left + (kClassicPictureWidth + 4) * scale, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
    DrawTextW(dc, text.c_str(), -1, &textRect, DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
}

INT_PTR CALLBACK SelectDirectoryDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        reinterpret_cast<SelectDirectoryDialog*>(lParam)->m_window = window;
    }
    auto* dialog = reinterpret_cast<SelectDirectoryDialog*>(GetWindowLongPtrW(window, DWLP_USER));
    return dialog != nullptr ? dialog->Handle(message, wParam, lParam) : FALSE;
}

INT_PTR SelectDirectoryDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        CreateControls();
        FillDrives();
        const std::string working = FolderNavigation::CleanPath(m_folders.WorkingFolder());
        std::string start = m_initialDir.empty() ? std::string()
                                                 : FolderNavigation::CleanPath(WithinFolder(working, m_initialDir));
        if (start.empty() || !m_folders.CanEnterFolder(start)) {
            start = working;
        }
        m_openFolder.clear();
        Open(start);
        SetFocus(GetDlgItem(m_window, kNameEdit));
        return FALSE;
    }
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight =
            static_cast<UINT>(Scale(kClassicPictureHeight + 1, m_dpi));
        return TRUE;
    case WM_DPICHANGED: {
        // Moved to a monitor of another scale: the controls follow, in the size the system offers.
        ApplyDpi(HIWORD(wParam));
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
    case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.CtlID == kFolderList) {
            DrawFolderRow(item);
        } else if (item.CtlID == kDriveBox) {
            DrawDriveItem(item);
        }
        return TRUE;
    }
    case WM_CTLCOLORLISTBOX:
        // The file list is for information only: its names are grey.
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(m_window, kFileList)) {
            SetTextColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_GRAYTEXT));
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
        }
        return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == IDOK) {
            // Enter in the folder list opens the selected folder rather than pressing "OK".
            if (GetFocus() == GetDlgItem(m_window, kFolderList)) {
                OpenSelectedRow();
            } else {
                OkPressed();
            }
        } else if (id == IDCANCEL) {
            EndDialog(m_window, IDCANCEL);
        } else if (id == kFolderList && code == LBN_DBLCLK) {
            OpenSelectedRow();
        } else if (id == kDriveBox && (code == CBN_SELENDOK ||
                                       (code == CBN_SELCHANGE && !SendMessageW(reinterpret_cast<HWND>(lParam),
                                                                               CB_GETDROPPEDSTATE, 0, 0)))) {
            DrivePicked();
        } else if (id == kNetworkButton) {
            WNetConnectionDialog(m_window, RESOURCETYPE_DISK);
            FillDrives();
            const std::string open = m_openFolder;
            m_openFolder.clear();
            Open(open);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace pellamy::win32
