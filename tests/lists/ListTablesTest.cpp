// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/FileTable.h"
#include "lists/TypeTable.h"

#include "lists/DisplayTexts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace pellamy {
namespace {

// The column texts of every row, in display order.
std::vector<std::string> Column(const ListRows& rows, std::size_t column)
{
    std::vector<std::string> texts;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        texts.push_back(rows.CellText(row, column));
    }
    return texts;
}

FileRow File(std::string name, std::int64_t size, std::int64_t modifiedUnix = 0,
             std::uint32_t attributes = Attr::kArchive)
{
    return FileRow{std::move(name), attributes, size, FileTimeFromUnix(modifiedUnix, 0),
                   FileTimeFromUnix(modifiedUnix, 0)};
}

// A time zone of its own for the tests that read times, the earlier one back afterwards.
class UtcZone
{
public:
    UtcZone()
    {
        ::setenv("TZ", "UTC0", 1);
        ::tzset();
    }
    UtcZone(const UtcZone&) = delete;
    UtcZone& operator=(const UtcZone&) = delete;
    ~UtcZone()
    {
        ::unsetenv("TZ");
        ::tzset();
    }
};

TEST(TypeTable, CountWithoutGroupingAndSizeText)
{
    RegionalSettings comma;
    comma.DecimalSeparator = ",";
    TypeTable table;
    table.Fill({TypeRow{".log", "Log", 123456, 1536}}, comma, ByteCollator());
    EXPECT_EQ(table.CellText(0, 0), ".log");
    EXPECT_EQ(table.CellText(0, 1), "Log");
    EXPECT_EQ(table.CellText(0, 2), "123456");
    EXPECT_EQ(table.CellText(0, 3), "1,5 KB");
    EXPECT_EQ(table.CellText(0, 4), "");
    EXPECT_EQ(table.CellText(1, 0), "");
}

TEST(FileTable, ShowNameTimesAttributesAndSize)
{
    const UtcZone utc;
    FileTable table;
    FileTable::Rows rows;
    rows.Add("Notes.Final.TXT", Attr::kReadOnly | Attr::kArchive, 1048577, FileTimeFromUnix(1700000000, 0),
             FileTimeFromUnix(1700000100, 0), FileTimeFromUnix(1700000500, 0));
    rows.Add("never.shown", Attr::kArchive, 0, ~FileTime{0}, FileTimeFromUnix(0, 0));
    table.Fill(std::move(rows), RegionalSettings{}, ByteCollator());
    EXPECT_EQ(table.CellText(0, 0), ".TXT");
    EXPECT_EQ(table.CellText(0, 1), "Notes.Final.TXT");
    EXPECT_EQ(table.CellText(0, 2), "14/11/2023 22:13:20");
    EXPECT_EQ(table.CellText(0, 3), "14/11/2023 22:15:00") << "Modified is the last-write time, not the last access";
    EXPECT_EQ(table.CellText(0, 4), "RA");
    EXPECT_EQ(table.CellText(0, 5), "1 MB");
    EXPECT_EQ(table.At(0).LastAccessTime, FileTimeFromUnix(1700000500, 0));
    EXPECT_EQ(table.CellText(1, 2), "") << "a time that cannot be shown leaves the rest of the row";
    EXPECT_EQ(table.CellText(1, 1), "never.shown");
}

TEST(FileTable, AFillPutsTheRowsInCaptionOrderAndTheirTextsKeepTheFillsSettings)
{
    FileTable table;
    RegionalSettings comma;
    comma.DecimalSeparator = ",";
    table.Fill({File("b.txt", 1536), File("a.doc", 1), File("c.txt", 2), File("noext", 3), File("d.DOC", 4)}, comma,
               ByteCollator());
    // Captions in byte order; rows of one caption keep the order they came in.
    EXPECT_EQ(Column(table, 1), (std::vector<std::string>{"noext", "d.DOC", "a.doc", "b.txt", "c.txt"}));
    EXPECT_EQ(table.CellText(3, 5), "1,5 KB");
    EXPECT_EQ(table.SelectedCount(), 0u);
    EXPECT_EQ(table.Listed(3)->Size, 1536);

    table.Clear();
    EXPECT_EQ(table.RowCount(), 0u);
    EXPECT_FALSE(table.Listed(0));
}

