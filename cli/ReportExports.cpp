// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportExports.h"

#include "cli/ReportRows.h"
#include "reports/CsvReports.h"
#include "reports/HtmlReport.h"
#include "reports/XmlReports.h"
#include "scan/CaseFold.h"
#include "scan/ColumnOrder.h"
#include "scan/DisplayTexts.h"

#include <algorithm>
#include <unordered_map>

namespace pellamy {
namespace {

// The rank of each row's text among the distinct texts under the list's text comparison (equal
// texts share a rank). Extensions and attribute letters take a few distinct values across a
// million rows, so each is compared a few times instead of once per comparison of rows.
template <typename TextOf>
std::vector<std::int64_t> TextRanks(std::size_t rowCount, TextOf textOf)
{
    std::unordered_map<std::string, std::uint32_t> ids;
    std::vector<std::string_view> distinct;
    std::vector<std::uint32_t> idOfRow(rowCount);
    for (std::size_t row = 0; row < rowCount; ++row) {
        const auto [it, added] = ids.try_emplace(textOf(row), static_cast<std::uint32_t>(distinct.size()));
        if (added) {
            distinct.push_back(it->first);
        }
        idOfRow[row] = it->second;
    }
    std::vector<std::uint32_t> sorted(distinct.size());
    for (std::uint32_t i = 0; i < sorted.size(); ++i) {
        sorted[i] = i;
    }
    std::stable_sort(sorted.begin(), sorted.end(), [&distinct](std::uint32_t a, std::uint32_t b) {
        return CompareTextNoCase(distinct[a], distinct[b]) < 0;
    });
    std::vector<std::int64_t> rankOfId(distinct.size());
    std::int64_t rank = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && CompareTextNoCase(distinct[sorted[i - 1]], distinct[sorted[i]]) != 0) {
            ++rank;
        }
        rankOfId[sorted[i]] = rank;
    }
    std::vector<std::int64_t> ranks(rowCount);
    for (std::size_t row = 0; row < rowCount; ++row) {
        ranks[row] = rankOfId[idOfRow[row]];
    }
    return ranks;
}

// The order (position -> position) of a header click on `column`: sizes, times and counts by the
// values behind their texts, the text columns by the list's text comparison, each row's key made
// once.
std::vector<std::uint32_t> ColumnOrder(const ReportData& data, std::size_t column, bool ascending)
{
    const std::size_t rows = data.RowCount();
    if (data.IsTypeList) {
        switch (column) {
        case 2: {
            std::vector<std::int64_t> counts(rows);
            for (std::size_t i = 0; i < rows; ++i) {
                counts[i] = data.TypeRowAt(i).Count;
            }
            return OrderByCounts(counts, ascending);
        }
        case 3: {
            std::vector<ByteCount> sizes(rows);
            for (std::size_t i = 0; i < rows; ++i) {
                sizes[i] = data.TypeRowAt(i).Size;
            }
            return OrderByShownSizes(sizes, ascending);
        }
        default: {
            std::vector<std::string_view> texts(rows);
            for (std::size_t i = 0; i < rows; ++i) {
                const TypeRow& row = data.TypeRowAt(i);
                texts[i] = column == 0 ? std::string_view(row.Extension) : std::string_view(row.Description);
            }
            return OrderByKeys(std::move(texts), ascending, [](std::string_view a, std::string_view b) {
                return CompareTextNoCase(a, b);
            });
        }
        }
    }
    switch (column) {
    case 0:
        return OrderByCounts(
            TextRanks(rows, [&](std::size_t i) { return std::string(ExtensionOf(data.EntryAt(i).Name)); }),
            ascending);
    case 2:
    case 3: {
        std::vector<FileTime> times(rows);
        for (std::size_t i = 0; i < rows; ++i) {
            const FileEntry& entry = data.EntryAt(i);
            times[i] = column == 2 ? entry.CreationTime : entry.LastWriteTime;
        }
        return OrderByShownTimes(times, ascending);
    }
    case 4:
        return OrderByCounts(
            TextRanks(rows, [&](std::size_t i) { return AttributeLetters(data.EntryAt(i).Attributes); }),
            ascending);
    case 5: {
        std::vector<ByteCount> sizes(rows);
        for (std::size_t i = 0; i < rows; ++i) {
            sizes[i] = ToByteCount(data.EntryAt(i).Size);
        }
        return OrderByShownSizes(sizes, ascending);
    }
    default: {
        std::vector<std::string_view> names(rows);
        for (std::size_t i = 0; i < rows; ++i) {
            names[i] = data.EntryAt(i).Name;
        }
        return OrderByKeys(std::move(names), ascending,
                           [](std::string_view a, std::string_view b) { return CompareTextNoCase(a, b); });
    }
    }
}

} // namespace

void SortReportData(ReportData& data, const ReportSort& sort)
{
    const std::vector<std::uint32_t> order = ColumnOrder(data, sort.Column, !sort.Descending);
    if (order.size() != data.Order.size()) {
        return;
    }
    std::vector<std::uint32_t> sorted(order.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        sorted[i] = data.Order[order[i]];
    }
    data.Order = std::move(sorted);
}

void WriteCsv(const ReportData& data, const RegionalSettings& settings, ReportOutput& out)
{
    const ReportRows rows(data, settings);
    // An empty list still gives its header line: a report of an empty folder is a CSV like any
    // other, not an empty file.
    if (data.IsTypeList) {
        WriteFolderCsv(rows, out);
    } else {
        WriteFilesCsv(rows, data.CurrentFolder, out);
    }
}

void WriteXml(const ReportData& data, std::string_view navigatorFolder, const RegionalSettings& settings,
              ReportOutput& out)
{
    const ReportRows rows(data, settings);
    XmlWriter writer;
    writer.Stream(out, XmlWriter::Form::Saved, [&](XmlWriter& w) {
        if (data.IsTypeList) {
            ExportFolderXml(w, rows, navigatorFolder, data.Summary.TotalFiles, data.Summary.TotalSize,
                            settings);
        } else {
            ExportFilesXml(w, rows, data.CurrentFolder);
        }
    });
}

void WriteHtml(const ReportData& data, std::string_view navigatorFolder, const RegionalSettings& settings,
               ReportOutput& out)
{
    const ReportRows rows(data, settings);
    const ExportedRows exported = data.IsTypeList ? ExportedRows::All : ExportedRows::Selected;
    const std::string_view title = data.IsTypeList ? "Folder content" : "Files by type";
    WriteHtml(rows, data.Columns, exported, navigatorFolder, title, out);
}

} // namespace pellamy
