// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_REPORTFORMATS_H
#define PELLAMY_REPORTS_REPORTFORMATS_H

#include "reports/ReportData.h"
#include "reports/ReportOutput.h"
#include "scan/RegionalSettings.h"

#include <string>
#include <string_view>

namespace pellamy {

/// How many terminal columns `text` takes: wide East Asian characters two, combining marks none,
/// every other character one. Bytes that are not valid UTF-8 count one each.
std::size_t DisplayWidth(std::string_view text);

/// `text` made safe to print on a terminal: control characters (a newline or an escape inside a
/// file name, say) become "?", and bytes that are not valid UTF-8 become U+FFFD.
std::string TerminalSafe(std::string_view text);

/// Writes the list as aligned columns: a header, one line per row ("Number" and "Size"
/// right-aligned), then the totals line (type list) or the file count (file list). The widths are
/// found in a first pass over the rows, so the texts are made twice and never kept.
void WriteTable(const ReportData& data, ReportOutput& out);

/// Writes the list as one JSON object, row by row; names that are not valid UTF-8 get U+FFFD for
/// their bad bytes.
void WriteJson(const ReportData& data, ReportOutput& out);

} // namespace pellamy

#endif
