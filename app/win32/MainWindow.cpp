// SPDX-License-Identifier: GPL-3.0-or-later
// The window's controls, their layout at the monitor's dpi, and the messages they send, turned into
// the window core's handlers.
#include "app/win32/MainWindow.h"

#include "app/win32/ControlIds.h"
#include "app/win32/Dpi.h"
#include "app/win32/Panels.h"
#include "app/win32/Skin.h"
#include "app/win32/navigator/FolderNavigator.h"
#include "app/win32/navigator/SelectDirectoryDialog.h"
#include "lists/ColumnCaptions.h"
#include "platform/win32/WideText.h"
#include "window/PopupMenus.h"
#include "window/WindowControls.h"

#include <initguid.h>
#include <oleacc.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>

namespace pellamy::win32 {
namespace {

constexpr UINT kStartMessage = WM_APP + 1;
constexpr UINT kFirstMenu1Item = 1000;
constexpr UINT kFirstMenu2Item = 2000;

/// The check boxes of the filter bar by their identifiers and names.
struct FilterBox
{
    int Id;
    const char* Name;
};

constexpr FilterBox kFilterBoxes[] = {
    {kroFile, "roFile"},   {khidFile, "hidFile"}, {ksysFile, "sysFile"},
    {karcFile, "arcFile"}, {kAttrChk, "AttrChk"}, {kSubFolders, "SubFolders"},
};

std::wstring CaptionOf(const char* name)
{
    return WideFromUtf8(ControlNamed(name).Caption);
}

HWND FindControl(HWND parent, int id)
{
    struct Search
    {
        int Id;
        HWND Found;
    } search{id, nullptr};
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM data) -> BOOL {
            auto* wanted = reinterpret_cast<Search*>(data);
            if (GetDlgCtrlID(child) == wanted->Id) {
                wanted->Found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND CreateCheckBox(HWND parent, int id, const wchar_t* caption)
{
    return CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 0, 0, 0, 0,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
}

const std::vector<ColumnSpec> kTypeListColumns = {
    {kTypeColumns[0], 80, false}, {kTypeColumns[1], 0, false}, {kTypeColumns[2], 58, true}, {kTypeColumns[3], 90, true}};
const std::vector<ColumnSpec> kFileListColumns = {{kFileColumns[0], 60, false},  {kFileColumns[1], 0, false},
                                                  {kFileColumns[2], 140, false}, {kFileColumns[3], 140, false},
                                                  {kFileColumns[4], 60, false},  {kFileColumns[5], 80, true}};

std::span<const MenuEntry> MenuOf(WindowList list)
{
    return list == WindowList::Files ? PopupMenu1() : PopupMenu2();
}

} // namespace

MainWindow::MainWindow(Platform& platform, HINSTANCE instance)
    : m_platform(platform)
    , m_instance(instance)
    , m_core(*this, platform)
    , m_typeTable(std::make_unique<TableOf<TypeTable>>(m_core.TypeRows()))
    , m_fileTable(std::make_unique<TableOf<FileTable>>(m_core.FileRows()))
{
    INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                  ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_USEREX_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    static bool registered = false;
    if (!registered) {
        registered = true;
        WNDCLASSEXW form{};
    form.cbSize = sizeof form;
        form.lpfnWndProc = WindowProc;
        form.hInstance = instance;
        form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        form.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
        form.lpszClassName = kWindowClass;
        RegisterClassExW(&form);
    }
    m_window = CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES, kWindowClass, kWindowCaption,
                               WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, 989, 661, nullptr,
                               nullptr, instance, this);
    m_dpi = DpiOf(m_window);
    CreateControls();
    ApplyDpi(m_dpi);
    // Files dropped from a program that runs with more rights than this one still arrive.
    using FilterCall = BOOL(WINAPI*)(UINT, DWORD);
    if (auto filter = reinterpret_cast<FilterCall>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilter")))) {
        filter(WM_DROPFILES, MSGFLT_ADD);
        filter(WM_COPYDATA, MSGFLT_ADD);
        filter(0x0049 /* WM_COPYGLOBALDATA */, MSGFLT_ADD);
    }
    DragAcceptFiles(m_window, TRUE);
}

MainWindow::~MainWindow()
{
    if (IsWindow(m_window)) {
        SetWindowLongPtrW(m_window, GWLP_USERDATA, 0);
        DestroyWindow(m_window);
    }
    DeleteObject(m_font);
    DeleteObject(m_boldFont);
}

HWND MainWindow::Control(int id) const
{
    return FindControl(m_window, id);
}

void MainWindow::CreateControls()
{
    m_banner = CreatePanel(m_window, kPanel1, PanelLook::Banner, CaptionOf("Panel1").c_str());
    m_controls["ISF"] = CreateCheckBox(m_banner, kISF, CaptionOf("ISF").c_str());

    m_files = std::make_unique<ListView>(m_window, kLView2, true, false, kFileListColumns, *m_fileTable);
    m_controls["LView2"] = m_files->Handle();

    m_filterBar = CreatePanel(m_window, kPanel3, PanelLook::Bar);
    for (const FilterBox& box : kFilterBoxes) {
        m_controls[box.Name] = CreateCheckBox(m_filterBar, box.Id, CaptionOf(box.Name).c_str());
    }
    Button_SetCheck(FindControl(m_filterBar, karcFile), BST_CHECKED);
    m_totals = CreatePanel(m_filterBar, kTotalsLine, PanelLook::Caption, CaptionOf("Panel3Caption").c_str());
    m_controls["Panel3Caption"] = m_totals;

    m_types = std::make_unique<ListView>(m_window, ksLView, false, true, kTypeListColumns, *m_typeTable);
    m_controls["sLView"] = m_types->Handle();

    FolderNavigator::Events events;
    events.DirectoryClicked = [this] { RunHandler([this] { m_core.dListClick(); }); };
    events.DriveChanged = [this] { RunHandler([this] { m_core.JvDriveCombo1Change(); }); };
    m_navigator = std::make_unique<FolderNavigator>(m_window, m_platform.Folders(), m_platform.Collator(),
                                                    std::move(events));
    // The navigator's first folder, where programs live. Entering it moves the working folder,
    // which is put back so that relative paths on the command line mean what the user meant.
    m_navigator->ReadSubFoldersInBackground(true);
    FolderSystem& folders = m_platform.Folders();
    const std::string workingFolder = folders.WorkingFolder();
    m_navigator->SetDirectory("C:/Program Files");
    folders.SetWorkingFolder(workingFolder);

    m_splitter1 = std::make_unique<Splitter>(m_window, kJvSplitter1, true, [this](int position) {
        m_navigatorWidth = std::max(0, MulDiv(position, static_cast<int>(kDesignDpi), static_cast<int>(m_dpi)));
        Layout();
    });
    m_splitter2 = std::make_unique<Splitter>(m_window, kJvSplitter2, false, [this](int position) {
        const int top = Scale(29, m_dpi);
        m_folderAreaHeight =
            std::max(0, MulDiv(position - top, static_cast<int>(kDesignDpi), static_cast<int>(m_dpi)));
        Layout();
    });
    m_statusBar = CreateWindowExW(0, STATUSCLASSNAMEW, L"", WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0, 0, 0,
                                  m_window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBar1)), m_instance,
                                  nullptr);
    SkinStatusBar(m_statusBar);
    // The hint line's tooltip: what a walk could not read, in full.
    m_statusTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                                  0, 0, m_window, nullptr, m_instance, nullptr);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = m_statusBar;
    tool.uId = 1;
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(m_statusTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_statusTip, TTM_ACTIVATE, FALSE, 0);
    m_types->SetShareBars(3, [this](std::size_t row) { return m_core.TypeRows().SizeShare(row); });
    SkinHeader(ListView_GetHeader(m_types->Handle()));
    SkinHeader(ListView_GetHeader(m_files->Handle()));
    m_dirs = std::make_unique<SelectDirectoryDialog>(m_platform.Folders(), m_platform.Collator());
    m_controls["dList"] = m_navigator->DirectoryList();
    m_controls["JvDriveCombo1"] = m_navigator->DriveBox();
    m_controls["JvSplitter1"] = m_splitter1->Handle();
    m_controls["JvSplitter2"] = m_splitter2->Handle();
    m_controls["StatusBar1"] = m_statusBar;
    NameControls();

    // Tab moves in the window definition's order: the banner's check box, the file list, the
    // filter bar's check boxes, the type list, then the navigator's drive box and directory list.
    HWND previous = HWND_TOP;
    for (HWND control : {m_banner, m_files->Handle(), m_filterBar, m_types->Handle(), m_navigator->Panel()}) {
        SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control;
    }
    SetWindowPos(m_navigator->DriveBox(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::NameControls()
{
    // Screen readers announce each control by its name and read its hint as its description. The
    // lists, the directory list and the drive box show no caption, so their window texts carry
    // their names for the system's accessibility, which reads a control's name from its text; the
    // rest is set as the control's accessibility properties, where the system keeps them.
    for (const char* name : {"sLView", "LView2", "dList", "JvDriveCombo1", "JvSplitter1", "JvSplitter2"}) {
        SetWindowTextW(m_controls[name], WideFromUtf8(ControlNamed(name).AccessibleName).c_str());
    }
    IAccPropServices* properties = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&properties)))) {
        return;
    }
    for (const auto& [name, handle] : m_controls) {
        const WindowControl& control = ControlNamed(name);
        if (!control.AccessibleName.empty()) {
            properties->SetHwndPropStr(handle, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_NAME,
                                       WideFromUtf8(control.AccessibleName).c_str());
        }
        if (!control.Hint.empty()) {
            properties->SetHwndPropStr(handle, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                       PROPID_ACC_DESCRIPTION, WideFromUtf8(control.Hint).c_str());
        }
    }
    properties->Release();
}

