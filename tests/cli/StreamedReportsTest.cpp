// SPDX-License-Identifier: GPL-3.0-or-later
// The reports written row by row from the compact rows give the bytes of the earlier builders,
// which made every cell's text first and the whole document after: kept here as the reference.

#include "RunReport.h"
#include "cli/ReportSources.h"
#include "lists/ColumnCompare.h"
#include "lists/ColumnOrder.h"
#include "lists/DisplayTexts.h"
#include "lists/FileRows.h"
#include "lists/ListRows.h"
#include "platform/TempFolder.h"
#include "platform/posix/PosixDirectorySource.h"
#include "reports/CommaText.h"
#include "reports/HtmlReport.h"
#include "reports/ReportExports.h"
#include "reports/ReportFormats.h"
#include "reports/ReportText.h"
#include "reports/XmlReports.h"
#include "scan/ByteCount.h"
#include "scan/TypeInfoSource.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

// Descriptions that need quoting and escaping in every format.
class AwkwardTypes final : public TypeInfoSource
{
public:
    std::string GetTypeDescription(const std::string& extension) override
    {
        return extension.empty() ? "File" : "Type <" + extension + "> & \"kind\", \r\n" + extension;
    }
};

// The list as the earlier builders held it: rows in their shown order with every cell's text.
struct EarlierData
{
    const ReportData* Data = nullptr;
    std::vector<std::vector<std::string>> Cells;
    std::vector<TypeRow> Types;
    ScanResults Entries;
};

// The texts of a row as the earlier builders made them, from its values.
std::vector<std::string> EarlierTexts(const TypeRow& row, const RegionalSettings& settings)
{
    return {row.Extension, row.Description, std::to_string(row.Count), SizeText(row.Size, false, settings)};
}

std::vector<std::string> EarlierTexts(const FileEntry& entry, const RegionalSettings& settings)
{
    return {std::string(ExtensionOf(entry.Name)),         entry.Name,
            FileTimeText(entry.CreationTime, settings),  FileTimeText(entry.LastWriteTime, settings),
            AttributeLetters(entry.Attributes),          SizeText(ToByteCount(entry.Size), false, settings)};
}

EarlierData Earlier(const ReportData& data, const RegionalSettings& settings)
{
    EarlierData earlier{&data, {}, {}, {}};
    for (std::size_t i = 0; i < data.RowCount(); ++i) {
        if (data.IsTypeList) {
            earlier.Types.push_back(data.Types.At(i));
            earlier.Cells.push_back(EarlierTexts(data.Types.At(i), settings));
        } else {
            const FileRowView row = data.Files.At(i);
            earlier.Entries.push_back(FileEntry{std::string(row.Name), row.Attributes, row.CreationTime,
                                                row.LastAccessTime, row.LastWriteTime, row.Size});
            earlier.Cells.push_back(EarlierTexts(earlier.Entries.back(), settings));
        }
    }
    return earlier;
}

void EarlierSort(EarlierData& earlier, std::size_t column, bool descending, const RegionalSettings& settings)
{
    const int at = static_cast<int>(column);
    std::vector<std::uint32_t> order;
    if (earlier.Data->IsTypeList && column == 2) {
        std::vector<std::int64_t> counts;
        for (const TypeRow& row : earlier.Types) {
            counts.push_back(row.Count);
        }
        order = OrderByCounts(counts, !descending);
    } else if (earlier.Data->IsTypeList && column == 3) {
        std::vector<ByteCount> sizes;
        for (const TypeRow& row : earlier.Types) {
            sizes.push_back(row.Size);
        }
        order = OrderByShownSizes(sizes, !descending);
    } else if (!earlier.Data->IsTypeList && (column == 2 || column == 3)) {
        std::vector<FileTime> times;
        for (const FileEntry& entry : earlier.Entries) {
            times.push_back(column == 2 ? entry.CreationTime : entry.LastWriteTime);
        }
        order = OrderByShownTimes(times, !descending);
    } else if (!earlier.Data->IsTypeList && column == 5) {
        std::vector<ByteCount> sizes;
        for (const FileEntry& entry : earlier.Entries) {
            sizes.push_back(ToByteCount(entry.Size));
        }
        order = OrderByShownSizes(sizes, !descending);
    } else {
        const auto compare = earlier.Data->IsTypeList ? CompareTypeCells : CompareFileCells;
        std::vector<std::string_view> cells;
        for (const auto& row : earlier.Cells) {
            cells.push_back(row[column]);
        }
        order = OrderByKeys(std::move(cells), !descending, [&](std::string_view a, std::string_view b) {
            return compare(at, a, b, settings);
        });
    }
    std::vector<std::vector<std::string>> cells;
    for (const std::uint32_t i : order) {
        cells.push_back(earlier.Cells[i]);
    }
    earlier.Cells = std::move(cells);
}