// The rows of a tree hold each folder's path once and their own names: they show, copy, caption
// and sort by the path below the listed folder all the same.
TEST(FileTable, RowsOfATreeShowTheirPathAndTakeTheirTypeFromTheirOwnName)
{
    auto entry = [](std::string_view name, std::int64_t size) {
        return DirectoryEntryView{name, Attr::kArchive, 0, 0, FileTimeFromUnix(1700000000, 0), size};
    };
    FileTable::Rows rows;
    rows.Add("", entry("top.txt", 1));
    rows.Add("src.d/", entry("README", 2));
    rows.Add("src.d/", entry("b.txt", 3));
    rows.Add("src.d/deep/", entry("a.txt", 4));
    rows.Add("src.d/", entry("a-very-long-name-past-sixteen.txt", 5)); // back in the folder after a sub-folder
    rows.Add("src.d/deep/", entry("A.TXT", 6));
    FileTable table;
    table.Fill(std::move(rows), RegionalSettings{}, ByteCollator());

    // "README" has no extension, though its folder's name has a dot.
    EXPECT_EQ(Column(table, 1), (std::vector<std::string>{"src.d/README", "src.d/deep/A.TXT", "top.txt", "src.d/b.txt",
                                                          "src.d/deep/a.txt", "src.d/a-very-long-name-past-sixteen.txt"}));
    EXPECT_EQ(Column(table, 0), (std::vector<std::string>{"", ".TXT", ".txt", ".txt", ".txt", ".txt"}));
    EXPECT_EQ(table.Name(1), "src.d/deep/A.TXT");
    EXPECT_EQ(table.At(1).Folder, "src.d/deep/");
    EXPECT_EQ(table.At(1).Name, "A.TXT");
    EXPECT_EQ(table.At(2).Folder, "");
    EXPECT_EQ(table.Row(5).Name, "src.d/a-very-long-name-past-sixteen.txt");

    // By name as the joined texts compare: "src.d/a-..." before "src.d/b.txt" before
    // "src.d/deep/...", case aside; equal names keep their order.
    table.Sort(1, true);
    EXPECT_EQ(Column(table, 1), (std::vector<std::string>{"src.d/a-very-long-name-past-sixteen.txt", "src.d/b.txt",
                                                          "src.d/deep/A.TXT", "src.d/deep/a.txt", "src.d/README",
                                                          "top.txt"}));
    table.Sort(1, false);
    EXPECT_EQ(Column(table, 1), (std::vector<std::string>{"top.txt", "src.d/README", "src.d/deep/A.TXT",
                                                          "src.d/deep/a.txt", "src.d/b.txt",
                                                          "src.d/a-very-long-name-past-sixteen.txt"}));
    EXPECT_EQ(table.Listed(0)->Size, 1);
}

TEST(FileTable, HeaderSortsOrderByTheValuesBehindTheTextsAndKeepTies)
{
    const UtcZone utc;
    // Two-digit years and a 12-hour clock: as texts "01/02/99" would sort after "01/02/05".
    RegionalSettings settings;
    settings.ShortDateFormat = "dd/MM/yy";
    settings.TwelveHourClock = true;
    settings.DecimalSeparator = ",";
    FileTable table;
    table.Fill({File("new.txt", 2000, 1107216000), File("old.txt", 1000, 917827200), File("tie.txt", 1000, 917827200),
                File("big.txt", std::int64_t{3} << 20, 1107216000 + 13 * 3600)},
               settings, ByteCollator());
    ASSERT_EQ(Column(table, 1), (std::vector<std::string>{"new.txt", "old.txt", "tie.txt", "big.txt"}));
    table.Select(1, true);

    table.Sort(3, true);
    EXPECT_EQ(Column(table, 1), (std::vector<std::string>{"old.txt", "tie.txt", "new.txt", "big.txt"}));
    table.Sort(3, false);
    EXPECT_EQ(Column(table, 1), (std::vector<std::string>{"big.txt", "new.txt", "old.txt", "tie.txt"}))
        << "equal times keep their order in either direction";
    table.Sort(5, true);
    EXPECT_EQ(Column(table, 1), (std::vector<std::string>{"old.txt", "tie.txt", "new.txt", "big.txt"}));
    EXPECT_EQ(Column(table, 5), (std::vector<std::string>{"0,98 KB", "0,98 KB", "1,95 KB", "3 MB"}));
    table.Sort(1, false);
    EXPECT_EQ(Column(table, 1), (std::vector<std::string>{"tie.txt", "old.txt", "new.txt", "big.txt"}));

    // The selection and what each row showed of its file go with the rows.
    EXPECT_TRUE(table.IsSelected(1));
    EXPECT_EQ(table.SelectedCount(), 1u);
    EXPECT_EQ(table.Listed(1)->LastWriteTime, FileTimeFromUnix(917827200, 0));
    table.SelectAll();
    EXPECT_EQ(table.SelectedCount(), 4u);
}

TEST(TypeTable, HeaderSortsOrderCountsAndSizesByValue)
{
    TypeTable table;
    table.Fill({TypeRow{".b", "Bee", 10, 2048}, TypeRow{".a", "ant", 9, 1000}, TypeRow{".c", "Cat", 10, 1001}},
               RegionalSettings{}, ByteCollator());
    table.Select(0, true);
    table.Sort(2, false);
    EXPECT_EQ(Column(table, 0), (std::vector<std::string>{".b", ".c", ".a"})) << "9 after 10: numbers, not texts";
    table.Sort(3, true);
    EXPECT_EQ(Column(table, 0), (std::vector<std::string>{".c", ".a", ".b"}))
        << "1001 and 1000 bytes show one text and keep their order";
    table.Sort(1, true);
    EXPECT_EQ(Column(table, 1), (std::vector<std::string>{"ant", "Bee", "Cat"})) << "letter case ignored";
    EXPECT_TRUE(table.IsSelected(0)) << ".a was selected and is first again";
}

} // namespace
} // namespace pellamy
