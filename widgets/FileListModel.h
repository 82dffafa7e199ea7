// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WIDGETS_FILELISTMODEL_H
#define PELLAMY_WIDGETS_FILELISTMODEL_H

#include "scan/FileRows.h"
#include "widgets/SortListModel.h"

#include <vector>

namespace pellamy {

/// The rows of the file list `LView2` (columns "Type", "Name", "Created", "Modified", "Attribs",
/// "Size"), held as compact `FileRow`s: a row costs its `FileRow` and nothing else, and every text
/// is made when it is shown.
class FileListModel final : public SortListModel
{
    Q_OBJECT

public:
    explicit FileListModel(QObject* parent = nullptr);

    /// Replaces all rows in one batch: one model reset, the rows then in caption order, the texts
    /// made with `settings` until the next fill.
    void SetRows(std::vector<FileRow> rows, const RegionalSettings& settings);

    /// Removes all rows.
    void Clear();

    /// The row at a display position.
    const FileRow& Row(std::size_t row) const { return m_rows.at(row); }

    std::size_t RowCount() const override { return m_rows.size(); }
    int ColumnCount() const override { return static_cast<int>(kFileColumns.size()); }
    std::string CellText(std::size_t row, int column) const override;
    std::string_view Caption(std::size_t row) const override;
    TSLVOnCustomSortProc StandardCustomSort() const override;

protected:
    std::string_view ColumnCaption(int column) const override;
    Qt::Alignment ColumnAlignment(int column) const override;
    std::vector<std::uint32_t> KeyedOrder(int column, bool ascending) const override;
    void PermuteRows(const std::vector<std::uint32_t>& order) override;

private:
    std::vector<std::uint32_t> TimeOrder(int column, bool ascending) const;

    std::vector<FileRow> m_rows;
};

/// The file list's `OnCustomSort`: "Created" and "Modified" (columns 2 and 3) compare the date-times
/// read back from the texts, equal when less than a millisecond apart; "Size" (column 5) compares the
/// `SizeSortValue`s with the tolerant comparison; all with `Handled` set. Any other column is left
/// to the list's own case-insensitive text comparison. Texts are read with the settings the
/// sender's rows were made with.
void LView2CustomSort(TSortListView* Sender, int ColIndex, std::string_view Str1, std::string_view Str2, int& Res,
                      bool& Handled);

} // namespace pellamy

#endif