std::string EarlierTable(const EarlierData& earlier)
{
    const ReportData& data = *earlier.Data;
    const std::size_t columns = data.Columns.size();
    std::vector<std::vector<std::string>> shown;
    std::vector<std::size_t> widths(columns, 0);
    for (std::size_t c = 0; c < columns; ++c) {
        widths[c] = DisplayWidth(data.Columns[c]);
    }
    for (const auto& row : earlier.Cells) {
        std::vector<std::string> safe;
        for (std::size_t c = 0; c < columns; ++c) {
            safe.push_back(TerminalSafe(row[c]));
            widths[c] = std::max(widths[c], DisplayWidth(safe.back()));
        }
        shown.push_back(std::move(safe));
    }
    std::string out;
    auto line = [&](const auto& cells) {
        std::string text;
        for (std::size_t c = 0; c < columns; ++c) {
            const std::string_view cell = cells[c];
            const std::size_t gap = widths[c] - DisplayWidth(cell);
            text += c > 0 ? "  " : "";
            const bool right = data.Columns[c] == "Number" || data.Columns[c] == "Size";
            if (right) {
                text.append(gap, ' ');
            }
            text += cell;
            if (!right && c + 1 < columns) {
                text.append(gap, ' ');
            }
        }
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
        out += text + "\n";
    };
    line(data.Columns);
    for (const auto& row : shown) {
        line(row);
    }
    out += data.IsTypeList ? TerminalSafe(data.TotalsLine) : "Files: " + std::to_string(earlier.Cells.size());
    return out + "\n";
}

// The JSON as the earlier writer laid it out by hand: nlohmann's layout with an indent of two.
std::string EarlierJson(const EarlierData& earlier)
{
    const ReportData& data = *earlier.Data;
    auto str = [](std::string_view text) {
        return nlohmann::json(std::string(text))
            .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    };
    auto time = [&](FileTime t) {
        const std::string iso = FileTimeToIso8601(t);
        return iso.empty() ? std::string("null") : str(iso);
    };
    std::string out = "{\n  \"folder\": " + str(data.CurrentFolder);
    if (data.IsTypeList) {
        out += ",\n  \"totalsLine\": " + str(data.TotalsLine);
        out += ",\n  \"totalFiles\": " + std::to_string(data.Summary.TotalFiles);
        out += ",\n  \"totalSize\": " + ByteCountDigits(data.Summary.TotalSize);
        out += ",\n  \"folderAttributes\": " + (data.Summary.FolderAttributes == Attr::kInvalid
                                                    ? std::string("null")
                                                    : std::to_string(data.Summary.FolderAttributes));
    } else {
        out += ",\n  \"pattern\": " + str(data.Pattern.Text());
    }
    out += ",\n  \"columns\": [";
    for (std::size_t c = 0; c < data.Columns.size(); ++c) {
        out += (c == 0 ? "\n    " : ",\n    ") + str(data.Columns[c]);
    }
    out += "\n  ],\n  \"rows\": [";
    for (std::size_t r = 0; r < earlier.Cells.size(); ++r) {
        out += r == 0 ? "\n    {\n      \"cells\": [" : ",\n    {\n      \"cells\": [";
        for (std::size_t c = 0; c < earlier.Cells[r].size(); ++c) {
            out += (c == 0 ? "\n        " : ",\n        ") + str(earlier.Cells[r][c]);
        }
        out += "\n      ]";
        if (data.IsTypeList) {
            const TypeRow& t = earlier.Types[r];
            out += ",\n      \"extension\": " + str(t.Extension) +
                   ",\n      \"count\": " + std::to_string(t.Count) +
                   ",\n      \"size\": " + ByteCountDigits(t.Size);
        } else {
            const FileEntry& e = earlier.Entries[r];
            out += ",\n      \"name\": " + str(e.Name) + ",\n      \"size\": " + std::to_string(e.Size) +
                   ",\n      \"created\": " + time(e.CreationTime) +
                   ",\n      \"modified\": " + time(e.LastWriteTime) +
                   ",\n      \"accessed\": " + time(e.LastAccessTime) +
                   ",\n      \"attributes\": " + std::to_string(e.Attributes);
        }
        out += "\n    }";
    }
    out += earlier.Cells.empty() ? "]" : "\n  ]";
    return out + "\n}\n";
}

