// SPDX-License-Identifier: GPL-3.0-or-later
// The Windows window in the test's process with a real message loop: the user's actions arrive as
// the messages the controls send (clicks and notifications, keys, dropped files), and what the
// window shows is read back from the controls themselves.
#include "app/win32/ControlIds.h"
#include "app/win32/Dpi.h"
#include "app/win32/MainWindow.h"
#include "platform/Platform.h"
#include "platform/win32/WideText.h"
#include "win32/Win32Process.h"
#include "win32/gui/ScreenCapture.h"
#include "win32/Win32TempFolder.h"

#include <commctrl.h>
#include <initguid.h>
#include <oleacc.h>
#include <shellapi.h>
#include <windowsx.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace pellamy::win32 {
namespace {

std::string Utf8(const std::wstring& text)
{
    return Utf8FromWide(text);
}

/// The window on a folder of the test's own, shown and started as the program starts it.
class WindowOnFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        BecomeDpiAware();
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_folder.WriteFile(L"a.txt", std::string(2000, 'a'));
        m_folder.WriteFile(L"b.txt", std::string(100, 'b'));
        m_folder.WriteFile(L"c.TXT", std::string(5000, 'c'));
        m_folder.WriteFile(L"picture.png", std::string(3000, 'p'));
        m_folder.WriteFile(L"notes", "no extension");
        m_platform = MakePlatform();
        m_window = std::make_unique<MainWindow>(*m_platform, GetModuleHandleW(nullptr));
        m_window->MessageShower = [this](const std::string& text) { m_messages.push_back(text); };
        m_window->ErrorReporter = [this](const std::string& text) { m_messages.push_back("error: " + text); };
        Start({Utf8(m_folder.Path())});
    }

    void TearDown() override
    {
        m_window.reset();
        CoUninitialize();
    }

    void Start(std::vector<std::string> args)
    {
        m_window->Show(std::move(args));
        Pump();
    }

    /// Handles what the window has been sent, as its message loop would.
    void Pump()
    {
        for (int round = 0; round < 5; ++round) {
            m_window->HandlePendingMessages();
        }
    }

    HWND Control(int id) const { return m_window->Control(id); }

    static std::vector<std::vector<std::string>> Rows(HWND list)
    {
        std::vector<std::vector<std::string>> rows;
        const int columns = Header_GetItemCount(ListView_GetHeader(list));
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            std::vector<std::string> cells;
            for (int column = 0; column < columns; ++column) {
                wchar_t text[512] = {};
                ListView_GetItemText(list, row, column, text, 512);
                cells.push_back(Utf8(text));
            }
            rows.push_back(cells);
        }
        return rows;
    }

    static std::vector<std::string> ColumnCaptions(HWND list)
    {
        std::vector<std::string> captions;
        HWND header = ListView_GetHeader(list);
        for (int column = 0; column < Header_GetItemCount(header); ++column) {
            wchar_t text[128] = {};
            HDITEMW item{};
            item.mask = HDI_TEXT;
            item.pszText = text;
            item.cchTextMax = 128;
            Header_GetItem(header, column, &item);
            captions.push_back(Utf8(text));
        }
        return captions;
    }

    static int HeaderFormat(HWND list, int column)
    {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        Header_GetItem(ListView_GetHeader(list), column, &item);
        return item.fmt;
    }

    std::string StatusPanel(int panel) const
    {
        wchar_t text[512] = {};
        SendMessageW(Control(kStatusBar1), SB_GETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(text));
        return Utf8(text);
    }

    std::string WindowText(int id) const
    {
        wchar_t text[512] = {};
        GetWindowTextW(Control(id), text, 512);
        return Utf8(text);
    }

    /// Selects `row` of `list` and sends the notification a click on it sends.
    void ClickRow(int listId, int row, UINT code = NM_CLICK)
    {
        HWND list = Control(listId);
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        NMITEMACTIVATE click{};
        click.hdr = {list, static_cast<UINT_PTR>(listId), code};
        click.iItem = row;
        SendMessageW(m_window->Handle(), WM_NOTIFY, static_cast<WPARAM>(listId), reinterpret_cast<LPARAM>(&click));
        Pump();
    }

    void ClickHeader(int listId, int column)
    {
        NMLISTVIEW click{};
        click.hdr = {Control(listId), static_cast<UINT_PTR>(listId), static_cast<UINT>(LVN_COLUMNCLICK)};
        click.iItem = -1;
        click.iSubItem = column;
        SendMessageW(m_window->Handle(), WM_NOTIFY, static_cast<WPARAM>(listId), reinterpret_cast<LPARAM>(&click));
        Pump();
    }

    int RowOfType(const std::string& caption) const
    {
        const auto rows = Rows(Control(ksLView));
        for (std::size_t row = 0; row < rows.size(); ++row) {
            if (rows[row][0] == caption) {
                return static_cast<int>(row);
            }
        }
        return -1;
    }

    Win32TempFolder m_folder;
    std::unique_ptr<Platform> m_platform;
    std::unique_ptr<MainWindow> m_window;
    std::vector<std::string> m_messages;
};

