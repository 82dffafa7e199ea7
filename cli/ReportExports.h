// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_CLI_REPORTEXPORTS_H
#define PELLAMY_CLI_REPORTEXPORTS_H

#include "cli/ReportArguments.h"
#include "cli/ReportData.h"
#include "scan/RegionalSettings.h"

#include <string>
#include <string_view>

namespace pellamy {

/// Orders the rows (their texts and the values behind them) as a click on the header of
/// `sort.Column` would: sizes, times and counts by the values their texts show (computed once per
/// row from the values behind them), the other columns by the list's text comparison; rows that
/// tie keep their order, in either direction. `settings` must be those that made the texts.
void SortReportData(ReportData& data, const ReportSort& sort, const RegionalSettings& settings);

/// The CSV that "Copy folder details as CSV" gives for the type list, or that "Copy selected
/// file details as CSV" gives for a file list with every row selected. A list without rows gives
/// the header line alone.
std::string FormatCsv(const ReportData& data);

/// The "FolderList" or "FilesList" document, every file row included, with values escaped as a
/// saved file holds them. `navigatorFolder` is the folder as the navigator shows it.
std::string FormatXml(const ReportData& data, std::string_view navigatorFolder,
                      const RegionalSettings& settings);

/// The HTML page that "Copy folder details as HTML" (title "Folder content") or "Copy selected
/// file details as HTML" (title "Files by type", every row selected) gives.
std::string FormatHtml(const ReportData& data, std::string_view navigatorFolder);

} // namespace pellamy

#endif