std::string EarlierCsv(const EarlierData& earlier)
{
    const ReportData& data = *earlier.Data;
    std::string out =
        data.IsTypeList ? "Type,Description,Number,Size\r\n" : "Name,Created,Modified,Attribs,Size\r\n";
    for (const auto& row : earlier.Cells) {
        std::vector<std::string> items(row.begin() + (data.IsTypeList ? 0 : 1), row.end());
        if (!data.IsTypeList) {
            items[0].insert(0, data.CurrentFolder);
        }
        out += CommaText(items) + "\r\n";
    }
    return out;
}

std::string EarlierHtml(const EarlierData& earlier, std::string_view folder)
{
    const ReportData& data = *earlier.Data;
    const std::string title = data.IsTypeList ? "Folder content" : "Files by type";
    std::string out = "<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>" + HtmlEscaped(title) + ": " +
                      HtmlEscaped(folder) + "</title>\r\n</head>\r\n<table>\r\n<tr>\r\n";
    for (const std::string_view caption : data.Columns) {
        out += "<th><b><center>" + HtmlEscaped(caption) + "</center></b></th>\r\n";
    }
    out += "</tr>\r\n";
    for (const auto& row : earlier.Cells) {
        out += "<tr>\r\n<td>" + HtmlEscaped(row[0]) + "</td>\r\n";
        for (std::size_t c = 1; c < row.size(); ++c) {
            out +=
                row[c].empty() ? std::string("<td>-</td>\r\n") : "<td>" + HtmlEscaped(row[c]) + "</td>\r\n";
        }
        out += "</tr>\r\n";
    }
    return out + "</table>\r\n</html>\r\n";
}

// The document as the writer's element tree gives it when saved.
std::string EarlierXml(const EarlierData& earlier, std::string_view folder, const RegionalSettings& settings)
{
    const ReportData& data = *earlier.Data;
    const TextRows rows(earlier.Cells, data.Columns.size());
    TextRows selected = rows;
    selected.SelectAll();
    XmlWriter writer;
    if (data.IsTypeList) {
        ExportFolderXml(writer, selected, folder, data.Summary.TotalFiles, data.Summary.TotalSize, settings);
    } else {
        ExportFilesXml(writer, selected, data.CurrentFolder);
    }
    return writer.SavedText();
}

// Collects what a report hands on, in pieces small enough that rows and lines straddle them.
class SmallPieces final : public ReportOutput
{
public:
    SmallPieces()
        : ReportOutput(7)
    {}
    std::string Bytes;

private:
    std::optional<std::string> Deliver(std::string_view bytes) override
    {
        Bytes += bytes;
        return std::nullopt;
    }
};

template <typename Write>
std::string Streamed(Write write)
{
    SmallPieces out;
    write(out);
    EXPECT_EQ(out.Finish(), std::nullopt);
    return out.Bytes;
}

RegionalSettings TwelveHourCommaSettings()
{
    RegionalSettings settings;
    settings.DecimalSeparator = ",";
    settings.ShortDateFormat = "d.M.yy";
    settings.DateSeparator = ".";
    settings.TwelveHourClock = true;
    settings.LeadingZeroInHours = false;
    settings.AmDesignator = "vorm.";
    settings.PmDesignator = "nachm.";
    settings.DesignatorFirst = true;
    return settings;
}

