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
#include <limits>
#include <unordered_map>

namespace pellamy {
namespace {

// The order (position -> position) of the rows by their keys, `compare` answering for ascending
// order (negative, zero or positive). Rows whose keys are equal keep their order in either
// direction, since the position breaks every tie; so an in-place sort serves, with no buffer.
template <typename Key, typename Compare>
std::vector<std::uint32_t> OrderOf(std::vector<std::pair<Key, std::uint32_t>> items, bool ascending,
                                   Compare compare)
{
    std::sort(items.begin(), items.end(), [&](const auto& a, const auto& b) {
        const int c = compare(a.first, b.first);
        if (c != 0) {
            return ascending ? c < 0 : c > 0;
        }
        return a.second < b.second;
    });
    std::vector<std::uint32_t> order(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        order[i] = items[i].second;
    }
    return order;
}

template <typename Number>
int CompareNumbers(Number a, Number b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

// One key per row: `keyOf(position)`.
template <typename KeyOf>
auto Keyed(std::size_t rows, KeyOf keyOf)
{
    using Key = decltype(keyOf(std::size_t{0}));
    std::vector<std::pair<Key, std::uint32_t>> items(rows);
    for (std::size_t i = 0; i < rows; ++i) {
        items[i] = {keyOf(i), static_cast<std::uint32_t>(i)};
    }
    return items;
}

// The rank of each row's text among the distinct texts under the list's text comparison (equal
// texts share a rank), paired with the row. Extensions and attribute letters take a few distinct
// values across a million rows, so each is compared a few times instead of once per comparison
// of rows.
template <typename TextOf>
std::vector<std::pair<std::uint32_t, std::uint32_t>> TextRanks(std::size_t rows, TextOf textOf)
{
    std::unordered_map<std::string, std::uint32_t> ids;
    std::vector<std::string_view> distinct;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> items(rows);
    for (std::size_t row = 0; row < rows; ++row) {
        const auto [it, added] = ids.try_emplace(textOf(row), static_cast<std::uint32_t>(distinct.size()));
        if (added) {
            distinct.push_back(it->first);
        }
        items[row] = {it->second, static_cast<std::uint32_t>(row)};
    }
    std::vector<std::uint32_t> sorted(distinct.size());
    for (std::uint32_t i = 0; i < sorted.size(); ++i) {
        sorted[i] = i;
    }
    std::stable_sort(sorted.begin(), sorted.end(), [&distinct](std::uint32_t a, std::uint32_t b) {
        return CompareTextNoCase(distinct[a], distinct[b]) < 0;
    });
    std::vector<std::uint32_t> rankOfId(distinct.size());
    std::uint32_t rank = 0;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i > 0 && CompareTextNoCase(distinct[sorted[i - 1]], distinct[sorted[i]]) != 0) {
            ++rank;
        }
        rankOfId[sorted[i]] = rank;
    }
    for (auto& item : items) {
        item.first = rankOfId[item.first];
    }
    return items;
}

// What a size text shows, as one number that orders as the texts' values do: the unit above the
// hundredths. A file's size (below 2^63 bytes) shows at most about 2^40 hundredths of a gigabyte.
std::uint64_t ShownSizeKey(std::int64_t size)
{
    const ShownSize shown = ShowSize(ToByteCount(size), false);
    return (static_cast<std::uint64_t>(shown.Unit) << 56) | static_cast<std::uint64_t>(shown.Hundredths);
}

// The second a time's text shows; a time without a text orders before every other.
std::int64_t ShownSecondKey(FileTime time)
{
    return ShownSecond(time).value_or(std::numeric_limits<std::int64_t>::min());
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
        default:
            return OrderOf(Keyed(rows,
                                 [&](std::size_t i) {
                                     const TypeRow& row = data.TypeRowAt(i);
                                     return column == 0 ? std::string_view(row.Extension)
                                                        : std::string_view(row.Description);
                                 }),
                           ascending, CompareTextNoCase);
        }
    }
    switch (column) {
    case 0:
        return OrderOf(
            TextRanks(rows, [&](std::size_t i) { return std::string(ExtensionOf(data.EntryAt(i).Name)); }),
            ascending, CompareNumbers<std::uint32_t>);
    case 2:
    case 3:
        return OrderOf(Keyed(rows,
                             [&](std::size_t i) {
                                 const FileEntry& entry = data.EntryAt(i);
                                 return ShownSecondKey(column == 2 ? entry.CreationTime
                                                                   : entry.LastWriteTime);
                             }),
                       ascending, CompareNumbers<std::int64_t>);
    case 4:
        return OrderOf(
            TextRanks(rows, [&](std::size_t i) { return AttributeLetters(data.EntryAt(i).Attributes); }),
            ascending, CompareNumbers<std::uint32_t>);
    case 5:
        return OrderOf(Keyed(rows, [&](std::size_t i) { return ShownSizeKey(data.EntryAt(i).Size); }),
                       ascending, CompareNumbers<std::uint64_t>);
    default:
        return OrderOf(Keyed(rows, [&](std::size_t i) { return PackTextKey(data.EntryAt(i).Name); }),
                       ascending, ComparePackedTextKeys);
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
