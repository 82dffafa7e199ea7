// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/listviews/TypeListModel.h"

#include "app/qt/listviews/SortListViews.h"
#include "lists/ColumnCaptions.h"
#include "lists/ColumnCompare.h"

namespace pellamy {

TypeListModel::TypeListModel(QObject* parent)
    : SortListModel(parent)
    , m_table(m_ownTable)
{}

TypeListModel::TypeListModel(TypeTable& table, QObject* parent)
    : SortListModel(parent)
    , m_table(table)
{}

void TypeListModel::SetRows(std::vector<TypeRow> rows, const RegionalSettings& settings)
{
    beginResetModel();
    m_table.Fill(std::move(rows), settings, Collator());
    endResetModel();
}

void TypeListModel::Clear()
{
    beginResetModel();
    m_table.Clear();
    endResetModel();
}

std::string TypeListModel::CellText(std::size_t row, int column) const
{
    return column < 0 ? std::string() : m_table.CellText(row, static_cast<std::size_t>(column));
}

std::optional<double> TypeListModel::SizeShare(std::size_t row, int column) const
{
    if (column != 3) {
        return std::nullopt;
    }
    return m_table.SizeShare(row);
}

std::string_view TypeListModel::Caption(std::size_t row) const
{
    return m_table.Caption(row);
}

TSLVOnCustomSortProc TypeListModel::StandardCustomSort() const
{
    return &sLViewCustomSort;
}

std::string_view TypeListModel::ColumnCaption(int column) const
{
    return kTypeColumns.at(static_cast<std::size_t>(column));
}

Qt::Alignment TypeListModel::ColumnAlignment(int column) const
{
    return (column == 2 || column == 3 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

std::vector<std::uint32_t> TypeListModel::KeyedOrder(int column, bool ascending) const
{
    return m_table.ColumnOrder(static_cast<std::size_t>(column), ascending);
}

void TypeListModel::PermuteRows(const std::vector<std::uint32_t>& order)
{
    m_table.Permute(order);
}

void sLViewCustomSort(TSortListView* Sender, int ColIndex, std::string_view Str1, std::string_view Str2,
                      int& Res, bool& Handled)
{
    if (ColIndex != 2 && ColIndex != 3) {
        return;
    }
    Res = CompareTypeCells(ColIndex, Str1, Str2, TSortListView::SettingsOf(Sender));
    Handled = true;
}

} // namespace pellamy
