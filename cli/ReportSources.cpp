// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportSources.h"

#include "lists/ColumnCaptions.h"
#include "lists/DisplayTexts.h"
#include "lists/FileRows.h"

namespace pellamy {

ReportData TypeListReportData(const ReportSources& sources, const std::string& folder, TypeSummary summary)
{
    ReportData data;
    data.CurrentFolder = WithTrailingSlash(folder);
    data.IsTypeList = true;
    data.Columns.assign(kTypeColumns.begin(), kTypeColumns.end());
    data.Types.Fill(std::move(summary.Rows), sources.Settings, sources.Collator);
    data.Types.SelectAll();
    summary.Rows = {};
    data.Summary = std::move(summary);
    data.TotalsLine = TotalsLine(data.Summary.FolderAttributes, data.Summary.TotalFiles,
                                 data.Summary.TotalSize, sources.Settings);
    return data;
}

ReportData FileListReportData(const ReportSources& sources, const std::string& folder,
                              const NamePattern& pattern, FileTable::Rows rows)
{
    ReportData data;
    data.CurrentFolder = WithTrailingSlash(folder);
    data.IsTypeList = false;
    data.Pattern = pattern;
    data.Columns.assign(kFileColumns.begin(), kFileColumns.end());
    data.Files.Fill(std::move(rows), sources.Settings, sources.Collator);
    data.Files.SelectAll();
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
    // Rows go straight into the table's compact form as the scan hands them over.
    FileTable::Rows rows;
    ScanFolder(
        sources.Directory, slashed, *pattern, options, [&rows](const DirectoryEntryView& entry) { rows.Add(entry); },
        &error, progress);
    return FileListReportData(sources, slashed, *pattern, std::move(rows));
}

void SortReportData(ReportData& data, const ReportSort& sort)
{
    if (data.IsTypeList) {
        data.Types.Sort(sort.Column, !sort.Descending);
    } else {
        data.Files.Sort(sort.Column, !sort.Descending);
    }
}

} // namespace pellamy
