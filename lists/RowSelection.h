// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_LISTS_ROWSELECTION_H
#define PELLAMY_LISTS_ROWSELECTION_H

#include "lists/ColumnOrder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pellamy {

/// Which rows of a list table are selected, one bit a row, in the table's display order.
class RowSelection
{
public:
    /// `rows` rows, none selected.
    void Reset(std::size_t rows) { m_selected.assign(rows, false); }
    /// No rows at all, and no room kept for them.
    void Clear()
    {
        m_selected.clear();
        m_selected.shrink_to_fit();
    }

    bool IsSelected(std::size_t row) const { return row < m_selected.size() && m_selected[row]; }
    /// Selects or deselects one row; rows outside the table are passed over.
    void Select(std::size_t row, bool selected)
    {
        if (row < m_selected.size()) {
            m_selected[row] = selected;
        }
    }
    /// Selects every row, or none.
    void SelectAll(bool selected) { m_selected.assign(m_selected.size(), selected); }
    std::size_t Count() const { return static_cast<std::size_t>(std::count(m_selected.begin(), m_selected.end(), true)); }

    /// Moves each row's state with its row when the rows are put in `order` (new position -> row
    /// before).
    void Permute(const std::vector<std::uint32_t>& order) { PermuteInPlace(m_selected, order); }

private:
    std::vector<bool> m_selected;
};

} // namespace pellamy

#endif
