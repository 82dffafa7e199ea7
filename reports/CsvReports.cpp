// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/CsvReports.h"

#include "reports/CommaText.h"
#include "scan/FileRows.h"
#include "scan/TypeSummary.h"

#include <array>
#include <string>

namespace pellamy {

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
    text.AddLine(CommaText(std::span(kFileColumns).subspan(1)));
    std::array<std::string, kFileColumns.size() - 1> items;
    for (std::size_t row = 0; row < fileRows.RowCount(); ++row) {
        if (!fileRows.IsSelected(row)) {
            continue;
        }
        for (std::size_t i = 0; i < items.size(); ++i) {
            items[i] = fileRows.CellText(row, i + 1);
        }
        items[0].insert(0, currentFolder);
        text.AddLine(CommaText(items));
    }
    return text;
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
    text.AddLine(CommaText(kTypeColumns));
    std::array<std::string, kTypeColumns.size()> items;
    for (std::size_t row = 0; row < typeRows.RowCount(); ++row) {
        for (std::size_t i = 0; i < items.size(); ++i) {
            items[i] = typeRows.CellText(row, i);
        }
        text.AddLine(CommaText(items));
    }
    return text;
}

} // namespace pellamy