class StreamedReports : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const std::vector<std::string> names = {"plain.txt",
                                                "UPPER.TXT",
                                                "no_extension",
                                                "bad\xff\xfe name.txt",
                                                "cr\rlf\n.log",
                                                "tab\there.log",
                                                "say \"hi\", ok.csv",
                                                "<b>&amp;<i> x.html",
                                                std::string(240, 'L') + ".long",
                                                "\xc3\xbc-\xe6\x97\xa5.txt",
                                                "\x01"
                                                "control.bin",
                                                "a.b.c",
                                                "trailing.",
                                                "wide.\xe6\x97\xa5\xe6\x9c\xac"};
        std::int64_t when = 315532800; // 1980-01-01 00:00:00 UTC: a midnight where TZ is UTC
        std::uintmax_t size = 0;
        for (const std::string& name : names) {
            const fs::path path = m_dir.Write(name);
            fs::resize_file(path, size);
            size = (size * 3 + 150'000) % (std::uintmax_t{3} << 30); // KB, MB and GB texts
            const timespec times[2] = {{static_cast<time_t>(when + 5), 0}, {static_cast<time_t>(when), 0}};
            ::utimensat(AT_FDCWD, path.c_str(), times, 0);
            when += 86400 * 400 + 3600 * 13 + 61;
        }
        // A size in gigabytes, and a read-only file.
        fs::resize_file(m_dir.Path() / "plain.txt", std::uintmax_t{5} << 30);
        ::chmod((m_dir.Path() / "UPPER.TXT").c_str(), 0444);
    }

    ReportData Build(const RegionalSettings& settings, const std::optional<NamePattern>& pattern,
                     const fs::path& folder)
    {
        const ReportSources sources{m_source, m_types, m_collator, settings};
        std::error_code error;
        ReportData data = BuildReportData(sources, folder.string(), pattern, ScanOptions(), error);
        EXPECT_FALSE(error) << error.message();
        return data;
    }

    // Every format, streamed, against the earlier builders.
    void ExpectEarlierBytes(const ReportData& data, const EarlierData& earlier,
                            const RegionalSettings& settings)
    {
        const std::string folder = NavigatorFolderText(data.CurrentFolder);
        EXPECT_EQ(Streamed([&](ReportOutput& out) { WriteTable(data, out); }), EarlierTable(earlier));
        EXPECT_EQ(Streamed([&](ReportOutput& out) { WriteJson(data, out); }), EarlierJson(earlier));
        EXPECT_EQ(Streamed([&](ReportOutput& out) { WriteCsv(data, out); }), EarlierCsv(earlier));
        EXPECT_EQ(Streamed([&](ReportOutput& out) { WriteHtml(data, folder, out); }),
                  EarlierHtml(earlier, folder));
        EXPECT_EQ(Streamed([&](ReportOutput& out) { WriteXml(data, folder, out); }),
                  EarlierXml(earlier, folder, settings));
    }

    TempFolder m_dir;
    PosixDirectorySource m_source;
    AwkwardTypes m_types;
    ByteCollator m_collator;
};

TEST_F(StreamedReports, EveryFormatGivesTheEarlierBytesForAwkwardNames)
{
    for (const RegionalSettings& settings : {RegionalSettings(), TwelveHourCommaSettings()}) {
        for (const auto& pattern : {std::optional<NamePattern>(), std::optional(NamePattern::AllFiles())}) {
            SCOPED_TRACE(pattern ? "file list" : "type list");
            const ReportData data = Build(settings, pattern, m_dir.Path());
            ASSERT_GE(data.RowCount(), pattern ? 14U : 8U);
            ExpectEarlierBytes(data, Earlier(data, settings), settings);
        }
    }
}

