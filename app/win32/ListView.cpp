// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/win32/ListView.h"

#include "app/win32/Dpi.h"
#include "app/win32/ShellIcons.h"
#include "app/win32/Skin.h"
#include "platform/win32/WideText.h"

#include <algorithm>

namespace pellamy::win32 {

ListView::ListView(HWND parent, int id, bool multiSelect, bool border, std::vector<ColumnSpec> columns,
                   ListTable& table)
    : m_columns(std::move(columns))
    , m_table(table)
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS | LVS_REPORT | LVS_OWNERDATA |
                  LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS;
    if (!multiSelect) {
        style |= LVS_SINGLESEL;
    }
    if (border) {
        style |= WS_BORDER;
    }
    m_list = CreateWindowExW(0, WC_LISTVIEWW, L"", style, 0, 0, 0, 0, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
    // Whole rows selected, drawn without flicker; a cut cell unfolds its whole text under the pointer.
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP;
    ListView_SetExtendedListViewStyleEx(m_list, extended, extended);
    ListView_SetImageList(m_list, SystemSmallIcons(), LVSIL_SMALL);
    for (std::size_t index = 0; index < m_columns.size(); ++index) {
        const std::wstring caption = WideFromUtf8(m_columns[index].Caption);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = m_columns[index].RightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = m_columns[index].Width;
        column.pszText = const_cast<wchar_t*>(caption.c_str());
        column.iSubItem = static_cast<int>(index);
        ListView_InsertColumn(m_list, static_cast<int>(index), &column);
    }
    ApplyColors();
}

void ListView::ApplyDpi(UINT dpi)
{
    m_dpi = dpi;
    for (std::size_t index = 0; index < m_columns.size(); ++index) {
        if (m_columns[index].Width > 0) {
            ListView_SetColumnWidth(m_list, static_cast<int>(index), Scale(m_columns[index].Width, dpi));
        }
    }
    FitAutoColumn();
}

void ListView::FitAutoColumn()
{
    RECT client;
    GetClientRect(m_list, &client);
    int others = 0;
    int autoColumn = -1;
    for (std::size_t index = 0; index < m_columns.size(); ++index) {
        if (m_columns[index].Width > 0) {
            others += ListView_GetColumnWidth(m_list, static_cast<int>(index));
        } else {
            autoColumn = static_cast<int>(index);
        }
    }
    if (autoColumn >= 0) {
        const int width = client.right - client.left - others;
        ListView_SetColumnWidth(m_list, autoColumn, width > 0 ? width : 0);
    }
}

void ListView::ApplyColors()
{
    const SkinColors& colors = CurrentColors();
    ListView_SetBkColor(m_list, colors.ListBack);
    ListView_SetTextBkColor(m_list, colors.ListBack);
    ListView_SetTextColor(m_list, colors.ListText);
    InvalidateRect(m_list, nullptr, TRUE);
}

bool ListView::Notify(const NMHDR& header, LRESULT& result)
{
    result = 0;
    switch (header.code) {
    case LVN_GETDISPINFOW: {
        LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item;
        const ListRows& rows = m_table.Rows();
        if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= rows.RowCount()) {
            return true;
        }
        const auto row = static_cast<std::size_t>(item.iItem);
        if ((item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr && item.cchTextMax > 0) {
            m_cellBytes.clear();
            rows.AppendCellText(row, static_cast<std::size_t>(item.iSubItem), m_cellBytes);
            m_cellText = WideFromUtf8(m_cellBytes);
            lstrcpynW(item.pszText, m_cellText.c_str(), item.cchTextMax);
        }
        if ((item.mask & LVIF_IMAGE) != 0 && item.iSubItem == 0) {
            item.iImage = TypeIconIndex(m_table.Caption(row));
        }
        return true;
    }
    case LVN_COLUMNCLICK:
        ColumnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return true;
    case NM_CUSTOMDRAW: {
        if (m_shareColumn < 0) {
            return false;
        }
        auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(const_cast<NMHDR&>(header));
        switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            result = CDRF_NOTIFYITEMDRAW;
            return true;
        case CDDS_ITEMPREPAINT:
            result = CDRF_NOTIFYSUBITEMDRAW;
            return true;
        case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
            result = draw.iSubItem == m_shareColumn ? DrawShareCell(draw) : CDRF_DODEFAULT;
            return true;
        default:
            result = CDRF_DODEFAULT;
            return true;
        }
    }
    case LVN_ODFINDITEMW:
        // Typing a row's first letters finds it, as in any list: by the caption column's text.
        {
            const auto& find = reinterpret_cast<const NMLVFINDITEMW&>(header);
            result = -1;
            if ((find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) == 0 || find.lvfi.psz == nullptr) {
                return true;
            }
            const std::wstring wanted = find.lvfi.psz;
            const ListRows& rows = m_table.Rows();
            const std::size_t count = rows.RowCount();
            const std::size_t start = find.iStart >= 0 ? static_cast<std::size_t>(find.iStart) : 0;
            for (std::size_t step = 0; step < count; ++step) {
                const std::size_t row = (start + step) % count;
                const std::wstring text = WideFromUtf8(rows.CellText(row, 1));
                if (text.size() >= wanted.size() &&
                    CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, text.c_str(),
                                    static_cast<int>(wanted.size()), wanted.c_str(),
                                    static_cast<int>(wanted.size()), nullptr, nullptr, 0) == CSTR_EQUAL) {
                    result = static_cast<LRESULT>(row);
                    break;
                }
            }
            return true;
        }
    default:
        return false;
    }
}