TEST_F(WindowOnFolder, ShowsTheFolderByTypeInTheControlsOfTheWindowDefinition)
{
    wchar_t caption[64] = {};
    GetWindowTextW(m_window->Handle(), caption, 64);
    EXPECT_STREQ(caption, L"Pellamy");
    EXPECT_EQ(WindowText(kPanel1), "Pellamy (Previously Corvanta)");
    EXPECT_EQ(WindowText(kISF), "Include System Files (not recommended)");

    HWND types = Control(ksLView);
    EXPECT_EQ(ColumnCaptions(types), (std::vector<std::string>{"Type", "Description", "Number", "Size"}));
    EXPECT_EQ(ColumnCaptions(Control(kLView2)),
              (std::vector<std::string>{"Type", "Name", "Created", "Modified", "Attribs", "Size"}));
    // Counts and sizes are right-aligned, the texts left.
    EXPECT_EQ(HeaderFormat(types, 2) & HDF_JUSTIFYMASK, HDF_RIGHT);
    EXPECT_EQ(HeaderFormat(types, 1) & HDF_JUSTIFYMASK, HDF_LEFT);

    // One row per extension in caption order, case folded; the files without one in the empty row.
    const auto rows = Rows(types);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][0], "");
    EXPECT_EQ(rows[0][2], "1");
    EXPECT_EQ(rows[1][0], ".png");
    EXPECT_EQ(rows[1][2], "1");
    EXPECT_EQ(rows[1][3], "2.93 KB");
    EXPECT_EQ(rows[2][0], ".txt");
    EXPECT_EQ(rows[2][2], "3");
    EXPECT_EQ(ListView_GetItemCount(Control(kLView2)), 0);
    EXPECT_EQ(StatusPanel(1), "Files: 0");
    EXPECT_NE(WindowText(kTotalsLine).find("Files:5"), std::string::npos) << WindowText(kTotalsLine);

    // The check boxes as defined: only "A" checked.
    EXPECT_EQ(Button_GetCheck(Control(karcFile)), BST_CHECKED);
    for (int id : {kISF, kroFile, khidFile, ksysFile, kAttrChk}) {
        EXPECT_EQ(Button_GetCheck(Control(id)), BST_UNCHECKED) << id;
    }
    // Single selection in the type list, extended in the file list; owner data in both.
    EXPECT_NE(GetWindowLongW(types, GWL_STYLE) & LVS_SINGLESEL, 0);
    EXPECT_EQ(GetWindowLongW(Control(kLView2), GWL_STYLE) & LVS_SINGLESEL, 0);
    EXPECT_NE(GetWindowLongW(Control(kLView2), GWL_STYLE) & LVS_OWNERDATA, 0);
}

