// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_LISTS_FILETABLE_H
#define PELLAMY_LISTS_FILETABLE_H

#include "lists/FileRows.h"
#include "lists/ListRows.h"
#include "lists/RowSelection.h"
#include "lists/TextCollator.h"
#include "scan/DirectorySource.h"
#include "scan/FileEntry.h"
#include "scan/RegionalSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

/// One row of the file list as held, read without a copy of its name: valid until the rows change.
/// The row shows `Folder` followed by `Name`.
struct FileRowView
{
    /// The path from the listed folder to the file's folder, ending in "/"; empty for a file of the
    /// listed folder itself.
    std::string_view Folder;
    /// The file's own name.
    std::string_view Name;
    std::uint32_t Attributes = 0;
    std::int64_t Size = 0;
    FileTime CreationTime = 0;
    FileTime LastWriteTime = 0;
    FileTime LastAccessTime = 0;
};

/// The file list `LView2` (columns "Type", "Name", "Created", "Modified", "Attribs", "Size") without
/// a toolkit: its rows in display order, held compactly (a row costs its numbers, an offset into
/// one block that holds every name, and its own name's bytes; the rows of a tree name their folder
/// by its number, each folder's path held once), its texts made when they are asked for
/// with the regional settings captured at the fill, the header-click sorts, and which rows are
/// selected. The window's list and pellamy-report both show their files through it.
class FileTable final : public ListRows
{
    // A row as held: its own name is `NameLength` bytes of the name block from `NameOffset`, its
    // folder's path the folder `Folder` (0: the listed folder itself).
    struct StoredRow
    {
        std::uint32_t NameOffset = 0;
        std::uint32_t NameLength = 0;
        std::uint32_t Attributes = 0;
        std::uint32_t Folder = 0;
        std::int64_t Size = 0;
        FileTime CreationTime = 0;
        FileTime LastWriteTime = 0;
        FileTime LastAccessTime = 0; // not shown, but reported by pellamy-report
    };
    // A folder's path below the listed folder: `Length` bytes of the name block from `Offset`.
    struct StoredFolder
    {
        std::uint32_t Offset = 0;
        std::uint32_t Length = 0;
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
                 FileTime modified, FileTime accessed = 0);
        /// A file of a tree: `folder` is the path to its folder below the listed folder, ending
        /// in "/", and the row shows it before the file's own name. The path is held once for a
        /// run of rows of one folder.
        void Add(std::string_view folder, const DirectoryEntryView& entry);
        void Add(const DirectoryEntryView& entry)
        {
            Add(entry.Name, entry.Attributes, entry.Size, entry.CreationTime, entry.LastWriteTime,
                entry.LastAccessTime);
        }
        void Add(const FileEntry& entry)
        {
            Add(entry.Name, entry.Attributes, entry.Size, entry.CreationTime, entry.LastWriteTime,
                entry.LastAccessTime);
        }
        /// Makes room for `rows` rows and `nameBytes` bytes of names and folder paths, when about
        /// that much is expected.
        void Reserve(std::size_t rows, std::size_t nameBytes = 0)
        {
            m_rows.reserve(rows);
            m_names.reserve(nameBytes);
        }
        std::size_t Count() const { return m_rows.size(); }

    private:
        friend class FileTable;
        std::vector<StoredRow> m_rows;
        std::vector<StoredFolder> m_folders{StoredFolder{}};
        std::string m_names;
        bool m_full = false;
    };

    /// Replaces every row: the rows then in caption order under `collator` (rows of one caption
    /// keep their order), their texts made with `settings` until the next fill, none selected.
    void Fill(Rows rows, const RegionalSettings& settings, const TextCollator& collator);
    void Fill(std::vector<FileRow> rows, const RegionalSettings& settings, const TextCollator& collator);

    /// Removes every row.
    void Clear();

    std::size_t RowCount() const override { return m_rows.size(); }
    std::size_t ColumnCount() const override { return kFileColumns.size(); }
    std::string CellText(std::size_t row, std::size_t column) const override;
    void AppendCellText(std::size_t row, std::size_t column, std::string& out) const override;
    bool IsSelected(std::size_t row) const override { return m_selected.IsSelected(row); }
    std::optional<ListedFile> Listed(std::size_t row) const override;

    /// The row at a display position, read in place.
    FileRowView At(std::size_t row) const;
    /// The row at a display position, copied.
    FileRow Row(std::size_t row) const;
    /// The name the row at a display position shows: its folder's path, if any, and its own name.
    std::string Name(std::size_t row) const;
    /// Appends that name to `out`.
    void AppendName(std::size_t row, std::string& out) const;
    /// The row's caption (column 0): the extension of its own name.
    std::string_view Caption(std::size_t row) const;
    /// The settings the texts are made with.
    const RegionalSettings& Settings() const { return m_settings; }

    /// The order (new position -> row before) in which a click on the header of `column` puts the
    /// rows: "Created", "Modified" and "Size" by the values their texts show, so that no text form
    /// (two-digit years, 12-hour clocks, decimal commas) can misorder them; the other columns by
    /// the list's case-insensitive text comparison. Each row's key is computed once; rows with
    /// equal keys keep their relative order in either direction.
    std::vector<std::uint32_t> ColumnOrder(std::size_t column, bool ascending) const;

    /// Puts the rows in `order` (new position -> row before); each row keeps its selected state.
    void Permute(const std::vector<std::uint32_t>& order);

    /// Sorts by `column` as a header click does; gives the order applied.
    std::vector<std::uint32_t> Sort(std::size_t column, bool ascending);

    /// Selects or deselects one row; rows outside the table are passed over.
    void Select(std::size_t row, bool selected) { m_selected.Select(row, selected); }
    /// Selects every row, or none.
    void SelectAll(bool selected = true) { m_selected.SelectAll(selected); }
    /// How many rows are selected.
    std::size_t SelectedCount() const { return m_selected.Count(); }

private:
    std::vector<std::uint32_t> NameOrder(bool ascending) const;
    std::string_view NameOf(const StoredRow& row) const
    {
        return std::string_view(m_names).substr(row.NameOffset, row.NameLength);
    }
    std::string_view FolderOf(const StoredRow& row) const
    {
        const StoredFolder& folder = m_folders[row.Folder];
        return std::string_view(m_names).substr(folder.Offset, folder.Length);
    }

    std::vector<StoredRow> m_rows;
    std::vector<StoredFolder> m_folders{StoredFolder{}};
    std::string m_names;
    RowSelection m_selected;
    RegionalSettings m_settings;
};

} // namespace pellamy

#endif
