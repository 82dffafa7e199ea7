// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/FileTable.h"

#include "lists/ColumnOrder.h"
#include "lists/DisplayTexts.h"
#include "scan/CaseFold.h"
#include "scan/TypeSummary.h"

#include <algorithm>
#include <climits>
#include <limits>
#include <unordered_map>
#include <numeric>

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

template <typename Number>
int CompareNumbers(Number a, Number b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// The rank of each row's text among the distinct texts under the list's text comparison (equal
// texts share a rank).
template <typename TextOf>
std::vector<std::uint32_t> TextRanks(std::size_t rows, TextOf textOf)
{
    std::unordered_map<std::string_view, std::uint32_t> ids;
    std::vector<std::string_view> distinct;
    std::vector<std::uint32_t> idOfRow(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        const auto [it, added] = ids.try_emplace(textOf(row), static_cast<std::uint32_t>(distinct.size()));
        if (added) {
            distinct.push_back(it->first);
        }
        idOfRow[row] = it->second;
    }
    std::vector<std::uint32_t> sorted(distinct.size());
    std::iota(sorted.begin(), sorted.end(), std::uint32_t{0});
    std::stable_sort(sorted.begin(), sorted.end(), [&distinct](std::uint32_t a, std::uint32_t b) {
        return CompareTextNoCase(distinct[a], distinct[b]) < 0;
    });
    std::vector<std::uint32_t> rankOfId(distinct.size());
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && CompareTextNoCase(distinct[sorted[i - 1]], distinct[sorted[i]]) != 0) {
            ++rank;
        }
        rankOfId[sorted[i]] = rank;
    }
    for (std::uint32_t& id : idOfRow) {
        id = rankOfId[id];
    }
    return idOfRow;
}

} // namespace

void FileTable::Rows::Add(std::string_view name, std::uint32_t attributes, std::int64_t size, FileTime created,
                          FileTime modified, FileTime accessed)
{
    constexpr std::size_t kMaxNameBytes = UINT32_MAX;
    if (m_full || name.size() > kMaxNameBytes - m_names.size()) {
        m_full = true;
        return;
    }
    m_rows.push_back({static_cast<std::uint32_t>(m_names.size()), static_cast<std::uint32_t>(name.size()),
                      attributes, 0, size, created, modified, accessed});
    m_names += name;
}

void FileTable::Rows::Add(std::string_view folder, const DirectoryEntryView& entry)
{
    if (folder.empty()) {
        Add(entry);
        return;
    }
    const StoredFolder& last = m_folders.back();
    if (m_folders.size() == 1 || std::string_view(m_names).substr(last.Offset, last.Length) != folder) {
        constexpr std::size_t kMaxBytes = UINT32_MAX;
        if (m_full || folder.size() > kMaxBytes - m_names.size()) {
            m_full = true;
            return;
        }
        m_folders.push_back({static_cast<std::uint32_t>(m_names.size()), static_cast<std::uint32_t>(folder.size())});
        m_names += folder;
    }
    const std::size_t before = m_rows.size();
    Add(entry);
    if (m_rows.size() > before) {
        m_rows.back().Folder = static_cast<std::uint32_t>(m_folders.size() - 1);
    }
}

void FileTable::Fill(Rows rows, const RegionalSettings& settings, const TextCollator& collator)
{
    m_rows = std::move(rows.m_rows);
    m_folders = std::move(rows.m_folders);
    m_names = std::move(rows.m_names);
    // The blocks grew by doubling while the scan ran. Giving back much room costs a copy, which
    // briefly holds the block twice; a little is kept rather than copied for.
    if (m_rows.capacity() - m_rows.size() > m_rows.size() / 8) {
        m_rows.shrink_to_fit();
    }
    if (m_names.capacity() - m_names.size() > m_names.size() / 8) {
        m_names.shrink_to_fit();
    }
    m_settings = settings;
    m_selected.Reset(m_rows.size());
    PermuteInPlace(m_rows,
                   CaptionOrder(m_rows.size(), [this](std::size_t row) { return Caption(row); }, collator));
}

void FileTable::Fill(std::vector<FileRow> rows, const RegionalSettings& settings, const TextCollator& collator)
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
    Fill(std::move(held), settings, collator);
}

void FileTable::Clear()
{
    m_rows.clear();
    m_rows.shrink_to_fit();
    m_folders.assign(1, StoredFolder{});
    m_folders.shrink_to_fit();
    m_names.clear();
    m_names.shrink_to_fit();
    m_selected.Clear();
}

FileRowView FileTable::At(std::size_t row) const
{
    const StoredRow& r = m_rows.at(row);
    return FileRowView{FolderOf(r),    NameOf(r),       r.Attributes,   r.Size,
                       r.CreationTime, r.LastWriteTime, r.LastAccessTime};
}

FileRow FileTable::Row(std::size_t row) const
{
    const FileRowView view = At(row);
    return FileRow{Name(row), view.Attributes, view.Size, view.CreationTime, view.LastWriteTime};
}

std::string FileTable::Name(std::size_t row) const
{
    std::string name;
    AppendName(row, name);
    return name;
}

