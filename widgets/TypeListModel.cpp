// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/TypeListModel.h"

#include "scan/CaseFold.h"
#include "scan/ColumnCompare.h"
#include "scan/DisplayTexts.h"
#include "widgets/SortListViews.h"

namespace pellamy {

TypeListModel::TypeListModel(QObject* parent)
    : SortListModel(parent)
{}

void TypeListModel::SetRows(std::vector<TypeRow> rows, const RegionalSettings& settings)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_rows.shrink_to_fit();
    SetSettings(settings);
    PermuteInPlace(m_rows, CaptionOrder());
    endResetModel();
}

void TypeListModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    endResetModel();
}

std::string TypeListModel::CellText(std::size_t row, int column) const
{
    if (row >= m_rows.size()) {
        return {};
    }
    const TypeRow& r = m_rows[row];
    switch (column) {
    case 0:
        return r.Extension;
    case 1:
        return r.Description;
    case 2:
        return std::to_string(r.Count);
    case 3:
        return SizeText(r.Size, false, Settings());
    default:
        return {};
    }
}

std::string_view TypeListModel::Caption(std::size_t row) const
{
    return m_rows.at(row).Extension;
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
    if (column == 2) {
        std::vector<std::int64_t> counts;
        counts.reserve(m_rows.size());
        for (const TypeRow& row : m_rows) {
            counts.push_back(row.Count);
        }
        return OrderByCounts(counts, ascending);
    }
    if (column == 3) {
        std::vector<ByteCount> sizes;
        sizes.reserve(m_rows.size());
        for (const TypeRow& row : m_rows) {
            sizes.push_back(row.Size);
        }
        return OrderByShownSizes(sizes, ascending);
    }
    // The text columns: each cell's text made once, compared as the list compares texts.
    std::vector<std::string> keys;
    keys.reserve(m_rows.size());
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        keys.push_back(CellText(row, column));
    }
    return OrderByKeys(std::move(keys), ascending,
                       [](const std::string& a, const std::string& b) { return CompareTextNoCase(a, b); });
}

void TypeListModel::PermuteRows(const std::vector<std::uint32_t>& order)
{
    PermuteInPlace(m_rows, order);
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