TEST_F(WindowOnFolder, ClickingATypeListsItsFilesAndHeaderClicksSortThemWithTheSystemsArrow)
{
    ClickRow(ksLView, RowOfType(".txt"));
    HWND files = Control(kLView2);
    auto rows = Rows(files);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][1], "a.txt");
    EXPECT_EQ(rows[2][1], "c.TXT");
    EXPECT_EQ(StatusPanel(1), "Files: 3");

    // "Size" sorts by the sizes, ascending first, then descending; its header shows the arrow.
    ClickHeader(kLView2, 5);
    rows = Rows(files);
    EXPECT_EQ(rows[0][1], "b.txt");
    EXPECT_EQ(rows[2][1], "c.TXT");
    EXPECT_NE(HeaderFormat(files, 5) & HDF_SORTUP, 0);
    ClickHeader(kLView2, 5);
    EXPECT_EQ(Rows(files)[0][1], "c.TXT");
    EXPECT_NE(HeaderFormat(files, 5) & HDF_SORTDOWN, 0);
    // Another column takes the arrow away from the last.
    ClickHeader(kLView2, 1);
    EXPECT_EQ(HeaderFormat(files, 5) & (HDF_SORTUP | HDF_SORTDOWN), 0);
    EXPECT_NE(HeaderFormat(files, 1) & HDF_SORTUP, 0);

    // A selected row stays selected where the sort puts it.
    ListView_SetItemState(files, 0, LVIS_SELECTED, LVIS_SELECTED);
    ClickHeader(kLView2, 1);
    ASSERT_EQ(ListView_GetSelectedCount(files), 1u);
    EXPECT_EQ(ListView_GetNextItem(files, -1, LVNI_SELECTED), 2);

    // A double click on a type lists every file.
    ClickRow(ksLView, 0, NM_DBLCLK);
    EXPECT_EQ(ListView_GetItemCount(files), 5);
    EXPECT_EQ(StatusPanel(1), "Files: 5");
}

