// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/win32/navigator/FolderNavigator.h"

#include "app/win32/ControlIds.h"
#include "app/win32/Dpi.h"
#include "app/win32/Skin.h"
#include "platform/win32/WideText.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

namespace pellamy::win32 {
namespace {

constexpr wchar_t kPanelClass[] = L"PellamyFolderNavigator";
constexpr int kRowHeight = 17;
constexpr int kDriveBoxHeight = 22;

// Keeps the system from asking for a disc while the shell looks at a drive without a medium.
class NoCriticalErrorBoxes
{
public:
    NoCriticalErrorBoxes() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &m_previous); }
    NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
    NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;
    ~NoCriticalErrorBoxes() { SetThreadErrorMode(m_previous, nullptr); }

private:
    DWORD m_previous = 0;
};

// A clean path as the shell takes it: "C:\Program Files", "C:\".
std::wstring ShellPath(const std::string& path)
{
    std::wstring wide = WideFromUtf8(path);
    for (wchar_t& c : wide) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    return wide;
}

struct ShellInfo
{
    std::wstring Name;
    int Icon = -1;
};

// The shell's display name of `path` and the index of its small icon (opened, when asked) in the
// system's list of small icons.
ShellInfo ShellInfoOf(const std::string& path, bool opened)
{
    SHFILEINFOW info{};
    UINT flags = SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_DISPLAYNAME;
    if (opened) {
        flags |= SHGFI_OPENICON;
    }
    if (SHGetFileInfoW(ShellPath(path).c_str(), 0, &info, sizeof info, flags) == 0) {
        return {};
    }
    return {info.szDisplayName, info.iIcon};
}

std::wstring Trimmed(std::wstring text)
{
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.back())) {
        text.pop_back();
    }
    std::size_t start = 0;
    while (start < text.size() && blank(text[start])) {
        ++start;
    }
    return text.substr(start);
}

HIMAGELIST SystemSmallIcons()
{
    SHFILEINFOW info{};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

void RegisterPanelClass(WNDPROC procedure)
{
    static const bool registered = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        windowClass.lpszClassName = kPanelClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    (void)registered;
}

/// Posted to the panel by a reader that has brought sub-folders.
constexpr UINT kSubFoldersRead = WM_APP + 20;

} // namespace

FolderNavigator::FolderNavigator(HWND parent, FolderSystem& folders, const TextCollator& collator, Events events)
    : m_folders(folders)
    , m_collator(collator)
    , m_navigation(folders, collator)
    , m_events(std::move(events))
    , m_smallIcons(SystemSmallIcons())
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterPanelClass(&FolderNavigator::PanelProc);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    m_dpi = DpiOf(parent);
    m_rowHeight = Scale(kRowHeight, m_dpi);
    m_panel = CreateWindowExW(WS_EX_CONTROLPARENT, kPanelClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                              Scale(209, m_dpi), Scale(249, m_dpi), parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPanel2)), instance, this);
    // The drive box comes before the list in the tab order, as in the window's definition.
    m_driveBox = CreateWindowExW(0, WC_COMBOBOXEXW, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                 0, 0, 0, Scale(200, m_dpi), m_panel,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(kJvDriveCombo1)), instance, nullptr);
    m_list = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                             WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                 LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | LBS_WANTKEYBOARDINPUT,
                             0, 0, 0, 0, m_panel, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kdList)), instance,
                             nullptr);
    SendMessageW(m_driveBox, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(m_smallIcons));
    ShowDrives();
    ShowRows();
    Layout();
}

FolderNavigator::~FolderNavigator()
{
    // Readers still at work give up at their next check; each is waited for.
    m_readers.StopAll();
    if (m_panel != nullptr) {
        SetWindowLongPtrW(m_panel, GWLP_USERDATA, 0);
        DestroyWindow(m_panel);
    }
}

void FolderNavigator::SetFont(HFONT font, UINT dpi)
{
    m_dpi = dpi;
    SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(m_driveBox, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // The row height holds the icon and a line of the font, whichever is taller.
    HDC dc = GetDC(m_list);
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, previous);
    ReleaseDC(m_list, dc);
    m_rowHeight = std::max(Scale(kRowHeight, dpi), static_cast<int>(metrics.tmHeight) + Scale(2, dpi));
    SendMessageW(m_list, LB_SETITEMHEIGHT, 0, m_rowHeight);
    Layout();
    InvalidateRect(m_panel, nullptr, TRUE);
}

