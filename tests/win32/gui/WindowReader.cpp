// SPDX-License-Identifier: GPL-3.0-or-later
// window_reader: prints what a second process sees of a top-level window and every control in it,
// one JSON object a line, for the tests that check the real window from outside it.
//
//   window_reader [--caption TEXT] [--wait SECONDS] [--rows M] [--first N]
//
// It waits up to SECONDS (10) for a visible top-level window captioned TEXT ("Pellamy"), then
// prints the window ({"window": ...}) and each descendant control in the order EnumChildWindows
// gives them: class, id, its parent's id, text (WM_GETTEXT), visibility and screen rectangle; for
// buttons the check state; for list views the column captions and their screen rectangles, the row
// count, rows N to N+M-1 (cells and screen rectangles), the top row, the rows a page holds, the
// focused row and the selected rows (at most M of them); for status bars each part's text; for
// list boxes and combo boxes their items (at most M). Exit code 0 when the window was read, 2 when
// none appeared in time.
//
// Messages below WM_USER that carry a pointer (WM_GETTEXT, LB_GETTEXT, CB_GETLBTEXT) are copied
// between the processes by the system itself. The common controls' own messages (LVM_*, HDM_*,
// SB_*, CBEM_*) are not: their structures and text buffers are placed in the window's process
// (VirtualAllocEx) and read back from it, as any accessibility tool has to. The reader and the
// window are both 64-bit programs, so the structures have one layout on both sides.

#include "tests/win32/gui/RemoteBlock.h"
#include "platform/win32/WideText.h"

#include <nlohmann/json.hpp>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

using nlohmann::json;
using pellamy::RemoteBlock;
using pellamy::Utf8FromWide;

namespace {

/// How long one message may take: a window busy for longer is reported as not answering rather
/// than hanging the test.
constexpr UINT kMessageTimeoutMs = 5000;

std::optional<LRESULT> Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR result = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeoutMs, &result) == 0) {
        return std::nullopt;
    }
    return static_cast<LRESULT>(result);
}

LRESULT SendOr(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0, LRESULT fallback = -1)
{
    return Send(window, message, wParam, lParam).value_or(fallback);
}

std::string ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return Utf8FromWide(name);
}

std::string TextOf(HWND window)
{
    const LRESULT length = SendOr(window, WM_GETTEXTLENGTH, 0, 0, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = SendOr(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), 0);
    text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
    return Utf8FromWide(text);
}

json RectJson(const RECT& rect)
{
    return json::array({rect.left, rect.top, rect.right, rect.bottom});
}

/// A rectangle in `window`'s client coordinates on the screen.
RECT ToScreen(HWND window, RECT rect)
{
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::string HeaderCaption(HWND header, int column, const RemoteBlock& block)
{
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = block.Text();
    item.cchTextMax = RemoteBlock::kTextChars;
    block.ClearText();
    if (!block.Put(item) || SendOr(header, HDM_GETITEMW, static_cast<WPARAM>(column), block.Address(), 0) == 0) {
        return {};
    }
    return block.GetText();
}

std::string CellText(HWND list, int row, int column, const RemoteBlock& block)
{
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = block.Text();
    item.cchTextMax = RemoteBlock::kTextChars;
    block.ClearText();
    if (!block.Put(item)) {
        return {};
    }
    SendOr(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), block.Address(), 0);
    return block.GetText();
}

std::optional<RECT> RemoteRect(HWND window, UINT message, WPARAM wParam, LONG left, const RemoteBlock& block)
{
    RECT rect{left, 0, 0, 0};
    if (!block.Put(rect) || SendOr(window, message, wParam, block.Address(), 0) == 0) {
        return std::nullopt;
    }
    return block.Get<RECT>();
}