TEST_F(WindowOnFolder, KeysReachTheWindowFirstAndEnterListsTheCurrentType)
{
    // F5, wherever it is pressed, lists the selected type again: a new file shows.
    ClickRow(ksLView, RowOfType(".png"));
    EXPECT_EQ(ListView_GetItemCount(Control(kLView2)), 1);
    m_folder.WriteFile(L"second.png", "p");
    PostMessageW(Control(kLView2), WM_KEYDOWN, VK_F5, 0);
    Pump();
    EXPECT_EQ(ListView_GetItemCount(Control(kLView2)), 2);

    // Enter in the type list lists the current row's files, as a click does.
    HWND types = Control(ksLView);
    ListView_SetItemState(types, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(types, RowOfType(".txt"), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    PostMessageW(types, WM_KEYDOWN, VK_RETURN, 0);
    Pump();
    EXPECT_EQ(ListView_GetItemCount(Control(kLView2)), 3);
}

TEST_F(WindowOnFolder, EscPressedForAScanStopsItAndTheListsKeepWhatTheyShowed)
{
    ClickRow(ksLView, RowOfType(".png"));
    ASSERT_EQ(ListView_GetItemCount(Control(kLView2)), 1);
    // Esc waiting when a listing starts belongs to it, however short the listing.
    PostMessageW(Control(ksLView), WM_KEYDOWN, VK_ESCAPE, 0);
    m_window->Core().sLViewDblClick();
    EXPECT_EQ(ListView_GetItemCount(Control(kLView2)), 1);
    EXPECT_EQ(StatusPanel(0), "Stopped: the lists show what they showed before");
    // Any other key waits for the listing and is handled after it: F5 lists the type again.
    m_folder.WriteFile(L"later.png", "p");
    PostMessageW(Control(ksLView), WM_KEYDOWN, VK_F5, 0);
    m_window->Core().sLViewDblClick();
    EXPECT_EQ(ListView_GetItemCount(Control(kLView2)), 6);
    Pump();
    EXPECT_EQ(ListView_GetItemCount(Control(kLView2)), 2);
}

TEST_F(WindowOnFolder, SubFoldersSumTheTreeAndListFilesByTheirPathBelowTheFolder)
{
    ASSERT_TRUE(CreateDirectoryW((m_folder / L"deep").c_str(), nullptr));
    m_folder.WriteFile(L"deep\\inner.txt", std::string(4000, 'i'));
    EXPECT_EQ(WindowText(kSubFolders), "Sub-folders");
    EXPECT_EQ(Button_GetCheck(Control(kSubFolders)), BST_UNCHECKED);
    SendMessageW(Control(kSubFolders), BM_CLICK, 0, 0);
    Pump();
    const int txt = RowOfType(".txt");
    ASSERT_GE(txt, 0);
    EXPECT_EQ(Rows(Control(ksLView))[static_cast<std::size_t>(txt)][2], "4");
    ClickRow(ksLView, txt);
    const auto rows = Rows(Control(kLView2));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_NE(std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row[1] == "deep/inner.txt"; }),
              rows.end());
    // Each type's share of the whole size, which the bar behind its Size cell shows.
    const TypeTable& types = m_window->Core().TypeRows();
    double shares = 0;
    for (std::size_t row = 0; row < types.RowCount(); ++row) {
        shares += types.SizeShare(row);
    }
    EXPECT_NEAR(shares, 1.0, 1e-9);
    SaveScreenshot(m_window->Handle(), "subfolders");
    // Unticked, the folder alone again.
    SendMessageW(Control(kSubFolders), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(Rows(Control(ksLView))[static_cast<std::size_t>(RowOfType(".txt"))][2], "3");
}

TEST_F(WindowOnFolder, CheckBoxesAndDroppedFilesRescan)
{
    // With "Filter" and "H" ticked and "A" not, only the hidden files are counted.
    m_folder.WriteFile(L".hidden.txt", "h");
    SetFileAttributesW((m_folder / L".hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
    SendMessageW(Control(khidFile), BM_CLICK, 0, 0);
    SendMessageW(Control(karcFile), BM_CLICK, 0, 0);
    SendMessageW(Control(kAttrChk), BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(Button_GetCheck(Control(kAttrChk)), BST_CHECKED);
    const int row = RowOfType(".txt");
    ASSERT_GE(row, 0);
    EXPECT_EQ(Rows(Control(ksLView))[static_cast<std::size_t>(row)][2], "1");

    // A folder dropped on the window is opened (without the filter).
    SendMessageW(Control(kAttrChk), BM_CLICK, 0, 0);
    Win32TempFolder other;
    other.WriteFile(L"only.xml", "<x/>");
    const std::wstring dropped = other.Path() + L'\0' + L'\0';
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + dropped.size() * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(block));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), dropped.data(), dropped.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    PostMessageW(m_window->Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    Pump();
    const auto rows = Rows(Control(ksLView));
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], ".xml");
}

TEST_F(WindowOnFolder, ScreenReadersHearEachControlsNameAndHint)
{
    const auto read = [](HWND control, bool description) {
        IAccessible* accessible = nullptr;
        if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                              reinterpret_cast<void**>(&accessible)))) {
            return std::string("(no accessible object)");
        }
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR text = nullptr;
        const HRESULT result = description ? accessible->get_accDescription(self, &text)
                                           : accessible->get_accName(self, &text);
        std::string value = SUCCEEDED(result) && text != nullptr ? Utf8(text) : std::string("(none)");
        SysFreeString(text);
        accessible->Release();
        return value;
    };
    // Controls without a caption are announced by what they are.
    EXPECT_EQ(read(Control(ksLView), false), "Types");
    EXPECT_EQ(read(Control(kLView2), false), "Files");
    EXPECT_EQ(read(Control(kdList), false), "Folders");
    // Names and descriptions set as properties need the system's property store, which Wine lacks.
    IAccPropServices* store = nullptr;
    bool kept = false;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                   reinterpret_cast<void**>(&store)))) {
        kept = SUCCEEDED(store->SetHwndPropStr(Control(kAttrChk), static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                               PROPID_ACC_HELP, L"probe"));
        store->Release();
    }
    if (!kept) {
        std::printf("The system keeps no accessibility properties: names and hints set as properties unchecked\n");
        return;
    }
    EXPECT_EQ(read(Control(kroFile), false), "R: read-only");
    EXPECT_EQ(read(Control(kISF), true),
              "Playing with  system files can be dangerous - don't do it unless you know what you are doing!");
}

