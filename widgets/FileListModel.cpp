// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/FileListModel.h"

#include "scan/ColumnCompare.h"
#include "scan/DisplayTexts.h"
#include "scan/TypeSummary.h"
#include "widgets/SortListViews.h"

#include <algorithm>
#include <climits>

namespace pellamy {
namespace {

// The attribute letters packed into one number whose order is their text order: the letters are
// capitals already, so the case-insensitive comparison is byte order, and a shorter text (padded
// with zero bytes) sorts first.
std::uint64_t PackedLetters(std::uint32_t attributes)
{
    const std::string letters = AttributeLetters(attributes);
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        key = (key << 8) | (i < letters.size() ? static_cast<unsigned char>(letters[i]) : 0U);
    }
    return key;
}

} // namespace

FileListModel::FileListModel(QObject* parent)
    : SortListModel(parent)
{}

void FileListModel::Rows::Add(std::string_view name, std::uint32_t attributes, std::int64_t size,
                              FileTime created, FileTime modified)
{
    constexpr std::size_t kMaxNameBytes = UINT32_MAX;
    if (m_full || name.size() > kMaxNameBytes - m_names.size()) {
        m_full = true;
        return;
    }
    m_rows.push_back({static_cast<std::uint32_t>(m_names.size()), static_cast<std::uint32_t>(name.size()),
                      attributes, size, created, modified});
    m_names += name;
}

void FileListModel::SetRows(Rows rows, const RegionalSettings& settings)
{
    beginResetModel();
    m_rows = std::move(rows.m_rows);
    m_names = std::move(rows.m_names);
    // The blocks grew by doubling while the scan ran; the list keeps only what it holds.
    m_rows.shrink_to_fit();
    m_names.shrink_to_fit();
    SetSettings(settings);
    PermuteInPlace(m_rows, CaptionOrder());
    endResetModel();
}

void FileListModel::SetRows(std::vector<FileRow> rows, const RegionalSettings& settings)
{
    std::size_t nameBytes = 0;
    for (const FileRow& row : rows) {
        nameBytes += row.Name.size();
    }
    Rows held;
    held.Reserve(rows.size(), std::min<std::size_t>(nameBytes, UINT32_MAX));
    for (FileRow& row : rows) {
        held.Add(row.Name, row.Attributes, row.Size, row.CreationTime, row.LastWriteTime);
        // The row's own name block goes as soon as its bytes are copied.
        std::string().swap(row.Name);
    }
    rows = std::vector<FileRow>();
    SetRows(std::move(held), settings);
}

void FileListModel::Clear()
{
    beginResetModel();
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_names.clear();
    m_names.shrink_to_fit();
    endResetModel();
}

FileRow FileListModel::Row(std::size_t row) const
{
    const StoredRow& r = m_rows.at(row);
    FileRow result;
    result.Name = std::string(NameOf(r));
    result.Attributes = r.Attributes;
    result.Size = r.Size;
    result.CreationTime = r.CreationTime;
    result.LastWriteTime = r.LastWriteTime;
    return result;
}

std::optional<ListedFile> FileListModel::Listed(std::size_t row) const
{
    if (row >= m_rows.size()) {
        return std::nullopt;
    }
    return ListedFile{m_rows[row].Size, m_rows[row].LastWriteTime};
}

std::string FileListModel::CellText(std::size_t row, int column) const
{
    if (row >= m_rows.size()) {
        return {};
    }
    const StoredRow& r = m_rows[row];
    switch (column) {
    case 0:
        return std::string(ExtensionOf(NameOf(r)));
    case 1:
        return std::string(NameOf(r));
    case 2:
        return FileTimeText(r.CreationTime, Settings());
    case 3:
        return FileTimeText(r.LastWriteTime, Settings());
    case 4:
        return AttributeLetters(r.Attributes);
    case 5:
        return SizeText(ToByteCount(r.Size), false, Settings());
    default:
        return {};
    }
}

std::string_view FileListModel::Caption(std::size_t row) const
{
    return ExtensionOf(NameOf(m_rows.at(row)));
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
    // "Created", "Modified" and "Size" order by the values their texts show; the other columns by
    // the list's case-insensitive text comparison, from keys that give that comparison's order.
    switch (column) {
    case 0:
    case 1: {
        std::vector<PackedTextKey> keys;
        keys.reserve(m_rows.size());
        for (const StoredRow& row : m_rows) {
            const std::string_view name = NameOf(row);
            keys.push_back(PackTextKey(column == 0 ? ExtensionOf(name) : name));
        }
        return OrderByKeys(std::move(keys), ascending, ComparePackedTextKeys);
    }
    case 2:
    case 3: {
        std::vector<FileTime> times;
        times.reserve(m_rows.size());
        for (const StoredRow& row : m_rows) {
            times.push_back(column == 2 ? row.CreationTime : row.LastWriteTime);
        }
        return OrderByShownTimes(times, ascending);
    }
    case 4: {
        std::vector<std::uint64_t> keys;
        keys.reserve(m_rows.size());
        for (const StoredRow& row : m_rows) {
            keys.push_back(PackedLetters(row.Attributes));
        }
        return OrderByKeys(std::move(keys), ascending,
                           [](std::uint64_t a, std::uint64_t b) { return a < b ? -1 : (a > b ? 1 : 0); });
    }
    case 5: {
        std::vector<ByteCount> sizes;
        sizes.reserve(m_rows.size());
        for (const StoredRow& row : m_rows) {
            sizes.push_back(ToByteCount(row.Size));
        }
        return OrderByShownSizes(sizes, ascending);
    }
    default: {
        std::vector<std::uint32_t> order(m_rows.size());
        std::iota(order.begin(), order.end(), std::uint32_t{0});
        return order;
    }
    }
}

void FileListModel::PermuteRows(const std::vector<std::uint32_t>& order)
{
    PermuteInPlace(m_rows, order);
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