void ReadListView(HWND list, const RemoteBlock& block, int first, int rows, json& out)
{
    const HWND header = reinterpret_cast<HWND>(SendOr(list, LVM_GETHEADER, 0, 0, 0));
    const int columns = header == nullptr ? 0 : static_cast<int>(SendOr(header, HDM_GETITEMCOUNT, 0, 0, 0));
    json captions = json::array();
    json columnRects = json::array();
    for (int column = 0; column < columns; ++column) {
        captions.push_back(HeaderCaption(header, column, block));
        const auto rect = RemoteRect(header, HDM_GETITEMRECT, static_cast<WPARAM>(column), 0, block);
        columnRects.push_back(rect ? RectJson(ToScreen(header, *rect)) : json());
    }
    out["columns"] = captions;
    out["column_rects"] = columnRects;

    const int count = static_cast<int>(SendOr(list, LVM_GETITEMCOUNT));
    out["count"] = count;
    out["top_index"] = SendOr(list, LVM_GETTOPINDEX);
    out["per_page"] = SendOr(list, LVM_GETCOUNTPERPAGE);
    out["focused"] = SendOr(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_FOCUSED, 0));
    out["first_row"] = first;
    json cells = json::array();
    json rowRects = json::array();
    for (int row = first; row < count && row < first + rows; ++row) {
        json line = json::array();
        for (int column = 0; column < columns; ++column) {
            line.push_back(CellText(list, row, column, block));
        }
        cells.push_back(line);
        const auto rect = RemoteRect(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), LVIR_BOUNDS, block);
        rowRects.push_back(rect ? RectJson(ToScreen(list, *rect)) : json());
    }
    out["rows"] = cells;
    out["row_rects"] = rowRects;

    out["selected_count"] = SendOr(list, LVM_GETSELECTEDCOUNT);
    json selected = json::array();
    LRESULT row = -1;
    while (static_cast<int>(selected.size()) < rows &&
           (row = SendOr(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), MAKELPARAM(LVNI_SELECTED, 0))) >= 0) {
        selected.push_back(row);
    }
    out["selected"] = selected;
}

void ReadStatusBar(HWND bar, const RemoteBlock& block, json& out)
{
    constexpr int kMaxParts = 64;
    const int parts = static_cast<int>(SendOr(bar, SB_GETPARTS, kMaxParts, block.Address(), 0));
    json edges = json::array();
    for (int part = 0; part < parts && part < kMaxParts; ++part) {
        edges.push_back(block.Get<int>(static_cast<std::size_t>(part) * sizeof(int)));
    }
    out["part_edges"] = edges;
    json texts = json::array();
    for (int part = 0; part < parts; ++part) {
        block.ClearText();
        SendOr(bar, SB_GETTEXTW, static_cast<WPARAM>(part), block.Address(RemoteBlock::kTextOffset), 0);
        texts.push_back(block.GetText());
    }
    out["parts"] = texts;
}

/// The items of a list box or a combo box (whose item messages the system copies between
/// processes), when the control keeps strings.
void ReadStringList(HWND control, UINT countMessage, UINT lengthMessage, UINT textMessage, UINT selectionMessage,
                    int rows, json& out)
{
    const LRESULT count = SendOr(control, countMessage);
    out["count"] = count;
    out["current"] = SendOr(control, selectionMessage);
    json items = json::array();
    for (LRESULT item = 0; item < count && item < rows; ++item) {
        const LRESULT length = SendOr(control, lengthMessage, static_cast<WPARAM>(item));
        std::wstring text(static_cast<std::size_t>(length < 0 ? 0 : length) + 1, L'\0');
        const LRESULT copied = SendOr(control, textMessage, static_cast<WPARAM>(item),
                                      reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(copied < 0 ? 0 : copied));
        items.push_back(Utf8FromWide(text));
    }
    out["items"] = items;
}

/// The items of a ComboBoxEx32, whose item message (CBEM_GETITEMW) is not copied by the system.
void ReadComboBoxEx(HWND combo, const RemoteBlock& block, int rows, json& out)
{
    const LRESULT count = SendOr(combo, CB_GETCOUNT);
    out["count"] = count;
    out["current"] = SendOr(combo, CB_GETCURSEL);
    json items = json::array();
    for (LRESULT index = 0; index < count && index < rows; ++index) {
        COMBOBOXEXITEMW item{};
        item.mask = CBEIF_TEXT;
        item.iItem = index;
        item.pszText = block.Text();
        item.cchTextMax = RemoteBlock::kTextChars;
        block.ClearText();
        if (block.Put(item) && SendOr(combo, CBEM_GETITEMW, 0, block.Address(), 0) != 0) {
            items.push_back(block.GetText());
        } else {
            items.push_back(nullptr);
        }
    }
    out["items"] = items;
}

bool IsCheckBox(LONG_PTR style)
{
    switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        return true;
    default:
        return false;
    }
}

struct Reading
{
    HWND Window;
    const RemoteBlock* Block;
    int First;
    int Rows;
};

