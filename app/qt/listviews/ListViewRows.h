// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_LISTVIEWS_LISTVIEWROWS_H
#define PELLAMY_APP_QT_LISTVIEWS_LISTVIEWROWS_H

#include "lists/ListRows.h"

#include <cstddef>
#include <functional>
#include <vector>

class QItemSelectionModel;

namespace pellamy {

class SortListModel;
class TSortListView;

/// Calls `range` with the first and last row of each run of whole rows selected in `selection`
/// over `model`, clipped to the model's rows; nothing when the selection is of another model.
/// Whole rows are selected as ranges, so a selection of every row costs one call, not one a row.
void ForEachSelectedRowRange(const SortListModel* model, const QItemSelectionModel* selection,
                             const std::function<void(std::size_t first, std::size_t last)>& range);

/// A list as the reports read it: the rows of a `SortListModel` in display order, with the
/// selection taken when this object is made. The model must outlive it and keep its rows meanwhile.
class ListViewRows final : public ListRows
{
public:
    /// The rows and the selection of `view`; no rows when its model is not a `SortListModel`.
    explicit ListViewRows(const TSortListView& view);

    /// The rows of `model` with the rows selected in `selection` (none when null).
    ListViewRows(const SortListModel* model, const QItemSelectionModel* selection);

    std::size_t RowCount() const override;
    std::size_t ColumnCount() const override;
    std::string CellText(std::size_t row, std::size_t column) const override;
    bool IsSelected(std::size_t row) const override;
    std::optional<ListedFile> Listed(std::size_t row) const override;

private:
    const SortListModel* m_model = nullptr;
    std::vector<bool> m_selected;
};

} // namespace pellamy

#endif
