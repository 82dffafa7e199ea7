// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_REPORTEXPORTS_H
#define PELLAMY_REPORTS_REPORTEXPORTS_H

#include "reports/ReportData.h"
#include "reports/ReportOutput.h"

#include <string>
#include <string_view>

namespace pellamy {

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