// A long list with awkward names, times that cannot be shown and sizes of every unit, in scan
// order and sorted so that its rows are visited out of scan order: every format, the table's two
// passes over the rows included, gives the earlier bytes.
TEST_F(StreamedReports, LongSortedListsGiveTheEarlierBytes)
{
    const RegionalSettings settings = TwelveHourCommaSettings();
    const ReportSources sources{m_source, m_types, m_collator, settings};
    const std::size_t count = 20'603;
    FileTable::Rows entries;
    const std::array<std::string, 5> tails = {".txt", ".LOG", "", ".b\xffin", ",\"q\".csv"};
    for (std::size_t i = 0; i < count; ++i) {
        FileEntry entry;
        entry.Name = "n" + std::to_string((i * 7919) % count) + (i % 11 == 0 ? "<&>" : "") + tails[i % tails.size()];
        entry.Attributes = i % 3 == 0 ? Attr::kArchive | Attr::kReadOnly : Attr::kArchive;
        entry.Size = static_cast<std::int64_t>((i * 104729) % (std::uint64_t{7} << 30));
        entry.LastWriteTime = FileTimeFromUnix(1'000'000'000 + static_cast<std::int64_t>(i) * 4001, 0);
        entry.CreationTime = i % 97 == 0 ? kNoFileTime : entry.LastWriteTime;
        entry.LastAccessTime = entry.LastWriteTime;
        entries.Add(entry);
    }
    ReportData data = FileListReportData(sources, m_dir.Path().string(), NamePattern::AllFiles(), std::move(entries));
    ExpectEarlierBytes(data, Earlier(data, settings), settings);
    SortReportData(data, ReportSort{5, true});
    ExpectEarlierBytes(data, Earlier(data, settings), settings);
}

TEST_F(StreamedReports, EmptyListsGiveTheEarlierBytes)
{
    const TempFolder empty;
    const RegionalSettings settings;
    for (const auto& [folder, pattern] :
         {std::pair{empty.Path(), std::optional<NamePattern>()},
          std::pair{empty.Path(), std::optional(NamePattern::AllFiles())},
          std::pair{m_dir.Path(), std::optional(NamePattern::OfExtension(".none"))}}) {
        const ReportData data = Build(settings, pattern, folder);
        ASSERT_EQ(data.RowCount(), 0U);
        ExpectEarlierBytes(data, Earlier(data, settings), settings);
    }
}

TEST_F(StreamedReports, SortsOfEveryColumnOrderAsTheEarlierSorts)
{
    // Equal sizes, times and letters, so that ties must keep their order in both directions.
    for (const std::string name : {"tie1.txt", "tie2.TXT", "tie3.txt"}) {
        const fs::path path = m_dir.Write(name, 100);
        const timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
    const RegionalSettings settings = TwelveHourCommaSettings();
    for (const auto& pattern : {std::optional<NamePattern>(), std::optional(NamePattern::AllFiles())}) {
        const ReportData unsorted = Build(settings, pattern, m_dir.Path());
        for (std::size_t column = 0; column < unsorted.Columns.size(); ++column) {
            for (const bool descending : {false, true}) {
                SCOPED_TRACE(std::string(unsorted.Columns[column]) + (descending ? " descending" : ""));
                ReportData data = unsorted;
                SortReportData(data, ReportSort{column, descending});
                EarlierData earlier = Earlier(unsorted, settings);
                EarlierSort(earlier, column, descending, settings);
                EXPECT_EQ(Earlier(data, settings).Cells, earlier.Cells);
            }
        }
    }
}

TEST_F(StreamedReports, OutputThatTakesNothingFailsWithStreamWriteError)
{
    if (::access("/dev/full", W_OK) != 0) {
        GTEST_SKIP() << "/dev/full is not here";
    }
    for (const std::string format : {"table", "json", "csv", "xml", "html"}) {
        // The shell sends the report's standard output to a device that refuses every byte.
        const RunResult r = RunReport({"--all-files", "--format", format, m_dir.Path().string()},
                                      fs::current_path(), {}, {"sh", "-c", "exec \"$0\" \"$@\" >/dev/full"});
        EXPECT_EQ(r.ExitCode, 1) << format;
        EXPECT_EQ(r.Err, "pellamy-report: Stream write error\n") << format;
    }
}

} // namespace
} // namespace pellamy
