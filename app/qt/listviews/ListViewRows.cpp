// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/listviews/ListViewRows.h"

#include "app/qt/listviews/SortListModel.h"
#include "app/qt/listviews/SortListViews.h"

#include <QItemSelectionModel>

#include <algorithm>

namespace pellamy {

ListViewRows::ListViewRows(const TSortListView& view)
    : ListViewRows(view.ListModel(), view.selectionModel())
{}

void ForEachSelectedRowRange(const SortListModel* model, const QItemSelectionModel* selection,
                             const std::function<void(std::size_t first, std::size_t last)>& range)
{
    if (model == nullptr || selection == nullptr || selection->model() != model) {
        return;
    }
    const auto rows = static_cast<int>(model->RowCount());
    for (const QItemSelectionRange& selected : selection->selection()) {
        const int first = std::max(selected.top(), 0);
        const int last = std::min(selected.bottom(), rows - 1);
        if (first <= last) {
            range(static_cast<std::size_t>(first), static_cast<std::size_t>(last));
        }
    }
}

ListViewRows::ListViewRows(const SortListModel* model, const QItemSelectionModel* selection)
    : m_model(model)
    , m_selected(model != nullptr ? model->RowCount() : 0, false)
{
    ForEachSelectedRowRange(model, selection, [this](std::size_t first, std::size_t last) {
        std::fill(m_selected.begin() + static_cast<std::ptrdiff_t>(first),
                  m_selected.begin() + static_cast<std::ptrdiff_t>(last) + 1, true);
    });
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
