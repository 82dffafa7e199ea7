// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WIDGETS_FILELISTMODEL_H
#define PELLAMY_WIDGETS_FILELISTMODEL_H

#include "scan/DirectorySource.h"
#include "scan/FileRows.h"
#include "widgets/SortListModel.h"

#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

/// The rows of the file list `LView2` (columns "Type", "Name", "Created", "Modified", "Attribs",
/// "Size"), held compactly: a row costs its numbers, an offset into one block that holds every
/// name, and its name's bytes; every text is made when it is shown.
class FileListModel final : public SortListModel
{
    Q_OBJECT

    // A row as held: the name is `NameLength` bytes of the name block from `NameOffset`.
    struct StoredRow
    {
        std::uint32_t NameOffset = 0;
        std::uint32_t NameLength = 0;
        std::uint32_t Attributes = 0;
        std::int64_t Size = 0;
        FileTime CreationTime = 0;
        FileTime LastWriteTime = 0;
    };

public:
    /// The rows of one fill, gathered as a scan hands them over and held as the list holds them:
    /// each name goes straight into one block of names, so a listing of a million files makes no
    /// allocation per row. Offsets are 32 bits: once the names together reach 4 GiB, further rows
    /// are left out.
    class Rows
    {
    public:
        void Add(std::string_view name, std::uint32_t attributes, std::int64_t size, FileTime created,
                 FileTime modified);
        void Add(const DirectoryEntryView& entry)
        {
            Add(entry.Name, entry.Attributes, entry.Size, entry.CreationTime, entry.LastWriteTime);
        }
        /// Makes room for `rows` rows and `nameBytes` bytes of names, when about that much is
        /// expected.
        void Reserve(std::size_t rows, std::size_t nameBytes = 0)
        {
            m_rows.reserve(rows);
            m_names.reserve(nameBytes);
        }
        std::size_t Count() const { return m_rows.size(); }

    private:
        friend class FileListModel;
        std::vector<StoredRow> m_rows;
        std::string m_names;
        bool m_full = false;
    };

    explicit FileListModel(QObject* parent = nullptr);

    /// Replaces all rows in one batch: one model reset, the rows then in caption order, the texts
    /// made with `settings` until the next fill.
    void SetRows(Rows rows, const RegionalSettings& settings);
    void SetRows(std::vector<FileRow> rows, const RegionalSettings& settings);

    /// Removes all rows.
    void Clear();

    /// The row at a display position.
    FileRow Row(std::size_t row) const;

    /// The name of the row at a display position, without a copy; valid until the rows change.
    std::string_view Name(std::size_t row) const { return NameOf(m_rows.at(row)); }

    std::size_t RowCount() const override { return m_rows.size(); }
    int ColumnCount() const override { return static_cast<int>(kFileColumns.size()); }
    std::string CellText(std::size_t row, int column) const override;
    std::string_view Caption(std::size_t row) const override;
    std::optional<ListedFile> Listed(std::size_t row) const override;
    TSLVOnCustomSortProc StandardCustomSort() const override;

protected:
    std::string_view ColumnCaption(int column) const override;
    Qt::Alignment ColumnAlignment(int column) const override;
    std::vector<std::uint32_t> KeyedOrder(int column, bool ascending) const override;
    void PermuteRows(const std::vector<std::uint32_t>& order) override;

private:
    std::string_view NameOf(const StoredRow& row) const
    {
        return std::string_view(m_names).substr(row.NameOffset, row.NameLength);
    }

    std::vector<StoredRow> m_rows;
    std::string m_names;
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
