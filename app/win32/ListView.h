// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_WIN32_LISTVIEW_H
#define PELLAMY_APP_WIN32_LISTVIEW_H

#include "lists/ListRows.h"

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pellamy::win32 {

/// What a list view shows: a table of window/'s, in display order, with its header-click sort and
/// the selected state of each row.
class ListTable
{
public:
    virtual ~ListTable() = default;
    virtual const ListRows& Rows() const = 0;
    /// The row's caption (column 0), which picks its icon.
    virtual std::string_view Caption(std::size_t row) const = 0;
    /// Sorts as a header click does; the order applied (new position -> row before).
    virtual std::vector<std::uint32_t> Sort(std::size_t column, bool ascending) = 0;
    virtual void Select(std::size_t row, bool selected) = 0;
    virtual void SelectAll(bool selected) = 0;
};

/// `ListTable` over a table with the members of `TypeTable` and `FileTable`.
template <typename Table>
class TableOf final : public ListTable
{
public:
    explicit TableOf(Table& table)
        : m_table(table)
    {}
    const ListRows& Rows() const override { return m_table; }
    std::string_view Caption(std::size_t row) const override { return m_table.Caption(row); }
    std::vector<std::uint32_t> Sort(std::size_t column, bool ascending) override
    {
        return m_table.Sort(column, ascending);
    }
    void Select(std::size_t row, bool selected) override { m_table.Select(row, selected); }
    void SelectAll(bool selected) override { m_table.SelectAll(selected); }

private:
    Table& m_table;
};

/// A column of a list: its caption, its width at 96 dpi (0 for the auto column, which gets what the
/// others leave of the list's width) and whether its texts are right-aligned.
struct ColumnSpec
{
    std::string_view Caption;
    int Width;
    bool RightAligned;
};

/// A sortable list (`TSortListView`) as the system's list view in report view with owner data: the
/// control asks for the texts of the rows it draws, so a million rows cost the table's memory only.
/// A header click sorts the table by that column (again: the other direction), shows the system's
/// sort arrow, keeps each row's selection and keeps the current row in view.
class ListView
{
public:
    ListView(HWND parent, int id, bool multiSelect, bool border, std::vector<ColumnSpec> columns, ListTable& table);

    HWND Handle() const { return m_list; }
    /// Sets the column widths for `dpi`.
    void ApplyDpi(UINT dpi);
    /// Gives the auto column what the others leave of the list's client width.
    void FitAutoColumn();
    /// Draws the list in the skin's colours, or the system's.
    void ApplyColors();

    /// Answers the list's notifications (texts and icons of rows, header clicks); true when handled,
    /// with `result` the notification's answer.
    bool Notify(const NMHDR& header, LRESULT& result);

    /// Forgets the rows shown, their selection and the current row; then shows the table's rows.
    void BeginReset();
    void EndReset();
    /// Calls `range` with the first and last row of each run of selected rows, in display order.
    void ReadSelection(const std::function<void(std::size_t first, std::size_t last)>& range) const;
    void SelectAll();
    /// The current row, or -1.
    int CurrentRow() const;
    /// Where a menu opened from the keyboard goes: under the current row, or the list's top left.
    POINT MenuPoint() const;
    /// The column sorted by and its direction; -1 before the first header click.
    int SortColumn() const { return m_sortColumn; }
    bool SortAscending() const { return m_ascending; }
    /// Sorts by `column` as a click on its header does.
    void ColumnClick(int column);

    /// Draws behind each row's cell of `column` a bar as long as `share` of the row says (0 to 1).
    void SetShareBars(int column, std::function<double(std::size_t row)> share);

private:
    void ShowSortArrow(int column, int arrow);
    /// Draws a cell of the share column: its bar, then its text over it.
    LRESULT DrawShareCell(NMLVCUSTOMDRAW& draw);
    /// Takes the selection and the focus from every row that has them.
    void ClearRowStates();
    void SetRowStates(const std::vector<std::uint32_t>& order, int current);

    HWND m_list;
    std::vector<ColumnSpec> m_columns;
    ListTable& m_table;
    UINT m_dpi = 96;
    int m_sortColumn = -1;
    bool m_ascending = true;
    /// The text of the last cell asked for: the list copies it before it asks again.
    std::wstring m_cellText;
    int m_shareColumn = -1;
    std::function<double(std::size_t row)> m_share;
    std::string m_cellBytes;
};

} // namespace pellamy::win32

#endif
