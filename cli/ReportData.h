// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_CLI_REPORTDATA_H
#define PELLAMY_CLI_REPORTDATA_H

#include "lists/FileTable.h"
#include "lists/TypeTable.h"
#include "scan/DirectorySource.h"
#include "scan/FileEntry.h"
#include "scan/RegionalSettings.h"
#include "scan/ScanFolder.h"
#include "scan/TextCollator.h"
#include "scan/TypeSummary.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace pellamy {

class TypeInfoSource;

/// One list as pellamy-report shows it: the list table the window shows it with, every row
/// selected (the copy commands report the selected file rows of a list whose rows are all
/// selected), and what goes with it. Texts are made from the rows when they are written.
struct ReportData
{
    bool IsTypeList = true;
    std::string CurrentFolder; // with its trailing "/"
    bool Recursive = false;    // the whole tree below the folder; file names are relative paths
    NamePattern Pattern;       // file lists only
    std::vector<std::string_view> Columns;
    // Type list: the summary's totals (its rows are in `Types`).
    TypeSummary Summary;
    std::string TotalsLine;
    TypeTable Types;
    // File list.
    FileTable Files;

    /// The rows shown, in display order.
    const ListRows& Rows() const
    {
        if (IsTypeList) {
            return Types;
        }
        return Files;
    }
    std::size_t RowCount() const { return Rows().RowCount(); }
};

/// Where a report reads from.
struct ReportSources
{
    DirectorySource& Directory;
    TypeInfoSource& Types;
    const TextCollator& Collator;
    RegionalSettings Settings;
};

/// Scans `folder` and builds the type list (no pattern) or the file list of `pattern`, with rows in
/// caption order. Returns the scan's error in `error` when the folder cannot be read.
ReportData BuildReportData(const ReportSources& sources, const std::string& folder,
                           const std::optional<NamePattern>& pattern, const ScanOptions& options,
                           std::error_code& error, const std::function<void(std::uint64_t)>& progress = {});

/// The type list of `summary` (its rows and totals) for `folder`, with rows in caption order.
ReportData TypeListReportData(const ReportSources& sources, const std::string& folder, TypeSummary summary);

/// The file list of `rows`, which `pattern` gave in `folder`, with rows in caption order (rows of
/// one caption keep the order they were added in).
ReportData FileListReportData(const ReportSources& sources, const std::string& folder,
                              const NamePattern& pattern, FileTable::Rows rows);

} // namespace pellamy

#endif
