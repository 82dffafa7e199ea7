// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_LISTS_TYPETABLE_H
#define PELLAMY_LISTS_TYPETABLE_H

#include "lists/ColumnCaptions.h"
#include "lists/ListRows.h"
#include "lists/RowSelection.h"
#include "lists/TextCollator.h"
#include "scan/RegionalSettings.h"
#include "scan/TypeSummary.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

/// The type list `sLView` (columns "Type", "Description", "Number", "Size") without a toolkit: one
/// row per extension in display order, its texts made when they are asked for with the regional
/// settings captured at the fill, the header-click sorts, and which rows are selected. The window's
/// list and pellamy-report both show their types through it.
class TypeTable final : public ListRows
{
public:
    /// Replaces every row: the rows then in caption order under `collator` (rows of one caption
    /// keep their order), their texts made with `settings` until the next fill, none selected.
    void Fill(std::vector<TypeRow> rows, const RegionalSettings& settings, const TextCollator& collator);

    /// Removes every row.
    void Clear();

    std::size_t RowCount() const override { return m_rows.size(); }
    std::size_t ColumnCount() const override { return kTypeColumns.size(); }
    std::string CellText(std::size_t row, std::size_t column) const override;
    void AppendCellText(std::size_t row, std::size_t column, std::string& out) const override;
    bool IsSelected(std::size_t row) const override { return m_selected.IsSelected(row); }

    /// The row at a display position.
    const TypeRow& At(std::size_t row) const { return m_rows.at(row); }
    /// The row's share of the size of every row, from 0 to 1 (0 when every row is empty): the bar
    /// drawn behind its "Size" cell.
    double SizeShare(std::size_t row) const;
    /// The row's caption (column 0): its extension.
    std::string_view Caption(std::size_t row) const { return m_rows.at(row).Extension; }
    /// The settings the texts are made with.
    const RegionalSettings& Settings() const { return m_settings; }

    /// The order (new position -> row before) in which a click on the header of `column` puts the
    /// rows: "Number" by the counts, "Size" by the unit and value its text shows, the text columns
    /// by the list's case-insensitive text comparison. Rows with equal keys keep their relative
    /// order in either direction.
    std::vector<std::uint32_t> ColumnOrder(std::size_t column, bool ascending) const;

    /// Puts the rows in `order` (new position -> row before); each row keeps its selected state.
    void Permute(const std::vector<std::uint32_t>& order);

    /// Sorts by `column` as a header click does; gives the order applied.
    std::vector<std::uint32_t> Sort(std::size_t column, bool ascending);

    /// Selects or deselects one row; rows outside the table are passed over.
    void Select(std::size_t row, bool selected) { m_selected.Select(row, selected); }
    /// Selects every row, or none.
    void SelectAll(bool selected = true) { m_selected.SelectAll(selected); }

private:
    std::vector<TypeRow> m_rows;
    ByteCount m_totalSize = 0; // the sum of the rows' sizes, for their shares
    RowSelection m_selected;
    RegionalSettings m_settings;
};

} // namespace pellamy

#endif
