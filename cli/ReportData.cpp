// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportData.h"

#include "scan/FileRows.h"
#include "shell/TypeInfoSource.h"

namespace pellamy {
namespace {

template <typename T>
std::vector<T> Reordered(std::vector<T>& items, const std::vector<std::uint32_t>& order)
{
    std::vector<T> out;
    out.reserve(items.size());
    for (const std::uint32_t i : order) {
        out.push_back(std::move(items[i]));
    }
    return out;
}

} // namespace

ReportData BuildReportData(const ReportSources& sources, const std::string& folder,
                           const std::optional<NamePattern>& pattern, const ScanOptions& options,
                           std::error_code& error, const std::function<void(std::uint64_t)>& progress)
{
    ReportData data;
    data.CurrentFolder = WithTrailingSlash(folder);
    if (!pattern) {
        data.IsTypeList = true;
        data.Columns.assign(kTypeColumns.begin(), kTypeColumns.end());
        data.Summary =
            SummarizeFolder(sources.Directory, data.CurrentFolder, options, sources.Types, &error, progress);
        const auto& rows = data.Summary.Rows;
        const auto order = CaptionOrder(
            rows.size(), [&rows](std::size_t i) { return std::string_view(rows[i].Extension); },
            sources.Collator);
        data.Summary.Rows = Reordered(data.Summary.Rows, order);
        for (const TypeRow& row : data.Summary.Rows) {
            const auto texts = TypeRowTexts(row, sources.Settings);
            data.Cells.emplace_back(texts.begin(), texts.end());
        }
        data.TotalsLine = TotalsLine(data.Summary.FolderAttributes, data.Summary.TotalFiles,
                                     data.Summary.TotalSize, sources.Settings);
        return data;
    }
    data.IsTypeList = false;
    data.Pattern = *pattern;
    data.Columns.assign(kFileColumns.begin(), kFileColumns.end());
    ScanFolder(sources.Directory, data.CurrentFolder, data.Pattern, options, data.Entries, &error, progress);
    const auto& entries = data.Entries;
    const auto order = CaptionOrder(
        entries.size(), [&entries](std::size_t i) { return ExtensionOf(entries[i].Name); }, sources.Collator);
    data.Entries = Reordered(data.Entries, order);
    data.Cells.reserve(data.Entries.size());
    for (const FileEntry& entry : data.Entries) {
        const auto texts = FileRowTexts(MakeFileRow(entry), sources.Settings);
        data.Cells.emplace_back(texts.begin(), texts.end());
    }
    return data;
}

} // namespace pellamy
