// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportData.h"

#include "scan/FileRows.h"
#include "scan/TypeInfoSource.h"

namespace pellamy {

ReportData TypeListReportData(const ReportSources& sources, const std::string& folder, TypeSummary summary)
{
    ReportData data;
    data.CurrentFolder = WithTrailingSlash(folder);
    data.IsTypeList = true;
    data.Columns.assign(kTypeColumns.begin(), kTypeColumns.end());
    data.Summary = std::move(summary);
    const auto& rows = data.Summary.Rows;
    data.Order = CaptionOrder(
        rows.size(), [&rows](std::size_t i) { return std::string_view(rows[i].Extension); },
        sources.Collator);
    data.TotalsLine = TotalsLine(data.Summary.FolderAttributes, data.Summary.TotalFiles,
                                 data.Summary.TotalSize, sources.Settings);
    return data;
}

ReportData FileListReportData(const ReportSources& sources, const std::string& folder,
                              const NamePattern& pattern, ScanResults entries)
{
    ReportData data;
    data.CurrentFolder = WithTrailingSlash(folder);
    data.IsTypeList = false;
    data.Pattern = pattern;
    data.Columns.assign(kFileColumns.begin(), kFileColumns.end());
    data.Entries = std::move(entries);
    const auto& all = data.Entries;
    // The rows stay where the scan put them; only their order is kept, 4 bytes a row.
    data.Order = CaptionOrder(
        all.size(), [&all](std::size_t i) { return ExtensionOf(all[i].Name); }, sources.Collator);
    return data;
}

ReportData BuildReportData(const ReportSources& sources, const std::string& folder,
                           const std::optional<NamePattern>& pattern, const ScanOptions& options,
                           std::error_code& error, const std::function<void(std::uint64_t)>& progress)
{
    const std::string slashed = WithTrailingSlash(folder);
    if (!pattern) {
        return TypeListReportData(
            sources, slashed,
            SummarizeFolder(sources.Directory, slashed, options, sources.Types, &error, progress));
    }
    ScanResults entries;
    ScanFolder(sources.Directory, slashed, *pattern, options, entries, &error, progress);
    return FileListReportData(sources, slashed, *pattern, std::move(entries));
}

} // namespace pellamy
