// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/qt/listviews/FileListModel.h"

#include "app/qt/listviews/SortListViews.h"
#include "lists/ColumnCompare.h"


namespace pellamy {

FileListModel::FileListModel(QObject* parent)
    : SortListModel(parent)
    , m_table(m_ownTable)
{}

FileListModel::FileListModel(FileTable& table, QObject* parent)
    : SortListModel(parent)
    , m_table(table)
{}

void FileListModel::SetRows(Rows rows, const RegionalSettings& settings)
{
    beginResetModel();
    m_table.Fill(std::move(rows), settings, Collator());
    endResetModel();
}

void FileListModel::SetRows(std::vector<FileRow> rows, const RegionalSettings& settings)
{
    beginResetModel();
    m_table.Fill(std::move(rows), settings, Collator());
    endResetModel();
}

void FileListModel::Clear()
{
    beginResetModel();
    m_table.Clear();
    endResetModel();
}

std::string FileListModel::CellText(std::size_t row, int column) const
{
    return column < 0 ? std::string() : m_table.CellText(row, static_cast<std::size_t>(column));
}

std::string_view FileListModel::Caption(std::size_t row) const
{
    return m_table.Caption(row);
}

TSLVOnCustomSortProc FileListModel::StandardCustomSort() const
{
    return &LView2CustomSort;
}

std::string_view FileListModel::ColumnCaption(int column) const
{
    return kFileColumns.at(static_cast<std::size_t>(column));
}

Qt::Alignment FileListModel::ColumnAlignment(int column) const
{
    return (column == 5 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

std::vector<std::uint32_t> FileListModel::KeyedOrder(int column, bool ascending) const
{
    return m_table.ColumnOrder(static_cast<std::size_t>(column), ascending);
}

void FileListModel::PermuteRows(const std::vector<std::uint32_t>& order)
{
    m_table.Permute(order);
}

void LView2CustomSort(TSortListView* Sender, int ColIndex, std::string_view Str1, std::string_view Str2,
                      int& Res, bool& Handled)
{
    if (ColIndex != 2 && ColIndex != 3 && ColIndex != 5) {
        return;
    }
    Res = CompareFileCells(ColIndex, Str1, Str2, TSortListView::SettingsOf(Sender));
    Handled = true;
}

} // namespace pellamy
