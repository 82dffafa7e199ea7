// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_CSVREPORTS_H
#define PELLAMY_REPORTS_CSVREPORTS_H

#include "lists/ListRows.h"
#include "reports/ReportOutput.h"
#include "reports/ReportText.h"

#include <optional>
#include <string_view>

namespace pellamy {

/// The CSV of the selected rows of the file list (columns Type, Name, Created, Modified,
/// Attribs, Size), in display order: the header line "Name,Created,Modified,Attribs,Size", then
/// per selected row the comma text of its five sub-items with the name replaced by
/// `currentFolder` (which ends in "/") followed by the name. The Type column is not exported.
/// Nothing at all when the list has no rows; only the header when none is selected.
std::optional<ReportText> ExportFilesCsv(const ListRows& fileRows, std::string_view currentFolder);

/// The same CSV as `ExportFilesCsv`, but a list without rows gives the header line alone: the
/// report's empty form, as pellamy-report writes it for a folder with no matching files.
ReportText FilesCsv(const ListRows& fileRows, std::string_view currentFolder);

/// Writes the CSV of `FilesCsv` to `out` row by row.
void WriteFilesCsv(const ListRows& fileRows, std::string_view currentFolder, ReportOutput& out);

/// The CSV of every row of the type list (columns Type, Description, Number, Size), selected or
/// not, in display order: the header line "Type,Description,Number,Size", then the comma text of
/// each row's four cells. The extension is quoted like every other field, so a row never has
/// more fields than the header. Nothing at all when the list has no rows.
std::optional<ReportText> ExportFolderCsv(const ListRows& typeRows);

/// The same CSV as `ExportFolderCsv`, but a list without rows gives the header line alone.
ReportText FolderCsv(const ListRows& typeRows);

/// Writes the CSV of `FolderCsv` to `out` row by row.
void WriteFolderCsv(const ListRows& typeRows, ReportOutput& out);

} // namespace pellamy

#endif