void FileTable::AppendName(std::size_t row, std::string& out) const
{
    const StoredRow& r = m_rows.at(row);
    out += FolderOf(r);
    out += NameOf(r);
}

std::optional<ListedFile> FileTable::Listed(std::size_t row) const
{
    if (row >= m_rows.size()) {
        return std::nullopt;
    }
    return ListedFile{m_rows[row].Size, m_rows[row].LastWriteTime};
}

std::string_view FileTable::Caption(std::size_t row) const
{
    return ExtensionOf(NameOf(m_rows.at(row)));
}

std::string FileTable::CellText(std::size_t row, std::size_t column) const
{
    std::string text;
    AppendCellText(row, column, text);
    return text;
}

void FileTable::AppendCellText(std::size_t row, std::size_t column, std::string& out) const
{
    if (row >= m_rows.size()) {
        return;
    }
    const StoredRow& r = m_rows[row];
    if (column == 0) {
        // Rows in caption order visit the name block out of order: the name a few rows ahead is
        // fetched while this row is written, since waiting for memory would cost more than its texts.
        constexpr std::size_t kAhead = 16;
        if (row + kAhead < m_rows.size()) {
            __builtin_prefetch(m_names.data() + m_rows[row + kAhead].NameOffset);
        }
    }
    switch (column) {
    case 0:
        out += ExtensionOf(NameOf(r));
        break;
    case 1:
        out += FolderOf(r);
        out += NameOf(r);
        break;
    case 2:
        out += FileTimeText(r.CreationTime, m_settings);
        break;
    case 3:
        out += FileTimeText(r.LastWriteTime, m_settings);
        break;
    case 4:
        out += AttributeLetters(r.Attributes);
        break;
    case 5:
        out += SizeText(ToByteCount(r.Size), false, m_settings);
        break;
    default:
        break;
    }
}

std::vector<std::uint32_t> FileTable::ColumnOrder(std::size_t column, bool ascending) const
{
    // Each key is as small as the column allows, since a million of them are sorted at once.
    const std::size_t count = m_rows.size();
    switch (column) {
    case 0: {
        // A million rows carry a few hundred extensions: each distinct one is ranked once under
        // the text comparison, and the rows sort by rank.
        const std::vector<std::uint32_t> ranks =
            TextRanks(count, [this](std::size_t row) { return ExtensionOf(NameOf(m_rows[row])); });
        return OrderByKeyOf(count, [&ranks](std::size_t row) { return ranks[row]; }, ascending,
                            CompareNumbers<std::uint32_t>);
    }
    case 1:
        return NameOrder(ascending);
    case 2:
    case 3:
        // The second each text shows; a time without a text before every other.
        return OrderByKeyOf(
            count,
            [this, column](std::size_t row) {
                const StoredRow& r = m_rows[row];
                return ShownSecond(column == 2 ? r.CreationTime : r.LastWriteTime)
                    .value_or(std::numeric_limits<std::int64_t>::min());
            },
            ascending, CompareNumbers<std::int64_t>);
    case 4:
        return OrderByKeyOf(count, [this](std::size_t row) { return PackedLetters(m_rows[row].Attributes); },
                            ascending, CompareNumbers<std::uint64_t>);
    case 5:
        // The unit above the hundredths its text shows: a file's size (below 2^63 bytes) shows at
        // most about 2^40 hundredths of a gigabyte.
        return OrderByKeyOf(
            count,
            [this](std::size_t row) {
                const ShownSize shown = ShowSize(ToByteCount(m_rows[row].Size), false);
                return (static_cast<std::uint64_t>(shown.Unit) << 56) | static_cast<std::uint64_t>(shown.Hundredths);
            },
            ascending, CompareNumbers<std::uint64_t>);
    default: {
        std::vector<std::uint32_t> order(count);
        std::iota(order.begin(), order.end(), std::uint32_t{0});
        return order;
    }
    }
}

std::vector<std::uint32_t> FileTable::NameOrder(bool ascending) const
{
    // A key is the name's packed first bytes alone: the texts behind a tie are read through the
    // row, so a million keys hold no views of their own.
    const auto textOf = [this](std::uint32_t row) {
        return TwoPartText{FolderOf(m_rows[row]), NameOf(m_rows[row])};
    };
    return OrderByRowKeyOf(
        m_rows.size(),
        [&textOf](std::size_t row) { return PackTextPrefix(textOf(static_cast<std::uint32_t>(row))); },
        ascending,
        [&textOf](const PackedTextPrefix& a, std::uint32_t rowA, const PackedTextPrefix& b,
                  std::uint32_t rowB) { return ComparePackedTexts(a, textOf(rowA), b, textOf(rowB)); });
}

void FileTable::Permute(const std::vector<std::uint32_t>& order)
{
    if (order.size() != m_rows.size()) {
        return;
    }
    PermuteInPlace(m_rows, order);
    m_selected.Permute(order);
}

std::vector<std::uint32_t> FileTable::Sort(std::size_t column, bool ascending)
{
    std::vector<std::uint32_t> order = ColumnOrder(column, ascending);
    Permute(order);
    return order;
}

} // namespace pellamy
