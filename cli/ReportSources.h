// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_CLI_REPORTSOURCES_H
#define PELLAMY_CLI_REPORTSOURCES_H

#include "cli/ReportArguments.h"
#include "lists/TextCollator.h"
#include "reports/ReportData.h"
#include "scan/DirectorySource.h"
#include "scan/FileEntry.h"
#include "scan/RegionalSettings.h"
#include "scan/ScanFolder.h"
#include "scan/TypeSummary.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace pellamy {

class TypeInfoSource;

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

/// Orders the rows as a click on the header of `sort.Column` would, with the list table's own sort:
/// sizes, times and counts by the values their texts show, the other columns by the list's text
/// comparison. Rows that tie keep their order, in either direction.
void SortReportData(ReportData& data, const ReportSort& sort);

} // namespace pellamy

#endif