void MainWindow::ApplyDpi(UINT dpi)
{
    m_dpi = dpi;
    HFONT oldFont = m_font;
    HFONT oldBold = m_boldFont;
    m_font = MakeWindowFont(dpi);
    m_boldFont = MakeWindowFont(dpi, true);
    EnumChildWindows(
        m_window,
        [](HWND child, LPARAM font) -> BOOL {
            SendMessageW(child, WM_SETFONT, static_cast<WPARAM>(font), FALSE);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(m_font));
    SendMessageW(m_banner, WM_SETFONT, reinterpret_cast<WPARAM>(m_boldFont), FALSE);
    m_navigator->SetFont(m_font, dpi);
    m_types->ApplyDpi(dpi);
    m_files->ApplyDpi(dpi);
    if (oldFont != nullptr) {
        DeleteObject(oldFont);
        DeleteObject(oldBold);
    }
    Layout();
    InvalidateRect(m_window, nullptr, TRUE);
}

void MainWindow::Layout()
{
    RECT client;
    GetClientRect(m_window, &client);
    const int width = static_cast<int>(client.right);
    const auto s = [this](int value) { return Scale(value, m_dpi); };

    SendMessageW(m_statusBar, WM_SIZE, 0, 0);
    RECT status;
    GetWindowRect(m_statusBar, &status);
    const int statusHeight = status.bottom - status.top;

    const int bannerHeight = s(29);
    const int splitterSize = s(8);
    const int barHeight = s(29);
    // The folder area keeps its height while there is room; the file list takes what is left.
    const int room = std::max<int>(0, client.bottom - bannerHeight - splitterSize - barHeight - statusHeight);
    const int areaHeight = std::min(s(m_folderAreaHeight), room);
    const int navigatorWidth = std::clamp(s(m_navigatorWidth), 0, std::max(0, width - splitterSize));

    HDWP moves = BeginDeferWindowPos(8);
    const auto place = [&moves](HWND control, int x, int y, int w, int h) {
        moves = DeferWindowPos(moves, control, nullptr, x, y, std::max(0, w), std::max(0, h),
                               SWP_NOZORDER | SWP_NOACTIVATE);
    };
    place(m_banner, 0, 0, width, bannerHeight);
    int top = bannerHeight;
    place(m_navigator->Panel(), 0, top, navigatorWidth, areaHeight);
    place(m_splitter1->Handle(), navigatorWidth, top, splitterSize, areaHeight);
    place(m_types->Handle(), navigatorWidth + splitterSize, top, width - navigatorWidth - splitterSize, areaHeight);
    top += areaHeight;
    place(m_splitter2->Handle(), 0, top, width, splitterSize);
    top += splitterSize;
    place(m_filterBar, 0, top, width, barHeight);
    top += barHeight;
    place(m_files->Handle(), 0, top, width, client.bottom - statusHeight - top);
    EndDeferWindowPos(moves);

    for (const char* name : {"ISF", "roFile", "hidFile", "sysFile", "arcFile", "AttrChk", "SubFolders"}) {
        const WindowControl& control = ControlNamed(name);
        MoveWindow(m_controls[name], s(control.Left), s(control.Top), s(control.Width), s(control.Height), TRUE);
    }
    // The totals line takes the bar right of its last check box.
    const WindowControl& lastBox = ControlNamed("SubFolders");
    const int totalsLeft = s(lastBox.Left + lastBox.Width + 6);
    MoveWindow(m_totals, totalsLeft, s(2), std::max<int>(0, width - totalsLeft - s(4)), barHeight - s(4), TRUE);
    m_navigator->Place(RECT{0, bannerHeight, navigatorWidth, bannerHeight + areaHeight});
    m_types->FitAutoColumn();
    m_files->FitAutoColumn();
    LayoutStatusBar();
}

void MainWindow::LayoutStatusBar()
{
    // Panel 0, the hint line, is the client width less 100 pixels; panel 1 is 80 pixels wide, and
    // grows (at the hint line's expense) when its count does not fit.
    RECT client;
    GetClientRect(m_window, &client);
    const std::wstring count = WideFromUtf8(m_statusTexts[1]);
    HDC dc = GetDC(m_statusBar);
    HGDIOBJ old = SelectObject(dc, m_font);
    SIZE size{};
    GetTextExtentPoint32W(dc, count.c_str(), static_cast<int>(count.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(m_statusBar, dc);
    const int countWidth = std::max(Scale(80, m_dpi), static_cast<int>(size.cx) + Scale(12, m_dpi));
    const int hintWidth = std::max<int>(Scale(1, m_dpi), client.right - Scale(100, m_dpi) - (countWidth - Scale(80, m_dpi)));
    int edges[2] = {hintWidth, hintWidth + countWidth};
    SendMessageW(m_statusBar, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    if (m_statusTip != nullptr) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = m_statusBar;
        tool.uId = 1;
        SendMessageW(m_statusBar, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&tool.rect));
        SendMessageW(m_statusTip, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        SendMessageW(m_statusTip, TTM_SETMAXTIPWIDTH, 0, client.right);
    }
}

void MainWindow::Show(std::vector<std::string> args, int showCommand)
{
    // The first size is the window definition's, at the monitor's dpi, within the monitor's
    // work area, centred on it.
    HMONITOR monitor = MonitorFromWindow(m_window, MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(monitor, &info);
    const RECT& work = info.rcWork;
    const int width = std::min<int>(Scale(989, m_dpi), work.right - work.left);
    const int height = std::min<int>(Scale(661, m_dpi), work.bottom - work.top);
    SetWindowPos(m_window, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    // Inside the program a path keeps "/" between its parts, whichever the command line used.
    for (std::string& arg : args) {
        std::replace(arg.begin(), arg.end(), '\\', '/');
    }
    m_startArgs = std::move(args);
    ShowWindow(m_window, showCommand);
    UpdateWindow(m_window);
    PostMessageW(m_window, kStartMessage, 0, 0);
}

int MainWindow::Run()
{
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        Dispatch(message);
    }
    return static_cast<int>(message.wParam);
}

void MainWindow::HandlePendingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        Dispatch(message);
    }
}

void MainWindow::Dispatch(MSG& message)
{
    const bool ours = message.hwnd == m_window || IsChild(m_window, message.hwnd);
    if (ours && message.message == WM_MOUSEMOVE) {
        ShowHintOf(message.hwnd);
    }
    if (ours && (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN)) {
        // Key preview: the window sees every key before the focused control does.
        const int key = static_cast<int>(message.wParam);
        RunHandler([this, key] { m_core.FormKeyDown(key); });
        if (key == VK_RETURN && message.hwnd == m_types->Handle()) {
            RunHandler([this] { m_core.sLViewKeyDown(WindowCore::kKeyReturn); });
            return;
        }
        if (key == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000) != 0) {
            // Shift+F10 opens the focused list's menu under its current row.
            for (WindowList list : {WindowList::Types, WindowList::Files}) {
                if (message.hwnd == List(list).Handle()) {
                    ShowPopupMenu(list, List(list).MenuPoint());
                    return;
                }
            }
        }
    }
    // Tab and the arrows move between controls as in a dialog; Enter in the directory list is the
    // list's own (it opens the selected row), not the dialog's default button.
    const bool enterInList = message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
                             message.hwnd == m_navigator->DirectoryList();
    if (ours && !enterInList && IsDialogMessageW(m_window, &message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void MainWindow::ShowHintOf(HWND control)
{
    if (control == m_hintControl) {
        return;
    }
    m_hintControl = control;
    // The hint of the control under the pointer, or of the nearest enclosing one that has one.
    std::string hint;
    for (HWND window = control; window != nullptr && window != m_window && hint.empty();
         window = GetParent(window)) {
        for (const auto& [name, handle] : m_controls) {
            if (handle == window) {
                hint = ControlNamed(name).Hint;
                break;
            }
        }
    }
    if (hint != m_core.CurrentHint()) {
        m_core.DisplayHint(hint);
    }
}

void MainWindow::RunHandler(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ShowErrorReport(error.what());
    } catch (...) {
        ShowErrorReport("Unknown error");
    }
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->m_window = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || self->m_types == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return self->HandleMessage(message, wParam, lParam);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kStartMessage:
        RunHandler([this] { m_core.FormCreate(m_startArgs); });
        return 0;
    case WM_SIZE:
        Layout();
        return 0;
    case WM_GETMINMAXINFO:
        reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize.x = Scale(780, m_dpi);
        return 0;
    case WM_DPICHANGED: {
        const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
        ApplyDpi(HIWORD(wParam));
        SetWindowPos(m_window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(m_window, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, FaceBrush());
        return 1;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, CurrentColors().FaceText);
        SetBkColor(dc, CurrentColors().Face);
        return reinterpret_cast<LRESULT>(FaceBrush());
    }
    case WM_SETCURSOR:
        if (m_busy) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    case WM_COMMAND:
        Command(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_NOTIFY:
        return Notify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU: {
        const auto source = reinterpret_cast<HWND>(wParam);
        for (WindowList list : {WindowList::Types, WindowList::Files}) {
            if (source == List(list).Handle()) {
                POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
                if (point.x == -1 && point.y == -1) {
                    point = List(list).MenuPoint();
                }
                ShowPopupMenu(list, point);
                return 0;
            }
        }
        break;
    }
    case WM_MENUSELECT:
        MenuSelected(reinterpret_cast<HMENU>(lParam), LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_DROPFILES: {
        auto drop = reinterpret_cast<HDROP>(wParam);
        std::vector<std::string> paths;
        const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT index = 0; index < count; ++index) {
            std::wstring path(DragQueryFileW(drop, index, nullptr, 0) + 1, L'\0');
            path.resize(DragQueryFileW(drop, index, path.data(), static_cast<UINT>(path.size())));
            std::replace(path.begin(), path.end(), L'\\', L'/');
            paths.push_back(Utf8FromWide(path));
        }
        DragFinish(drop);
        // A drop while a scan runs is refused: it would start another in the middle of this one.
        if (m_waiting == nullptr) {
            RunHandler([this, &paths] { m_core.HandleFileDrop(paths); });
        }
        return 0;
    }
    case WM_SETTINGCHANGE:
        if (lParam != 0 && lstrcmpiW(reinterpret_cast<const wchar_t*>(lParam), L"intl") == 0) {
            m_core.SettingsChanged();
        }
        break;
    case WM_DEVICECHANGE:
        m_navigator->DrivesChanged();
        return TRUE;
    case WM_CLOSE:
        if (m_waiting != nullptr) {
            // Closing during a scan stops it; the window closes once it has stopped.
            m_closeAfterScan = true;
            m_waiting->Stop();
            return 0;
        }
        DestroyWindow(m_window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void MainWindow::Command(int id, int code, HWND control)
{
    if (control == nullptr || code != BN_CLICKED) {
        return;
    }
    if (id == kISF) {
        RunHandler([this] { m_core.ISFClick(); });
    } else if (id >= kroFile && id <= kAttrChk) {
        RunHandler([this] { m_core.roFileClick(); });
    } else if (id == kSubFolders) {
        RunHandler([this] { m_core.SubFoldersClick(); });
    }
}

LRESULT MainWindow::Notify(const NMHDR& header)
{
    for (WindowList list : {WindowList::Types, WindowList::Files}) {
        ListView& view = List(list);
        if (header.hwndFrom != view.Handle()) {
            continue;
        }
        LRESULT result = 0;
        if (view.Notify(header, result)) {
            return result;
        }
        if (header.code == NM_CLICK && list == WindowList::Types) {
            RunHandler([this] { m_core.sLViewClick(); });
        } else if (header.code == NM_DBLCLK) {
            RunHandler([this, list] {
                list == WindowList::Types ? m_core.sLViewDblClick() : m_core.LView2DblClick();
            });
        }
        return 0;
    }
    return 0;
}

void MainWindow::ShowPopupMenu(WindowList list, POINT screen)
{
    const std::span<const MenuEntry> entries = MenuOf(list);
    const UINT first = list == WindowList::Files ? kFirstMenu1Item : kFirstMenu2Item;
    HMENU menu = CreatePopupMenu();
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const MenuEntry& entry = entries[index];
        if (!entry.Shown) {
            continue;
        }
        if (entry.IsSeparator()) {
            AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        // Ampersands are shown as they are: captions carry no accelerator letters.
        std::wstring caption = WideFromUtf8(entry.Caption);
        for (std::size_t at = caption.find(L'&'); at != std::wstring::npos; at = caption.find(L'&', at + 2)) {
            caption.insert(at, 1, L'&');
        }
        UINT flags = MF_STRING;
        if (entry.Checkable && IsChecked(WindowCheckBox::Useskin1)) {
            flags |= MF_CHECKED;
        }
        AppendMenuW(menu, flags, first + static_cast<UINT>(index), caption.c_str());
    }
    if (SkinActive()) {
        MENUINFO info{};
    info.cbSize = sizeof info;
        info.fMask = MIM_BACKGROUND;
        info.hbrBack = FaceBrush();
        SetMenuInfo(menu, &info);
    }
    const UINT chosen = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY,
                                                         screen.x, screen.y, 0, m_window, nullptr));
    DestroyMenu(menu);
    m_hintControl = nullptr;
    if (chosen < first || chosen >= first + entries.size()) {
        return;
    }
    const MenuEntry& entry = entries[chosen - first];
    if (entry.Checkable) {
        // A check entry flips its own mark before its handler runs.
        SetChecked(WindowCheckBox::Useskin1, !IsChecked(WindowCheckBox::Useskin1));
    }
    RunHandler([this, &entry] { (m_core.*entry.Handler)(); });
}

void MainWindow::MenuSelected(HMENU menu, UINT item, UINT flags)
{
    if (menu == nullptr || (flags & (MF_POPUP | MF_SEPARATOR)) != 0) {
        return;
    }
    for (WindowList list : {WindowList::Files, WindowList::Types}) {
        const UINT first = list == WindowList::Files ? kFirstMenu1Item : kFirstMenu2Item;
        const std::span<const MenuEntry> entries = MenuOf(list);
        if (item >= first && item < first + entries.size()) {
            m_core.DisplayHint(std::string(entries[item - first].Hint));
            return;
        }
    }
}

} // namespace pellamy::win32
