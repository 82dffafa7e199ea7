// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportData.h"

#include "scan/FileRows.h"
#include "shell/TypeInfoSource.h"

namespace pellamy {

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
        data.Order = CaptionOrder(
            rows.size(), [&rows](std::size_t i) { return std::string_view(rows[i].Extension); },
            sources.Collator);
        data.TotalsLine = TotalsLine(data.Summary.FolderAttributes, data.Summary.TotalFiles,
                                     data.Summary.TotalSize, sources.Settings);
        return data;
    }
    data.IsTypeList = false;
    data.Pattern = *pattern;
    data.Columns.assign(kFileColumns.begin(), kFileColumns.end());
    ScanFolder(sources.Directory, data.CurrentFolder, data.Pattern, options, data.Entries, &error, progress);
    const auto& entries = data.Entries;
    // The rows stay where the scan put them; only their order is kept, 4 bytes a row.
    data.Order = CaptionOrder(
        entries.size(), [&entries](std::size_t i) { return ExtensionOf(entries[i].Name); }, sources.Collator);
    return data;
}

} // namespace pellamy