json ReadControl(HWND control, const Reading& reading)
{
    const std::string className = ClassOf(control);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    const HWND parent = GetParent(control);
    RECT rect{};
    GetWindowRect(control, &rect);
    json out = {{"class", className},
                {"id", GetWindowLongPtrW(control, GWLP_ID)},
                {"parent_id", parent == reading.Window ? 0 : GetWindowLongPtrW(parent, GWLP_ID)},
                {"text", TextOf(control)},
                {"visible", IsWindowVisible(control) != FALSE},
                {"enabled", IsWindowEnabled(control) != FALSE},
                {"rect", RectJson(rect)}};
    const RemoteBlock& block = *reading.Block;
    if (_stricmp(className.c_str(), "Button") == 0 && IsCheckBox(style)) {
        out["checked"] = SendOr(control, BM_GETCHECK);
    } else if (_stricmp(className.c_str(), WC_LISTVIEWA) == 0 && block.Valid()) {
        out["owner_data"] = (style & LVS_OWNERDATA) != 0;
        ReadListView(control, block, reading.First, reading.Rows, out);
    } else if (_stricmp(className.c_str(), STATUSCLASSNAMEA) == 0 && block.Valid()) {
        ReadStatusBar(control, block, out);
    } else if (_stricmp(className.c_str(), "ListBox") == 0 && (style & LBS_HASSTRINGS) != 0) {
        ReadStringList(control, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT, LB_GETCURSEL, reading.Rows, out);
    } else if (_stricmp(className.c_str(), WC_COMBOBOXEXA) == 0 && block.Valid()) {
        ReadComboBoxEx(control, block, reading.Rows, out);
    } else if (_stricmp(className.c_str(), "ComboBox") == 0 && (style & CBS_HASSTRINGS) != 0) {
        ReadStringList(control, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_GETCURSEL, reading.Rows, out);
    }
    return out;
}

struct Search
{
    std::wstring Caption;
    HWND Found = nullptr;
};

BOOL CALLBACK FindCaption(HWND window, LPARAM lParam)
{
    auto& search = *reinterpret_cast<Search*>(lParam);
    if (IsWindowVisible(window) == FALSE) {
        return TRUE;
    }
    wchar_t caption[512] = {};
    GetWindowTextW(window, caption, 512);
    if (search.Caption == caption) {
        search.Found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

void PrintLine(const json& line)
{
    const std::string text = line.dump(-1, ' ', false, json::error_handler_t::replace);
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    Search search{L"Pellamy"};
    double waitSeconds = 10;
    int rows = 50;
    int first = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::wstring option = argv[i];
        if (option == L"--caption") {
            search.Caption = argv[i + 1];
        } else if (option == L"--wait") {
            waitSeconds = std::wcstod(argv[i + 1], nullptr);
        } else if (option == L"--rows") {
            rows = static_cast<int>(std::wcstol(argv[i + 1], nullptr, 10));
        } else if (option == L"--first") {
            first = static_cast<int>(std::wcstol(argv[i + 1], nullptr, 10));
        } else {
            std::fprintf(stderr, "usage: window_reader [--caption TEXT] [--wait SECONDS] [--rows M] [--first N]\n");
            return 64;
        }
    }

    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitSeconds * 1000);
    for (;;) {
        EnumWindows(FindCaption, reinterpret_cast<LPARAM>(&search));
        if (search.Found != nullptr) {
            break;
        }
        if (GetTickCount64() >= deadline) {
            std::fprintf(stderr, "window_reader: no window captioned as asked\n");
            return 2;
        }
        Sleep(100);
    }
    const HWND window = search.Found;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    const HANDLE process =
        OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE,
                    processId);
    RECT rect{};
    GetWindowRect(window, &rect);
    RECT client{};
    GetClientRect(window, &client);
    PrintLine({{"window",
                {{"class", ClassOf(window)},
                 {"caption", TextOf(window)},
                 {"process", processId},
                 {"rect", RectJson(rect)},
                 {"client_rect", RectJson(ToScreen(window, client))},
                 {"remote_memory", process != nullptr}}}});
    {
        const RemoteBlock block(process);
        std::vector<HWND> children;
        EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
        const Reading reading{window, &block, first, rows};
        for (const HWND child : children) {
            PrintLine(ReadControl(child, reading));
        }
    }
    if (process != nullptr) {
        CloseHandle(process);
    }
    std::fflush(stdout);
    return 0;
}