void ListView::ClearRowStates()
{
    // Only the rows that have a state are touched: a change of "every row" (-1) visits each row of
    // the list, a million of them after a full listing.
    if (const int focused = ListView_GetNextItem(m_list, -1, LVNI_FOCUSED); focused >= 0) {
        ListView_SetItemState(m_list, focused, 0, LVIS_FOCUSED);
    }
    const auto count = static_cast<UINT>(ListView_GetItemCount(m_list));
    const UINT selected = ListView_GetSelectedCount(m_list);
    if (selected == 0) {
        return;
    }
    if (selected == count) {
        ListView_SetItemState(m_list, -1, 0, LVIS_SELECTED);
        return;
    }
    std::vector<int> rows;
    for (int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(m_list, row, LVNI_SELECTED)) {
        rows.push_back(row);
    }
    for (int row : rows) {
        ListView_SetItemState(m_list, row, 0, LVIS_SELECTED);
    }
}

void ListView::BeginReset()
{
    ClearRowStates();
    ListView_SetItemCountEx(m_list, 0, 0);
}

void ListView::EndReset()
{
    ListView_SetItemCountEx(m_list, static_cast<int>(m_table.Rows().RowCount()), 0);
    InvalidateRect(m_list, nullptr, TRUE);
    FitAutoColumn();
}

void ListView::ReadSelection(const std::function<void(std::size_t first, std::size_t last)>& range) const
{
    const auto count = static_cast<std::size_t>(ListView_GetItemCount(m_list));
    if (count > 0 && static_cast<std::size_t>(ListView_GetSelectedCount(m_list)) == count) {
        range(0, count - 1);
        return;
    }
    int row = ListView_GetNextItem(m_list, -1, LVNI_SELECTED);
    while (row >= 0) {
        const int first = row;
        int last = row;
        row = ListView_GetNextItem(m_list, row, LVNI_SELECTED);
        while (row == last + 1) {
            last = row;
            row = ListView_GetNextItem(m_list, row, LVNI_SELECTED);
        }
        range(static_cast<std::size_t>(first), static_cast<std::size_t>(last));
    }
}

void ListView::SelectAll()
{
    if (ListView_GetItemCount(m_list) > 0) {
        ListView_SetItemState(m_list, -1, LVIS_SELECTED, LVIS_SELECTED);
    }
}

int ListView::CurrentRow() const
{
    return ListView_GetNextItem(m_list, -1, LVNI_FOCUSED);
}

POINT ListView::MenuPoint() const
{
    POINT point{0, 0};
    const int current = CurrentRow();
    RECT row;
    if (current >= 0 && ListView_GetItemRect(m_list, current, &row, LVIR_BOUNDS)) {
        point = {row.left + Scale(16, m_dpi), row.bottom};
    }
    ClientToScreen(m_list, &point);
    return point;
}

void ListView::SetShareBars(int column, std::function<double(std::size_t row)> share)
{
    m_shareColumn = column;
    m_share = std::move(share);
    InvalidateRect(m_list, nullptr, TRUE);
}

