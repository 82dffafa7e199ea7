// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TreeReport.h"

#include "scan/TypeInfoSource.h"


namespace pellamy {

TreeReport BuildTreeReport(const ReportSources& sources, TreeSource& tree, const std::string& folder,
                           const std::optional<NamePattern>& pattern, const TreeReportOptions& options,
                           const std::function<void(const TreeProgress&)>& progress)
{
    const std::string slashed = WithTrailingSlash(folder);
    TreeWalkOptions walk;
    walk.Scan = options.Scan;
    walk.OneFileSystem = options.OneFileSystem;
    walk.Threads = options.Threads;
    walk.ListFiles = pattern.has_value();
    if (pattern) {
        walk.Pattern = *pattern;
    }
    TreeWalkResult found = WalkTree(tree, slashed, walk, progress);

    TreeReport report;
    report.RootError = found.RootError;
    report.Unread = std::move(found.Unread);
    if (pattern) {
        FileTable::Rows rows;
        rows.Reserve(found.Files.Count(), found.Files.TextBytes());
        found.Files.Take(
            [&rows](std::string_view below, const DirectoryEntryView& file) { rows.Add(below, file); });
        report.Data = FileListReportData(sources, slashed, *pattern, std::move(rows));
    } else {
        TypeSummary summary =
            SummaryOfRows(std::move(found.Rows), sources.Types, sources.Directory.ReadAttributes(slashed));
        report.Data = TypeListReportData(sources, slashed, std::move(summary));
    }
    report.Data.Recursive = true;
    return report;
}

std::string UnreadFoldersMessage(const std::string& folder, const std::vector<UnreadFolder>& unread,
                                 std::size_t shown)
{
    if (unread.empty()) {
        return {};
    }
    const std::string slashed = WithTrailingSlash(folder);
    std::string out = "pellamy-report: " + std::to_string(unread.size()) +
                      (unread.size() == 1 ? " folder" : " folders") + " could not be read and " +
                      (unread.size() == 1 ? "is" : "are") + " left out:\n";
    for (std::size_t i = 0; i < unread.size() && i < shown; ++i) {
        out +=
            "pellamy-report: " + slashed + unread[i].RelativePath + ": " + unread[i].Error.message() + "\n";
    }
    if (unread.size() > shown) {
        out += "pellamy-report: ... and " + std::to_string(unread.size() - shown) + " more\n";
    }
    return out;
}

} // namespace pellamy