TEST_F(WindowOnFolder, HintsOfControlsAndMenuEntriesShowInTheHintLine)
{
    PostMessageW(Control(kISF), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    Pump();
    EXPECT_EQ(StatusPanel(0),
              "Playing with  system files can be dangerous - don't do it unless you know what you are doing!");
    // The directory list has no hint: the line empties.
    PostMessageW(Control(kdList), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    Pump();
    EXPECT_EQ(StatusPanel(0), "");
    // Over the file list's header, the list's own hint.
    PostMessageW(ListView_GetHeader(Control(kLView2)), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    Pump();
    EXPECT_EQ(StatusPanel(0), "Double click a file to open it.  Popup menu on right button");
}

// What the file list's menu shows, read from the menu while it is open.
std::vector<std::string> g_menuItems;

void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR timer, DWORD)
{
    HWND menuWindow = FindWindowW(L"#32768", nullptr);
    if (menuWindow == nullptr) {
        return;
    }
    KillTimer(nullptr, timer);
    auto menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
    for (int item = 0; item < GetMenuItemCount(menu); ++item) {
        wchar_t caption[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(item), caption, 128, MF_BYPOSITION);
        g_menuItems.push_back((GetMenuState(menu, static_cast<UINT>(item), MF_BYPOSITION) & MF_SEPARATOR) != 0
                                  ? "-"
                                  : Utf8(caption));
    }
    EndMenu();
}

TEST_F(WindowOnFolder, TheFileListsMenuShowsItsNineEntriesAndHintsThem)
{
    g_menuItems.clear();
    SetTimer(nullptr, 0, 50, ReadOpenMenu);
    SendMessageW(m_window->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Control(kLView2)), MAKELPARAM(-1, -1));
    EXPECT_EQ(g_menuItems, (std::vector<std::string>{"Copy selected file names", "Copy selected file details as CSV",
                                                     "Copy selected file details as XML",
                                                     "Copy selected file details as HTML", "Copy files to clipboard",
                                                     "Save selected file details", "Open folder in  Explorer", "-",
                                                     "Select all", "Properties"}));
    // The window shows an entry's hint while the entry is highlighted.
    HMENU none = CreatePopupMenu();
    SendMessageW(m_window->Handle(), WM_MENUSELECT, MAKEWPARAM(1000, MF_HILITE), reinterpret_cast<LPARAM>(none));
    EXPECT_EQ(StatusPanel(0), "Copy all file names to clipboard");
    DestroyMenu(none);
}

TEST_F(WindowOnFolder, TabMovesThroughTheControlsInTheDefinitionsOrder)
{
    const std::vector<int> expected = {kISF,     kLView2,     kroFile, khidFile,      ksysFile, karcFile,
                                       kAttrChk, kSubFolders, ksLView, kJvDriveCombo1, kdList};
    // A control inside another (the drive box's edit part) counts as the control of ours it is in.
    const auto ours = [&expected](HWND control) {
        for (; control != nullptr; control = GetParent(control)) {
            if (std::find(expected.begin(), expected.end(), GetDlgCtrlID(control)) != expected.end()) {
                return GetDlgCtrlID(control);
            }
        }
        return 0;
    };
    std::vector<int> order;
    HWND control = Control(kISF);
    for (std::size_t step = 0; step < expected.size(); ++step) {
        order.push_back(ours(control));
        control = GetNextDlgTabItem(m_window->Handle(), control, FALSE);
    }
    EXPECT_EQ(order, expected);
    EXPECT_EQ(ours(control), kISF);
}

TEST_F(WindowOnFolder, StatusBarAndMinimumWidthFollowTheWindowsSize)
{
    const UINT dpi = DpiOf(m_window->Handle());
    for (int width : {1200, 900}) {
        SetWindowPos(m_window->Handle(), nullptr, 0, 0, Scale(width, dpi), Scale(600, dpi), SWP_NOMOVE | SWP_NOZORDER);
        Pump();
        RECT client;
        GetClientRect(m_window->Handle(), &client);
        int edges[2] = {};
        ASSERT_EQ(SendMessageW(Control(kStatusBar1), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges)), 2);
        EXPECT_EQ(edges[0], client.right - Scale(100, dpi));
        EXPECT_EQ(edges[1] - edges[0], Scale(80, dpi));
    }
    MINMAXINFO limits{};
    SendMessageW(m_window->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, Scale(780, dpi));
    // The auto column takes what the others leave of the list's width.
    HWND types = Control(ksLView);
    RECT list;
    GetClientRect(types, &list);
    int sum = 0;
    for (int column = 0; column < 4; ++column) {
        sum += ListView_GetColumnWidth(types, column);
    }
    EXPECT_EQ(sum, list.right);
}

