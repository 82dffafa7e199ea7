// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportExports.h"

#include "reports/CsvReports.h"
#include "reports/HtmlReport.h"
#include "reports/XmlReports.h"
#include "scan/ColumnCompare.h"

#include <algorithm>
#include <numeric>

namespace pellamy {
namespace {

// The rows as the window would hold them after its fill: every file row selected, since the
// copy commands report the selected file rows.
TextRows DisplayedRows(const ReportData& data)
{
    TextRows rows(data.Cells, data.Columns.size());
    rows.SelectAll();
    return rows;
}

template <typename T>
void Reorder(std::vector<T>& items, const std::vector<std::size_t>& order)
{
    if (items.size() != order.size()) {
        return;
    }
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (const std::size_t i : order) {
        sorted.push_back(std::move(items[i]));
    }
    items = std::move(sorted);
}

} // namespace

void SortReportData(ReportData& data, const ReportSort& sort, const RegionalSettings& settings)
{
    const int column = static_cast<int>(sort.Column);
    const auto compare = data.IsTypeList ? CompareTypeCells : CompareFileCells;
    auto cell = [&](std::size_t row) -> std::string_view {
        const auto& cells = data.Cells[row];
        return sort.Column < cells.size() ? std::string_view(cells[sort.Column]) : std::string_view();
    };
    std::vector<std::size_t> order(data.Cells.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int result = compare(column, cell(a), cell(b), settings);
        return sort.Descending ? result > 0 : result < 0;
    });
    Reorder(data.Cells, order);
    if (data.IsTypeList) {
        Reorder(data.Summary.Rows, order);
    } else {
        Reorder(data.Entries, order);
    }
}

std::string FormatCsv(const ReportData& data)
{
    const TextRows rows = DisplayedRows(data);
    // An empty list still gives its header line: a report of an empty folder is a CSV like any
    // other, not an empty file.
    return (data.IsTypeList ? FolderCsv(rows) : FilesCsv(rows, data.CurrentFolder)).Bytes();
}

std::string FormatXml(const ReportData& data, std::string_view navigatorFolder,
                      const RegionalSettings& settings)
{
    const TextRows rows = DisplayedRows(data);
    XmlWriter writer;
    if (data.IsTypeList) {
        ExportFolderXml(writer, rows, navigatorFolder, data.Summary.TotalFiles, data.Summary.TotalSize,
                        settings);
    } else {
        ExportFilesXml(writer, rows, data.CurrentFolder);
    }
    return writer.SavedText();
}

std::string FormatHtml(const ReportData& data, std::string_view navigatorFolder)
{
    const TextRows rows = DisplayedRows(data);
    const ExportedRows exported = data.IsTypeList ? ExportedRows::All : ExportedRows::Selected;
    const std::string_view title = data.IsTypeList ? "Folder content" : "Files by type";
    return ExportHtml(rows, data.Columns, exported, navigatorFolder, title).Bytes();
}

} // namespace pellamy
