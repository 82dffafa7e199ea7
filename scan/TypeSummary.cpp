// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/TypeSummary.h"

#include "scan/CaseFold.h"
#include "scan/DisplayTexts.h"
#include "shell/TypeInfoSource.h"

#include <limits>

namespace pellamy {

std::string_view ExtensionOf(std::string_view name)
{
    const auto dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view() : name.substr(dot);
}

std::array<std::string, 4> TypeRowTexts(const TypeRow& row, const RegionalSettings& settings)
{
    return {row.Extension, row.Description, std::to_string(row.Count), SizeText(row.Size, false, settings)};
}

void TypeGrouper::Add(std::string_view name, std::int64_t size)
{
    const std::string_view extension = ExtensionOf(name);
    // Runs of one extension are common (files written in batches), so the last match is tried
    // before folding and hashing.
    if (!m_haveLast || extension != m_lastExtension) {
        m_key.clear();
        AppendFolded(extension, m_key);
        auto it = m_index.find(m_key);
        if (it == m_index.end()) {
            it = m_index.emplace(m_key, m_rows.size()).first;
            m_rows.push_back(TypeRow{std::string(extension), {}, 0, 0});
        }
        m_lastIndex = it->second;
        m_lastExtension.assign(extension);
        m_haveLast = true;
    }
    TypeRow& row = m_rows[m_lastIndex];
    ++row.Count;
    row.Size += ToByteCount(size);
}

std::vector<TypeRow> TypeGrouper::TakeRows()
{
    std::vector<TypeRow> rows = std::move(m_rows);
    m_rows.clear();
    m_index.clear();
    m_haveLast = false;
    return rows;
}

TypeSummary SummarizeFolder(DirectorySource& source, const std::string& folder, const ScanOptions& options,
                            TypeInfoSource& types, std::error_code* error,
                            const std::function<void(std::uint64_t)>& progress)
{
    TypeSummary summary;
    TypeGrouper grouper;
    ScanFolder(
        source, folder, NamePattern::AllFiles(), options,
        [&grouper](const DirectoryEntryView& e) { grouper.Add(e.Name, e.Size); }, error, progress);
    summary.Rows = grouper.TakeRows();
    std::int64_t files = 0;
    for (TypeRow& row : summary.Rows) {
        row.Description = types.GetTypeDescription(row.Extension);
        files += row.Count;
        summary.TotalSize += row.Size;
    }
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    summary.TotalFiles = static_cast<std::int32_t>(files > kMax ? kMax : files);
    summary.FolderAttributes = source.ReadAttributes(WithTrailingSlash(folder));
    return summary;
}

std::string TotalsLine(std::uint32_t folderAttributes, std::int32_t totalFiles, ByteCount totalSize,
                       const RegionalSettings& settings)
{
    std::string line = "Folder attributes:";
    line += AttributeLetters(folderAttributes);
    line += "       TOTALS:    Files:";
    line += std::to_string(totalFiles);
    line += "   Size:";
    line += SizeText(totalSize, false, settings);
    line += ' ';
    return line;
}

} // namespace pellamy
