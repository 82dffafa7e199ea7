// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_LISTVIEWS_TYPELISTMODEL_H
#define PELLAMY_APP_QT_LISTVIEWS_TYPELISTMODEL_H

#include "scan/TypeSummary.h"
#include "lists/TypeTable.h"
#include "app/qt/listviews/SortListModel.h"

#include <vector>

namespace pellamy {

/// The type list `sLView` as a Qt model: an adapter over its `TypeTable`, which holds the rows,
/// makes the texts and sorts; the model only tells the views what changed.
class TypeListModel final : public SortListModel
{
    Q_OBJECT

public:
    /// A model over a table of its own.
    explicit TypeListModel(QObject* parent = nullptr);
    /// A model over `table`, which its owner fills (between `BeginTableReset` and
    /// `EndTableReset`) and which must outlive the model.
    explicit TypeListModel(TypeTable& table, QObject* parent = nullptr);

    /// Replaces all rows in one batch: one model reset, the rows then in caption order, the texts
    /// made with `settings` until the next fill.
    void SetRows(std::vector<TypeRow> rows, const RegionalSettings& settings);

    /// Removes all rows.
    void Clear();

    /// The row at a display position.
    const TypeRow& Row(std::size_t row) const { return m_table.At(row); }

    /// The rows as the list shows them.
    const TypeTable& Table() const { return m_table; }

    std::size_t RowCount() const override { return m_table.RowCount(); }
    int ColumnCount() const override { return static_cast<int>(kTypeColumns.size()); }
    std::string CellText(std::size_t row, int column) const override;
    std::string_view Caption(std::size_t row) const override;
    /// The "Size" cell's bar: the row's share of the size of every row.
    std::optional<double> SizeShare(std::size_t row, int column) const override;
    const RegionalSettings& Settings() const override { return m_table.Settings(); }
    TSLVOnCustomSortProc StandardCustomSort() const override;

protected:
    std::string_view ColumnCaption(int column) const override;
    Qt::Alignment ColumnAlignment(int column) const override;
    std::vector<std::uint32_t> KeyedOrder(int column, bool ascending) const override;
    void PermuteRows(const std::vector<std::uint32_t>& order) override;

private:
    TypeTable m_ownTable;
    TypeTable& m_table;
};

/// The type list's `OnCustomSort`: "Number" (column 2) compares the counts as integers and "Size"
/// (column 3) the `SizeSortValue`s with the tolerant comparison, both with `Handled` set; any other
/// column is left to the list's own case-insensitive text comparison. Sizes are read with the
/// decimal separator of the settings the sender's rows were made with. A view holding this handler
/// sorts by the counts and byte counts behind the texts instead (`SortListModel::SortByKeys`).
void sLViewCustomSort(TSortListView* Sender, int ColIndex, std::string_view Str1, std::string_view Str2,
                      int& Res, bool& Handled);

} // namespace pellamy

#endif
