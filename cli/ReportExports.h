// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_CLI_REPORTEXPORTS_H
#define PELLAMY_CLI_REPORTEXPORTS_H

#include "cli/ReportArguments.h"
#include "cli/ReportData.h"
#include "reports/ReportOutput.h"

#include <string>
#include <string_view>

namespace pellamy {

/// Orders the rows as a click on the header of `sort.Column` would, with the list table's own sort:
/// sizes, times and counts by the values their texts show, the other columns by the list's text
/// comparison. Rows that tie keep their order, in either direction.
void SortReportData(ReportData& data, const ReportSort& sort);

/// Writes the CSV that "Copy folder details as CSV" gives for the type list, or that "Copy
/// selected file details as CSV" gives for a file list with every row selected. A list without
/// rows gives the header line alone.
void WriteCsv(const ReportData& data, ReportOutput& out);

/// Writes the "FolderList" or "FilesList" document, every file row included, with values escaped
/// as a saved file holds them. `navigatorFolder` is the folder as the navigator shows it.
void WriteXml(const ReportData& data, std::string_view navigatorFolder, ReportOutput& out);

/// Writes the HTML page that "Copy folder details as HTML" (title "Folder content") or "Copy
/// selected file details as HTML" (title "Files by type", every row selected) gives.
void WriteHtml(const ReportData& data, std::string_view navigatorFolder, ReportOutput& out);

} // namespace pellamy

#endif
