// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportExports.h"

#include "reports/CsvReports.h"
#include "reports/HtmlReport.h"
#include "reports/XmlReports.h"
#include "scan/ColumnCompare.h"
#include "scan/ColumnOrder.h"

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
void Reorder(std::vector<T>& items, const std::vector<std::uint32_t>& order)
{
    if (items.size() != order.size()) {
        return;
    }
    std::vector<T> sorted;
    sorted.reserve(items.size());
    for (const std::uint32_t i : order) {
        sorted.push_back(std::move(items[i]));
    }
    items = std::move(sorted);
}

// The order of a header click on `column`: sizes, times and counts by the values behind their
// texts, each row's key computed once; the text columns by the list's text comparison.
std::vector<std::uint32_t> ColumnOrder(const ReportData& data, int column, bool ascending,
                                       const RegionalSettings& settings)
{
    if (data.IsTypeList && (column == 2 || column == 3)) {
        const auto& rows = data.Summary.Rows;
        if (column == 2) {
            std::vector<std::int64_t> counts;
            counts.reserve(rows.size());
            for (const TypeRow& row : rows) {
                counts.push_back(row.Count);
            }
            return OrderByCounts(counts, ascending);
        }
        std::vector<ByteCount> sizes;
        sizes.reserve(rows.size());
        for (const TypeRow& row : rows) {
            sizes.push_back(row.Size);
        }
        return OrderByShownSizes(sizes, ascending);
    }
    if (!data.IsTypeList && (column == 2 || column == 3)) {
        std::vector<FileTime> times;
        times.reserve(data.Entries.size());
        for (const FileEntry& entry : data.Entries) {
            times.push_back(column == 2 ? entry.CreationTime : entry.LastWriteTime);
        }
        return OrderByShownTimes(times, ascending);
    }
    if (!data.IsTypeList && column == 5) {
        std::vector<ByteCount> sizes;
        sizes.reserve(data.Entries.size());
        for (const FileEntry& entry : data.Entries) {
            sizes.push_back(ToByteCount(entry.Size));
        }
        return OrderByShownSizes(sizes, ascending);
    }
    const auto compare = data.IsTypeList ? CompareTypeCells : CompareFileCells;
    std::vector<std::string_view> cells;
    cells.reserve(data.Cells.size());
    for (const auto& row : data.Cells) {
        const auto at = static_cast<std::size_t>(column);
        cells.push_back(at < row.size() ? std::string_view(row[at]) : std::string_view());
    }
    return OrderByKeys(std::move(cells), ascending, [&](std::string_view a, std::string_view b) {
        return compare(column, a, b, settings);
    });
}

} // namespace

void SortReportData(ReportData& data, const ReportSort& sort, const RegionalSettings& settings)
{
    const std::vector<std::uint32_t> order =
        ColumnOrder(data, static_cast<int>(sort.Column), !sort.Descending, settings);
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