void FolderNavigator::Place(const RECT& rect)
{
    MoveWindow(m_panel, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void FolderNavigator::SetDirectory(const std::string& path)
{
    if (m_navigation.SetDirectory(path)) {
        ShowRows();
    }
    SelectDriveItem();
}

void FolderNavigator::DrivesChanged()
{
    m_navigation.RefreshDrives();
    ShowDrives();
}

void FolderNavigator::Layout()
{
    RECT client{};
    GetClientRect(m_panel, &client);
    const int boxHeight = Scale(kDriveBoxHeight, m_dpi);
    // The drop-down list's selection field is sized by its item height; the box's own height is
    // that of the field with the list dropped, so the field's height is set to fill the strip.
    HWND combo = reinterpret_cast<HWND>(SendMessageW(m_driveBox, CBEM_GETCOMBOCONTROL, 0, 0));
    if (combo != nullptr) {
        SendMessageW(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), boxHeight - 6);
    }
    const int listHeight = std::max(0, static_cast<int>(client.bottom) - boxHeight);
    MoveWindow(m_list, 0, 0, client.right, listHeight, TRUE);
    MoveWindow(m_driveBox, 0, listHeight, client.right, Scale(200, m_dpi), TRUE);
}

void FolderNavigator::ShowRows()
{
    m_showing = true;
    const NoCriticalErrorBoxes guard;
    const std::vector<FolderRow>& rows = m_navigation.Rows();
    m_shownRows.clear();
    m_shownRows.reserve(rows.size());
    SendMessageW(m_list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(m_list, LB_RESETCONTENT, 0, 0);
    for (const FolderRow& row : rows) {
        ShellInfo info = ShellInfoOf(row.Path, row.Role != FolderRow::Kind::Sub);
        if (info.Name.empty()) {
            info.Name = WideFromUtf8(row.Name);
        }
        SendMessageW(m_list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(info.Name.c_str()));
        m_shownRows.push_back(ShownRow{std::move(info.Name), info.Icon});
    }
    SendMessageW(m_list, LB_SETCURSEL, m_navigation.OpenRow(), 0);
    // From the top, so the chain from the root stays in view as far as the open row allows.
    SendMessageW(m_list, LB_SETTOPINDEX, 0, 0);
    SendMessageW(m_list, LB_SETCURSEL, m_navigation.OpenRow(), 0);
    SendMessageW(m_list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(m_list, nullptr, TRUE);
    m_showing = false;
    StartReading();
}

void FolderNavigator::ReadSubFoldersInBackground(bool on)
{
    m_navigation.ReadSubFoldersApart(on);
}

void FolderNavigator::StartReading()
{
    const std::uint64_t opening = m_navigation.Opening();
    if (m_navigation.AwaitedFolder().empty() || m_readingStarted == opening) {
        return;
    }
    m_readingStarted = opening;
    // A reading for a folder left before it ended is no longer wanted.
    m_readers.Start([this, opening, folder = m_navigation.AwaitedFolder(), panel = m_panel](std::stop_token stop) {
        SetThreadErrorMode(SEM_FAILCRITICALERRORS, nullptr);
        std::vector<std::string> subFolders = FolderNavigation::SortedSubFolders(m_folders, m_collator, folder, stop);
        if (!stop.stop_requested()) {
            {
                const std::lock_guard lock(m_readingsMutex);
                m_readings.push_back(Reading{opening, std::move(subFolders)});
            }
            PostMessageW(panel, kSubFoldersRead, 0, 0);
        }
    });
}

void FolderNavigator::TakeReadings()
{
    std::vector<Reading> readings;
    {
        const std::lock_guard lock(m_readingsMutex);
        readings.swap(m_readings);
    }
    for (const Reading& reading : readings) {
        if (m_navigation.ShowSubFolders(reading.Opening, reading.SubFolders)) {
            ShowRows();
        }
    }
}

void FolderNavigator::ShowDrives()
{
    const NoCriticalErrorBoxes guard;
    SendMessageW(m_driveBox, CB_RESETCONTENT, 0, 0);
    int index = 0;
    for (const Drive& drive : m_navigation.ListedDrives()) {
        ShellInfo info = ShellInfoOf(drive.Root, false);
        std::wstring name = Trimmed(info.Name);
        if (name.empty()) {
            name = ShellPath(drive.Root);
        }
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = index++;
        item.pszText = name.data();
        item.iImage = info.Icon;
        item.iSelectedImage = info.Icon;
        SendMessageW(m_driveBox, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
    SelectDriveItem();
}

void FolderNavigator::SelectDriveItem()
{
    const std::vector<Drive> listed = m_navigation.ListedDrives();
    for (std::size_t i = 0; i < listed.size(); ++i) {
        if (FolderNavigation::SameFolder(listed[i].Root, m_navigation.SelectedDrive())) {
            SendMessageW(m_driveBox, CB_SETCURSEL, i, 0);
            return;
        }
    }
}

void FolderNavigator::RowPicked(bool raiseClick)
{
    const LRESULT selected = SendMessageW(m_list, LB_GETCURSEL, 0, 0);
    const std::vector<FolderRow>& rows = m_navigation.Rows();
    if (selected < 0 || static_cast<std::size_t>(selected) >= rows.size()) {
        return;
    }
    SetDirectory(rows[static_cast<std::size_t>(selected)].Path);
    if (raiseClick && m_events.DirectoryClicked) {
        m_events.DirectoryClicked();
    }
}

void FolderNavigator::DrivePicked()
{
    const LRESULT selected = SendMessageW(m_driveBox, CB_GETCURSEL, 0, 0);
    const std::vector<Drive> listed = m_navigation.ListedDrives();
    if (selected < 0 || static_cast<std::size_t>(selected) >= listed.size()) {
        return;
    }
    const FolderNavigation::DrivePick pick = m_navigation.PickDrive(listed[static_cast<std::size_t>(selected)].Root);
    if (pick == FolderNavigation::DrivePick::Same) {
        return;
    }
    if (pick == FolderNavigation::DrivePick::Entered) {
        ShowRows();
    }
    SelectDriveItem();
    if (m_events.DriveChanged) {
        m_events.DriveChanged();
    }
}

void FolderNavigator::ApplyColors()
{
    InvalidateRect(m_panel, nullptr, TRUE);
    InvalidateRect(m_list, nullptr, TRUE);
}

void FolderNavigator::DrawRow(const DRAWITEMSTRUCT& item)
{
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= m_shownRows.size()) {
        return;
    }
    HDC dc = item.hDC;
    const RECT& rect = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const SkinColors& colors = CurrentColors();
    if (selected) {
        HBRUSH highlight = CreateSolidBrush(colors.Highlight);
        FillRect(dc, &rect, highlight);
        DeleteObject(highlight);
    } else {
        FillRect(dc, &rect, ListBrush());
    }
    const ShownRow& shown = m_shownRows[item.itemID];
    const int depth = m_navigation.Rows()[item.itemID].Depth;
    const int iconLeft = rect.left + Scale(item.itemID == 0 ? 2 : 4 * depth + 6, m_dpi);
    int iconWidth = GetSystemMetrics(SM_CXSMICON);
    int iconHeight = GetSystemMetrics(SM_CYSMICON);
    ImageList_GetIconSize(m_smallIcons, &iconWidth, &iconHeight);
    if (m_smallIcons != nullptr && shown.Icon >= 0) {
        ImageList_Draw(m_smallIcons, shown.Icon, dc, iconLeft, rect.top + (rect.bottom - rect.top - iconHeight) / 2,
                       ILD_TRANSPARENT);
    }
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? colors.HighlightText : colors.ListText);
    RECT text{iconLeft + iconWidth + Scale(4, m_dpi), rect.top + Scale(2, m_dpi), rect.right, rect.bottom};
    RECT measured = text;
    DrawTextW(dc, shown.Name.c_str(), static_cast<int>(shown.Name.size()), &measured,
              DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
    DrawTextW(dc, shown.Name.c_str(), static_cast<int>(shown.Name.size()), &text, DT_SINGLELINE | DT_NOPREFIX);
    if ((item.itemState & ODS_FOCUS) != 0) {
        RECT focus{measured.left - 1, rect.top, measured.right + 1, rect.bottom};
        DrawFocusRect(dc, &focus);
    }
}

LRESULT CALLBACK FolderNavigator::PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* navigator = reinterpret_cast<FolderNavigator*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (navigator == nullptr || navigator->m_panel == nullptr) {
        if (navigator != nullptr && message == WM_MEASUREITEM) {
            reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(navigator->m_rowHeight);
            return TRUE;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return navigator->Handle(message, wParam, lParam);
}

LRESULT FolderNavigator::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CTLCOLORLISTBOX:
        // The directory list's background, below its rows, in the window's list colour.
        SetBkColor(reinterpret_cast<HDC>(wParam), CurrentColors().ListBack);
        return reinterpret_cast<LRESULT>(ListBrush());
    case WM_ERASEBKGND: {
        RECT area;
        GetClientRect(m_panel, &area);
        FillRect(reinterpret_cast<HDC>(wParam), &area, FaceBrush());
        return 1;
    }
    case WM_SIZE:
        Layout();
        return 0;
    case WM_MEASUREITEM:
        reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->itemHeight = static_cast<UINT>(m_rowHeight);
        return TRUE;
    case WM_DRAWITEM:
        if (wParam == static_cast<WPARAM>(kdList)) {
            DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_VKEYTOITEM:
        if (reinterpret_cast<HWND>(lParam) == m_list && LOWORD(wParam) == VK_RETURN) {
            // Enter opens the selected row again, without the click notification.
            RowPicked(false);
            return -2;
        }
        return -1;
    case kSubFoldersRead:
        TakeReadings();
        return 0;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == kdList && code == LBN_SELCHANGE && !m_showing) {
            RowPicked(true);
            return 0;
        }
        if (id == kJvDriveCombo1) {
            const bool dropped = SendMessageW(m_driveBox, CB_GETDROPPEDSTATE, 0, 0) != 0;
            // With the list closed each change is a pick; with it open, only the item it closes on.
            if ((code == CBN_SELCHANGE && !dropped) || code == CBN_SELENDOK) {
                DrivePicked();
            } else if (code == CBN_SELENDCANCEL) {
                SelectDriveItem();
            }
            return 0;
        }
        break;
    }
    default:
        break;
    }
    return DefWindowProcW(m_panel, message, wParam, lParam);
}

} // namespace pellamy::win32