TEST_F(WindowOnFolder, ReportsReachAnotherProgramThroughTheClipboard)
{
    ClickRow(ksLView, RowOfType(".txt"));
    ListView_SetItemState(Control(kLView2), -1, LVIS_SELECTED, LVIS_SELECTED);
    m_window->Core().Copyfilelist1Click();
    Win32TempFolder scratch;
    const std::wstring report = scratch / L"clipboard.txt";
    RunProcess(L"\"" + BuildTreePath(PELLAMY_CLIPBOARD_READER) + L"\" \"" + report + L"\"", scratch.Path());
    std::string text;
    std::istringstream lines(Win32TempFolder::ReadFile(report));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("text ", 0) == 0) {
            for (std::size_t at = 5; at + 1 < line.size(); at += 2) {
                text += static_cast<char>(std::stoi(line.substr(at, 2), nullptr, 16));
            }
        }
    }
    // Inside the program a path keeps "/" between its parts.
    std::string folder = Utf8(m_folder.Path());
    std::replace(folder.begin(), folder.end(), '\\', '/');
    EXPECT_EQ(text, folder + "/a.txt\r\n" + folder + "/b.txt\r\n" + folder + "/c.TXT\r\n");

    // The files themselves, as the shell pastes them.
    m_window->Core().Copyfiles1Click();
    RunProcess(L"\"" + BuildTreePath(PELLAMY_CLIPBOARD_READER) + L"\" \"" + report + L"\"", scratch.Path());
    const std::string found = Win32TempFolder::ReadFile(report);
    EXPECT_NE(found.find("count 3"), std::string::npos) << found;
    EXPECT_NE(found.find("file " + folder + "/b.txt"), std::string::npos) << found;
}

TEST_F(WindowOnFolder, TheSkinRedrawsTheListsInItsOwnColours)
{
    const COLORREF plain = ListView_GetBkColor(Control(kLView2));
    m_window->Core().Useskin1Click();
    // The entry was not checked: the handler switches the skin as the entry says, off.
    EXPECT_EQ(ListView_GetBkColor(Control(kLView2)), plain);

    m_window.reset();
    m_window = std::make_unique<MainWindow>(*m_platform, GetModuleHandleW(nullptr));
    Start({Utf8(m_folder.Path()), "/s"});
    EXPECT_NE(ListView_GetBkColor(Control(kLView2)), plain);
    EXPECT_NE(ListView_GetBkColor(Control(ksLView)), plain);
}

} // namespace
} // namespace pellamy::win32
