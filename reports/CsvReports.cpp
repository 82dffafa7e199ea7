// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/CsvReports.h"

#include "lists/ColumnCaptions.h"
#include "lists/FileRows.h"
#include "reports/CommaText.h"
#include "scan/TypeSummary.h"

#include <span>
#include <string>

namespace pellamy {
namespace {

std::size_t SelectedCount(const ListRows& rows)
{
    std::size_t count = 0;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        count += rows.IsSelected(row) ? 1 : 0;
    }
    return count;
}

} // namespace

std::optional<ReportText> ExportFilesCsv(const ListRows& fileRows, std::string_view currentFolder)
{
    if (fileRows.RowCount() == 0) {
        return std::nullopt;
    }
    return FilesCsv(fileRows, currentFolder);
}

ReportText FilesCsv(const ListRows& fileRows, std::string_view currentFolder)
{
    ReportText text;
    WriteFilesCsv(fileRows, currentFolder, text);
    return text;
}

void WriteFilesCsv(const ListRows& fileRows, std::string_view currentFolder, ReportOutput& out)
{
    out.AddLine(CommaText(std::span(kFileColumns).subspan(1)));
    const std::size_t selected = SelectedCount(fileRows);
    std::size_t written = 0;
    std::string cell;
    for (std::size_t row = 0; row < fileRows.RowCount() && !out.Failed(); ++row) {
        if (!fileRows.IsSelected(row)) {
            continue;
        }
        std::string& line = out.StartLine();
        for (std::size_t column = 1; column < kFileColumns.size(); ++column) {
            cell.clear();
            if (column == 1) {
                cell += currentFolder;
            } else {
                line += ',';
            }
            fileRows.AppendCellText(row, column, cell);
            AppendCommaItem(line, cell);
        }
        out.EndLine();
        if (++written == kReportSampleRows) {
            out.RowsWritten(written, selected);
        }
    }
}

std::optional<ReportText> ExportFolderCsv(const ListRows& typeRows)
{
    if (typeRows.RowCount() == 0) {
        return std::nullopt;
    }
    return FolderCsv(typeRows);
}

ReportText FolderCsv(const ListRows& typeRows)
{
    ReportText text;
    WriteFolderCsv(typeRows, text);
    return text;
}

void WriteFolderCsv(const ListRows& typeRows, ReportOutput& out)
{
    out.AddLine(CommaText(kTypeColumns));
    std::string cell;
    for (std::size_t row = 0; row < typeRows.RowCount() && !out.Failed(); ++row) {
        std::string& line = out.StartLine();
        for (std::size_t column = 0; column < kTypeColumns.size(); ++column) {
            if (column > 0) {
                line += ',';
            }
            cell.clear();
            typeRows.AppendCellText(row, column, cell);
            AppendCommaItem(line, cell);
        }
        out.EndLine();
        if (row + 1 == kReportSampleRows) {
            out.RowsWritten(row + 1, typeRows.RowCount());
        }
    }
}

} // namespace pellamy
