// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_LISTVIEWS_FILELISTMODEL_H
#define PELLAMY_APP_QT_LISTVIEWS_FILELISTMODEL_H

#include "app/qt/listviews/SortListModel.h"
#include "lists/FileRows.h"
#include "lists/FileTable.h"

#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

/// The file list `LView2` as a Qt model: an adapter over its `FileTable`, which holds the rows
/// compactly, makes the texts and sorts; the model only tells the views what changed.
class FileListModel final : public SortListModel
{
    Q_OBJECT

public:
    /// The rows of one fill, as a scan hands them over.
    using Rows = FileTable::Rows;

    /// A model over a table of its own.
    explicit FileListModel(QObject* parent = nullptr);
    /// A model over `table`, which its owner fills (between `BeginTableReset` and
    /// `EndTableReset`) and which must outlive the model.
    explicit FileListModel(FileTable& table, QObject* parent = nullptr);

    /// Replaces all rows in one batch: one model reset, the rows then in caption order, the texts
    /// made with `settings` until the next fill.
    void SetRows(Rows rows, const RegionalSettings& settings);
    void SetRows(std::vector<FileRow> rows, const RegionalSettings& settings);

    /// Removes all rows.
    void Clear();

    /// The row at a display position.
    FileRow Row(std::size_t row) const { return m_table.Row(row); }

    /// The name the row at a display position shows (a tree's rows: with their folder's path).
    std::string Name(std::size_t row) const { return m_table.Name(row); }

    /// The rows as the list shows them.
    const FileTable& Table() const { return m_table; }

    std::size_t RowCount() const override { return m_table.RowCount(); }
    int ColumnCount() const override { return static_cast<int>(kFileColumns.size()); }
    std::string CellText(std::size_t row, int column) const override;
    std::string_view Caption(std::size_t row) const override;
    const RegionalSettings& Settings() const override { return m_table.Settings(); }
    std::optional<ListedFile> Listed(std::size_t row) const override { return m_table.Listed(row); }
    TSLVOnCustomSortProc StandardCustomSort() const override;

protected:
    std::string_view ColumnCaption(int column) const override;
    Qt::Alignment ColumnAlignment(int column) const override;
    std::vector<std::uint32_t> KeyedOrder(int column, bool ascending) const override;
    void PermuteRows(const std::vector<std::uint32_t>& order) override;

private:
    FileTable m_ownTable;
    FileTable& m_table;
};

/// The file list's `OnCustomSort`, for handlers that compare cell texts: "Created" and "Modified"
/// (columns 2 and 3) compare the date-times read back from the texts, equal when less than a
/// millisecond apart; "Size" (column 5) compares the `SizeSortValue`s with the tolerant comparison;
/// all with `Handled` set. Any other column is left to the list's own case-insensitive text
/// comparison. Texts are read with the settings the sender's rows were made with. A view holding
/// this handler sorts by the values behind the texts instead (`SortListModel::SortByKeys`).
void LView2CustomSort(TSortListView* Sender, int ColIndex, std::string_view Str1, std::string_view Str2,
                      int& Res, bool& Handled);

} // namespace pellamy

#endif
