// SPDX-License-Identifier: GPL-3.0-or-later
// known_window: a window whose contents are fixed, built from the same kinds of controls and with
// the same identifiers as the program's window, so that window_reader is checked against what it
// must read before it is trusted with the program. Its two list views keep no rows of their own
// (LVS_OWNERDATA), as the program's do; the type list copies each cell into the buffer it is
// asked to fill, the file list points the list view at text of its own, the two ways a window may
// answer LVN_GETDISPINFOW. A click on a type row lists that type's files and writes
// "Files: N" in the status bar's second part.
#include "app/win32/ControlIds.h"

#include <windows.h>
#include <commctrl.h>

#include <cwchar>
#include <string>

namespace {

using namespace pellamy::win32;

struct TypeRow
{
    const wchar_t* Cells[4];
    int Files;
};

constexpr TypeRow kTypes[] = {
    {{L".txt", L"Text Document", L"2", L"30"}, 2},
    {{L".log", L"Log File", L"3", L"1,024"}, 3},
    {{L"(none)", L"", L"1", L"7"}, 1},
};
constexpr const wchar_t* kTypeColumns[] = {L"Type", L"Description", L"Number", L"Size"};
constexpr const wchar_t* kFileColumns[] = {L"Type", L"Name", L"Created", L"Modified", L"Attribs", L"Size"};

HWND g_types = nullptr;
HWND g_files = nullptr;
HWND g_status = nullptr;
int g_shownType = -1;
std::wstring g_cell;

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, int id, int x, int y, int w,
           int h)
{
    return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
}

HWND ReportView(HWND parent, int id, int y, const wchar_t* const* columns, int count)
{
    const HWND list = Child(parent, WC_LISTVIEWW, L"", WS_BORDER | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS,
                            id, 10, y, 560, 150);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int column = 0; column < count; ++column) {
        LVCOLUMNW caption{};
        caption.mask = LVCF_TEXT | LVCF_WIDTH;
        caption.cx = 90;
        caption.pszText = const_cast<wchar_t*>(columns[column]);
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&caption));
    }
    return list;
}

void CreateControls(HWND window)
{
    const HWND bar = Child(window, L"Static", L"", 0, kPanel3, 0, 0, 580, 60);
    const int boxes[] = {kroFile, khidFile, ksysFile, karcFile};
    const wchar_t* names[] = {L"Read-only", L"Hidden", L"System", L"Archive"};
    for (int box = 0; box < 4; ++box) {
        const HWND check = Child(bar, L"Button", names[box], BS_AUTOCHECKBOX, boxes[box], 10 + box * 100, 5, 95, 20);
        SendMessageW(check, BM_SETCHECK, boxes[box] == karcFile ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    Child(bar, L"Static", L"3 types, 6 files", 0, kTotalsLine, 10, 30, 300, 20);
    g_types = ReportView(window, ksLView, 70, kTypeColumns, 4);
    SendMessageW(g_types, LVM_SETITEMCOUNT, 3, 0);
    g_files = ReportView(window, kLView2, 230, kFileColumns, 6);
    const HWND folders = Child(window, L"ListBox", L"", WS_BORDER | LBS_HASSTRINGS, kdList, 580, 70, 150, 100);
    SendMessageW(folders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"[..]"));
    SendMessageW(folders, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"[sub]"));
    g_status = Child(window, STATUSCLASSNAMEW, L"", 0, kStatusBar1, 0, 0, 0, 0);
    int edges[] = {300, -1};
    SendMessageW(g_status, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    SendMessageW(g_status, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L"Double-click a type to list its files"));
    SendMessageW(g_status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(L""));
}

void ShowType(int type)
{
    g_shownType = type;
    SendMessageW(g_files, LVM_SETITEMCOUNT, static_cast<WPARAM>(kTypes[type].Files), 0);
    InvalidateRect(g_files, nullptr, TRUE);
    const std::wstring status = L"Files: " + std::to_wstring(kTypes[type].Files);
    SendMessageW(g_status, SB_SETTEXTW, 1, reinterpret_cast<LPARAM>(status.c_str()));
}

LRESULT Notify(const NMHDR& header, LPARAM lParam)
{
    if (header.code == LVN_GETDISPINFOW) {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
        if ((item.mask & LVIF_TEXT) == 0) {
            return 0;
        }
        if (header.hwndFrom == g_types && item.iItem >= 0 && item.iItem < 3 && item.iSubItem < 4) {
            std::wcsncpy(item.pszText, kTypes[item.iItem].Cells[item.iSubItem],
                         static_cast<std::size_t>(item.cchTextMax));
            item.pszText[item.cchTextMax - 1] = L'\0';
        } else if (header.hwndFrom == g_files && g_shownType >= 0) {
            const TypeRow& type = kTypes[g_shownType];
            const std::wstring extension = type.Cells[0][0] == L'.' ? type.Cells[0] : L"";
            const wchar_t* fixed[] = {type.Cells[0], nullptr, L"2024-01-02 03:04", L"2024-05-06 07:08", L"A", L"10"};
            g_cell = item.iSubItem == 1 ? L"file" + std::to_wstring(item.iItem + 1) + extension
                                        : std::wstring(fixed[item.iSubItem]);
            item.pszText = g_cell.data();
        }
    } else if (header.code == NM_CLICK && header.hwndFrom == g_types) {
        const int row = reinterpret_cast<NMITEMACTIVATE*>(lParam)->iItem;
        if (row >= 0 && row < 3) {
            ShowType(row);
        }
    }
    return 0;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        CreateControls(window);
        return 0;
    case WM_SIZE:
        SendMessageW(g_status, WM_SIZE, 0, 0);
        return 0;
    case WM_NOTIFY:
        return Notify(*reinterpret_cast<NMHDR*>(lParam), lParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"KnownWindow";
    RegisterClassExW(&windowClass);
    const HWND window = CreateWindowExW(0, L"KnownWindow", kWindowCaption, WS_OVERLAPPEDWINDOW, 40, 40, 760, 520,
                                        nullptr, nullptr, instance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
