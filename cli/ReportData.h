// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_CLI_REPORTDATA_H
#define PELLAMY_CLI_REPORTDATA_H

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

/// One list as pellamy-report shows it: the compact rows as the scan gave them and the order in
/// which the report shows them. Texts are made from the rows when they are written.
struct ReportData
{
    bool IsTypeList = true;
    std::string CurrentFolder; // with its trailing "/"
    bool Recursive = false;    // the whole tree below the folder; file names are relative paths
    NamePattern Pattern;       // file lists only
    std::vector<std::string_view> Columns;
    // Type list: the summary.
    TypeSummary Summary;
    std::string TotalsLine;
    // File list: the entries, in directory order.
    ScanResults Entries;
    /// Position -> row: the index in `Summary.Rows` or `Entries` of each shown row.
    std::vector<std::uint32_t> Order;

    std::size_t RowCount() const { return Order.size(); }
    const TypeRow& TypeRowAt(std::size_t position) const { return Summary.Rows[Order[position]]; }
    const FileEntry& EntryAt(std::size_t position) const { return Entries[Order[position]]; }
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

/// The file list of `entries`, which `pattern` gave in `folder`, with rows in caption order (rows
/// of one caption keep the order of `entries`).
ReportData FileListReportData(const ReportSources& sources, const std::string& folder,
                              const NamePattern& pattern, ScanResults entries);

} // namespace pellamy

#endif
