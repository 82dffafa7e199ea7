// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/listviews/ListViewRows.h"

#include "app/qt/listviews/SortListModel.h"
#include "app/qt/listviews/SortListViews.h"

#include <QItemSelectionModel>

namespace pellamy {

ListViewRows::ListViewRows(const TSortListView& view)
    : ListViewRows(view.ListModel(), view.selectionModel())
{}

ListViewRows::ListViewRows(const SortListModel* model, const QItemSelectionModel* selection)
    : m_model(model)
    , m_selected(model != nullptr ? model->RowCount() : 0, false)
{
    if (model == nullptr || selection == nullptr || selection->model() != model) {
        return;
    }
    // Whole rows are selected as ranges, so a selection of every row costs one range, not one
    // index per row.
    for (const QItemSelectionRange& range : selection->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (row >= 0 && static_cast<std::size_t>(row) < m_selected.size()) {
                m_selected[static_cast<std::size_t>(row)] = true;
            }
        }
    }
}

std::size_t ListViewRows::RowCount() const
{
    return m_selected.size();
}

std::size_t ListViewRows::ColumnCount() const
{
    return m_model != nullptr ? static_cast<std::size_t>(m_model->ColumnCount()) : 0;
}

std::string ListViewRows::CellText(std::size_t row, std::size_t column) const
{
    if (m_model == nullptr || row >= m_selected.size() || column >= ColumnCount()) {
        return {};
    }
    return m_model->CellText(row, static_cast<int>(column));
}

bool ListViewRows::IsSelected(std::size_t row) const
{
    return row < m_selected.size() && m_selected[row];
}

std::optional<ListedFile> ListViewRows::Listed(std::size_t row) const
{
    if (m_model == nullptr || row >= m_selected.size()) {
        return std::nullopt;
    }
    return m_model->Listed(row);
}

} // namespace pellamy
