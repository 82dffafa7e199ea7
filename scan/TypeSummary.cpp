// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/TypeSummary.h"

#include "scan/CaseFold.h"
#include "scan/TypeInfoSource.h"

#include <algorithm>
#include <limits>

namespace pellamy {

std::string_view ExtensionOf(std::string_view name)
{
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

namespace {

constexpr std::size_t kShortExtension = sizeof(std::uint64_t);

// The bytes of an extension of at most eight bytes, packed into one integer. Names hold no NUL
// bytes, so two different extensions never pack alike, and the empty extension packs to 0.
std::uint64_t PackedShort(std::string_view extension)
{
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < extension.size(); ++i) {
        key |= std::uint64_t{static_cast<unsigned char>(extension[i])} << (8 * i);
    }
    return key;
}

std::size_t ShortHash(std::uint64_t key, std::size_t mask)
{
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

} // namespace

void TypeGrouper::Add(std::string_view name, std::int64_t size)
{
    // The last bytes are packed while the extension's dot is looked for, so a short extension
    // is found after reading each of its bytes once.
    std::uint64_t key = 0;
    const std::size_t n = name.size();
    const std::size_t last = std::min(n, kShortExtension);
    std::size_t length = 0;
    while (length < last) {
        const char c = name[n - 1 - length];
        key = (key << 8) | static_cast<unsigned char>(c);
        ++length;
        if (c == '.') {
            break;
        }
    }
    std::size_t row = 0;
    if (length > 0 && name[n - length] == '.') {
        row = ShortRowOf(key, name.substr(n - length));
    } else if (n <= kShortExtension) {
        row = ShortRowOf(0, {});
    } else {
        row = RowOf(ExtensionOf(name));
    }
    TypeRow& found = m_rows[row];
    ++found.Count;
    found.Size += ToByteCount(size);
}

std::size_t TypeGrouper::RowOf(std::string_view extension)
{
    if (extension.size() > kShortExtension) {
        return FoldedRowOf(extension);
    }
    return ShortRowOf(PackedShort(extension), extension);
}

std::size_t TypeGrouper::ShortRowOf(std::uint64_t key, std::string_view extension)
{
    if (!m_short.empty()) {
        const std::size_t mask = m_short.size() - 1;
        for (std::size_t i = ShortHash(key, mask);; i = (i + 1) & mask) {
            const ShortSlot& slot = m_short[i];
            if (!slot.Used) {
                break;
            }
            if (slot.Key == key) {
                return slot.Row;
            }
        }
    }
    const std::size_t row = FoldedRowOf(extension);
    RememberShort(key, row);
    return row;
}

std::size_t TypeGrouper::FoldedRowOf(std::string_view extension)
{
    m_key.clear();
    AppendFolded(extension, m_key);
    auto it = m_index.find(m_key);
    if (it == m_index.end()) {
        it = m_index.emplace(m_key, m_rows.size()).first;
        m_rows.push_back(TypeRow{std::string(extension), {}, 0, 0});
    }
    return it->second;
}

void TypeGrouper::RememberShort(std::uint64_t key, std::size_t row)
{
    if (2 * (m_shortUsed + 1) > m_short.size()) {
        std::vector<ShortSlot> old = std::move(m_short);
        m_short.assign(old.empty() ? 64 : 2 * old.size(), ShortSlot{});
        m_shortUsed = 0;
        for (const ShortSlot& slot : old) {
            if (slot.Used) {
                RememberShort(slot.Key, slot.Row);
            }
        }
    }
    const std::size_t mask = m_short.size() - 1;
    std::size_t i = ShortHash(key, mask);
    while (m_short[i].Used) {
        i = (i + 1) & mask;
    }
    m_short[i] = ShortSlot{key, static_cast<std::uint32_t>(row), true};
    ++m_shortUsed;
}

std::vector<TypeRow> TypeGrouper::TakeRows()
{
    std::vector<TypeRow> rows = std::move(m_rows);
    m_rows.clear();
    m_index.clear();
    m_short.clear();
    m_shortUsed = 0;
    return rows;
}

TypeSummary SummarizeFolder(DirectorySource& source, const std::string& folder, const ScanOptions& options,
                            TypeInfoSource& types, std::error_code* error,
                            const std::function<void(std::uint64_t)>& progress)
{
    TypeGrouper grouper;
    ScanFolder(
        source, folder, NamePattern::AllFiles(), options,
        [&grouper](const DirectoryEntryView& e) { grouper.Add(e.Name, e.Size); }, error, progress);
    return SummaryOfRows(grouper.TakeRows(), types, source.ReadAttributes(WithTrailingSlash(folder)));
}

TypeSummary SummaryOfRows(std::vector<TypeRow> rows, TypeInfoSource& types, std::uint32_t folderAttributes)
{
    TypeSummary summary;
    summary.Rows = std::move(rows);
    std::int64_t files = 0;
    for (TypeRow& row : summary.Rows) {
        row.Description = types.GetTypeDescription(row.Extension);
        files += row.Count;
        summary.TotalSize += row.Size;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    summary.TotalFiles = static_cast<std::int32_t>(files > kMax ? kMax : files);
    summary.FolderAttributes = folderAttributes;
    return summary;
}

} // namespace pellamy
