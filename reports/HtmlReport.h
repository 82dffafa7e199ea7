// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_HTMLREPORT_H
#define PELLAMY_REPORTS_HTMLREPORT_H

#include "lists/ListRows.h"
#include "reports/ReportOutput.h"
#include "reports/ReportText.h"

#include <span>
#include <string>
#include <string_view>

namespace pellamy {

/// Which rows of a list a page holds: the file list exports its selected rows, the type list
/// every row.
enum class ExportedRows { Selected, All };

/// The list as a plain HTML page holding one table: "<html>", "<head>", `<meta charset="utf-8">`
/// (the page's bytes are UTF-8, and a browser left to guess would show names in a legacy
/// encoding), the title line
/// "<title>" + `title` + ": " + `folder` + "</title>", "</head>", "<table>", a header row with one
/// "<th><b><center>" cell per caption, then per exported row, in display order, a "<tr>" block
/// with the caption cell and one cell per sub-item ("<td>-</td>" for an empty sub-item), and last
/// "</table>" and "</html>". Each element stands on its own line. Every inserted text has "&",
/// "<", ">" and the double quote escaped, so a file name is always shown as text.
ReportText ExportHtml(const ListRows& view, std::span<const std::string_view> captions, ExportedRows rows,
                      std::string_view folder, std::string_view title);

/// Writes the page of `ExportHtml` to `out` row by row.
void WriteHtml(const ListRows& view, std::span<const std::string_view> captions, ExportedRows rows,
               std::string_view folder, std::string_view title, ReportOutput& out);

/// `text` with "&", "<", ">" and the double quote written as character references.
std::string HtmlEscaped(std::string_view text);

/// Appends `text` to `out` escaped as by `HtmlEscaped`.
void AppendHtmlEscaped(std::string& out, std::string_view text);

} // namespace pellamy

#endif
