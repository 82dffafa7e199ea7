// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_CLI_TREEREPORT_H
#define PELLAMY_CLI_TREEREPORT_H

#include "cli/ReportSources.h"
#include "scan/TreeSource.h"
#include "scan/TreeWalk.h"

#include <functional>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace pellamy {

/// How a report of a whole tree is walked.
struct TreeReportOptions
{
    ScanOptions Scan;
    bool OneFileSystem = false;
    /// 0: one thread per core.
    unsigned Threads = 0;
};

/// A report of a folder and everything below it.
struct TreeReport
{
    /// The rows, built as for one folder: the type list over the whole tree (with the folder's own
    /// attributes in its totals line) or the file list whose names are paths relative to the folder.
    ReportData Data;
    /// Set when the folder itself cannot be read; the report is empty then.
    std::error_code RootError;
    /// The folders below that could not be read, in tree order.
    std::vector<UnreadFolder> Unread;
};

/// Walks `folder` with `tree` and builds the type list (no pattern) or the file list of `pattern`
/// over the whole tree. `progress` is called now and then with the folders and files read so far.
TreeReport BuildTreeReport(const ReportSources& sources, TreeSource& tree, const std::string& folder,
                           const std::optional<NamePattern>& pattern, const TreeReportOptions& options,
                           const std::function<void(const TreeProgress&)>& progress = {});

/// What standard error says of the folders that could not be read: their number, then the first
/// `shown` of them, each with the system's reason, then how many more there were. Each line
/// begins with "pellamy-report: "; empty when every folder was read.
std::string UnreadFoldersMessage(const std::string& folder, const std::vector<UnreadFolder>& unread,
                                 std::size_t shown = 5);

} // namespace pellamy

#endif
