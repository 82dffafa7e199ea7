// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportData.h"

#include "scan/FileRows.h"
#include "shell/TypeInfoSource.h"

namespace pellamy {
namespace {

template <typename T>
std::vector<T> Reordered(std::vector<T>& items, const std::vector<std::size_t>& order)
{
    std::vector<T> out;
    out.reserve(items.size());
    for (const std::size_t i : order) {
        out.push_back(std::move(items[i]));
    }
    return out;
}

} // namespace

ReportData BuildReportData(const ReportSources& sources, const std::string& folder,
                           const std::optional<std::string>& pattern, const ScanOptions& options,
                           std::error_code& error, const std::function<void(std::uint64_t)>& progress)
{
    ReportData data;
    data.CurrentFolder = WithTrailingSlash(folder);
    if (!pattern) {
        data.IsTypeList = true;
        data.Columns.assign(kTypeColumns.begin(), kTypeColumns.end());
        data.Summary =
            SummarizeFolder(sources.Directory, data.CurrentFolder, options, sources.Types, &error, progress);
        std::vector<std::string_view> captions;
        captions.reserve(data.Summary.Rows.size());
        for (const TypeRow& row : data.Summary.Rows) {
            captions.push_back(row.Extension);
        }
        const auto order = sources.Collator.SortedOrder(captions);
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
    std::vector<std::string_view> captions;
    captions.reserve(data.Entries.size());
    for (const FileEntry& entry : data.Entries) {
        captions.push_back(ExtensionOf(entry.Name));
    }
    const auto order = sources.Collator.SortedOrder(captions);
    data.Entries = Reordered(data.Entries, order);
    data.Cells.reserve(data.Entries.size());
    for (const FileEntry& entry : data.Entries) {
        const auto texts = FileRowTexts(MakeFileRow(entry), sources.Settings);
        data.Cells.emplace_back(texts.begin(), texts.end());
    }
    return data;
}

} // namespace pellamy