LRESULT ListView::DrawShareCell(NMLVCUSTOMDRAW& draw)
{
    const auto row = static_cast<int>(draw.nmcd.dwItemSpec);
    if (row < 0 || static_cast<std::size_t>(row) >= m_table.Rows().RowCount()) {
        return CDRF_DODEFAULT;
    }
    RECT cell{};
    if (!ListView_GetSubItemRect(m_list, row, m_shareColumn, LVIR_BOUNDS, &cell)) {
        return CDRF_DODEFAULT;
    }
    HDC dc = draw.nmcd.hdc;
    const SkinColors& colors = CurrentColors();
    const bool selected = (ListView_GetItemState(m_list, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
    // A selection drawn without focus takes the quieter colours the list gives the rest of its row.
    const bool quiet = selected && GetFocus() != m_list && !SkinActive();
    const COLORREF selectedBack = quiet ? GetSysColor(COLOR_BTNFACE) : colors.Highlight;
    const COLORREF selectedText = quiet ? GetSysColor(COLOR_BTNTEXT) : colors.HighlightText;
    HBRUSH back = CreateSolidBrush(selected ? selectedBack : colors.ListBack);
    FillRect(dc, &cell, back);
    DeleteObject(back);
    // The bar: the row's share of the whole size, from the cell's left edge, in a shade between
    // the list's background and the selection colour so that the text stays readable over it.
    const double share = std::clamp(m_share(static_cast<std::size_t>(row)), 0.0, 1.0);
    RECT bar = cell;
    InflateRect(&bar, 0, -Scale(2, m_dpi));
    bar.right = bar.left + static_cast<LONG>(share * (cell.right - cell.left) + 0.5);
    if (bar.right > bar.left) {
        const COLORREF tint = selected && !quiet ? selectedText : colors.Highlight;
        const COLORREF under = selected ? selectedBack : colors.ListBack;
        const auto mix = [](BYTE a, BYTE b) { return static_cast<BYTE>((a + 3 * b) / 4); };
        HBRUSH fill = CreateSolidBrush(RGB(mix(GetRValue(tint), GetRValue(under)), mix(GetGValue(tint), GetGValue(under)),
                                           mix(GetBValue(tint), GetBValue(under))));
        FillRect(dc, &bar, fill);
        DeleteObject(fill);
    }
    m_cellBytes.clear();
    m_table.Rows().AppendCellText(static_cast<std::size_t>(row), static_cast<std::size_t>(m_shareColumn), m_cellBytes);
    const std::wstring text = WideFromUtf8(m_cellBytes);
    RECT textArea = cell;
    InflateRect(&textArea, -Scale(6, m_dpi), 0);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, selected ? selectedText : colors.ListText);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textArea,
              DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX | DT_END_ELLIPSIS);
    return CDRF_SKIPDEFAULT;
}

void ListView::ShowSortArrow(int column, int arrow)
{
    HWND header = ListView_GetHeader(m_list);
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!Header_GetItem(header, column, &item)) {
        return;
    }
    item.fmt = (item.fmt & ~(HDF_SORTUP | HDF_SORTDOWN)) | arrow;
    Header_SetItem(header, column, &item);
}

void ListView::ColumnClick(int column)
{
    if (column < 0 || static_cast<std::size_t>(column) >= m_columns.size()) {
        return;
    }
    if (m_sortColumn != -1 && m_sortColumn != column) {
        ShowSortArrow(m_sortColumn, 0);
    }
    m_ascending = column == m_sortColumn ? !m_ascending : true;
    m_sortColumn = column;
    ShowSortArrow(column, m_ascending ? HDF_SORTUP : HDF_SORTDOWN);

    // The rows move, so their selection goes with them through the table.
    m_table.SelectAll(false);
    ReadSelection([this](std::size_t first, std::size_t last) {
        if (first == 0 && last + 1 == m_table.Rows().RowCount()) {
            m_table.SelectAll(true);
            return;
        }
        for (std::size_t row = first; row <= last; ++row) {
            m_table.Select(row, true);
        }
    });
    const int current = CurrentRow();
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const std::vector<std::uint32_t> order = m_table.Sort(static_cast<std::size_t>(column), m_ascending);
    SetRowStates(order, current);
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

void ListView::SetRowStates(const std::vector<std::uint32_t>& order, int current)
{
    const ListRows& rows = m_table.Rows();
    const std::size_t count = rows.RowCount();
    ClearRowStates();
    std::size_t selected = 0;
    for (std::size_t row = 0; row < count; ++row) {
        selected += rows.IsSelected(row) ? 1 : 0;
    }
    if (selected == count && count > 0) {
        ListView_SetItemState(m_list, -1, LVIS_SELECTED, LVIS_SELECTED);
    } else if (selected > 0) {
        for (std::size_t row = 0; row < count; ++row) {
            if (rows.IsSelected(row)) {
                ListView_SetItemState(m_list, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
            }
        }
    }
    if (current >= 0) {
        for (std::size_t row = 0; row < order.size(); ++row) {
            if (order[row] == static_cast<std::uint32_t>(current)) {
                ListView_SetItemState(m_list, static_cast<int>(row), LVIS_FOCUSED, LVIS_FOCUSED);
                ListView_SetSelectionMark(m_list, static_cast<int>(row));
                ListView_EnsureVisible(m_list, static_cast<int>(row), FALSE);
                break;
            }
        }
    }
    InvalidateRect(m_list, nullptr, FALSE);
}

} // namespace pellamy::win32
