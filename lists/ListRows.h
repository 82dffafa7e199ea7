// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_LISTS_LISTROWS_H
#define PELLAMY_LISTS_LISTROWS_H

#include "scan/FileEntry.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pellamy {

/// The rows of one list as the user sees them: in display order, with the texts as shown and
/// which rows are selected. Column 0 is the caption. Reports read lists only through this, so the
/// window's models and pellamy-report give the same bytes for the same rows.
class ListRows
{
public:
    virtual ~ListRows() = default;

    virtual std::size_t RowCount() const = 0;
    virtual std::size_t ColumnCount() const = 0;
    /// The text of a cell; empty for a column the row does not have.
    virtual std::string CellText(std::size_t row, std::size_t column) const = 0;
    /// Appends the text of a cell to `out`: how the reports read cells, so that a list that makes
    /// its texts from compact rows can write them into a reused buffer.
    virtual void AppendCellText(std::size_t row, std::size_t column, std::string& out) const
    {
        out += CellText(row, column);
    }
    virtual bool IsSelected(std::size_t row) const = 0;
    /// What the list showed of the file in `row`, for commands that must act on that very file;
    /// nothing for a list that keeps only texts.
    virtual std::optional<ListedFile> Listed(std::size_t row) const
    {
        (void)row;
        return std::nullopt;
    }
};

/// Rows held as plain texts: what pellamy-report and the tests hand to the reports.
class TextRows final : public ListRows
{
public:
    TextRows() = default;
    explicit TextRows(std::vector<std::vector<std::string>> cells, std::size_t columns)
        : m_cells(std::move(cells))
        , m_selected(m_cells.size(), false)
        , m_columns(columns)
    {}

    void AddRow(std::vector<std::string> cells, bool selected = false)
    {
        if (cells.size() > m_columns) {
            m_columns = cells.size();
        }
        m_cells.push_back(std::move(cells));
        m_selected.push_back(selected);
    }

    void SelectAll() { m_selected.assign(m_cells.size(), true); }
    void SetSelected(std::size_t row, bool selected) { m_selected.at(row) = selected; }

    std::size_t RowCount() const override { return m_cells.size(); }
    std::size_t ColumnCount() const override { return m_columns; }
    std::string CellText(std::size_t row, std::size_t column) const override
    {
        const auto& cells = m_cells.at(row);
        return column < cells.size() ? cells[column] : std::string();
    }
    void AppendCellText(std::size_t row, std::size_t column, std::string& out) const override
    {
        const auto& cells = m_cells.at(row);
        if (column < cells.size()) {
            out += cells[column];
        }
    }
    bool IsSelected(std::size_t row) const override { return m_selected.at(row); }

private:
    std::vector<std::vector<std::string>> m_cells;
    std::vector<bool> m_selected;
    std::size_t m_columns = 0;
};

} // namespace pellamy

#endif
