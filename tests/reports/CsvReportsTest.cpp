// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/CsvReports.h"

#include "reports/CommaText.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

TEST(CommaText, QuotesOnlyItemsWithBlanksControlsQuotesOrCommas)
{
    EXPECT_EQ(CommaText({"plain", "two words", "a,b", "tab\there", ""}),
              "plain,\"two words\",\"a,b\",\"tab\there\",");
    // a"b: six characters, the quote doubled inside the enclosing quotes.
    EXPECT_EQ(CommaText({"a\"b"}), "\"a\"\"b\"");
    EXPECT_EQ(CommaText({"\x01", "\x1F", "!", "RHA"}), "\"\x01\",\"\x1F\",!,RHA");
    EXPECT_EQ(CommaText({"", "", ""}), ",,");
    EXPECT_EQ(CommaText(std::initializer_list<std::string_view>{}), "");
    // Bytes above 127 (the parts of a UTF-8 character) never call for quotes.
    EXPECT_EQ(CommaText({"Änderung.txt"}), "Änderung.txt");
    EXPECT_EQ(CommaText({"line\nbreak"}), "\"line\nbreak\"");
}

TextRows FileList()
{
    TextRows rows;
    rows.AddRow({".txt", "notes.txt", "01/02/2024 10:00:00", "02/02/2024 11:30:00", "A", "1.5 KB"});
    rows.AddRow({".txt", "my \"best\", notes.txt", "03/02/2024", "03/02/2024", "", "0 KB"}, true);
    rows.AddRow({".txt", "x.txt", "04/02/2024 09:00:00", "04/02/2024 09:00:00", "RA", "2 MB"}, true);
    return rows;
}

TEST(ExportFilesCsv, WritesTheSelectedRowsInDisplayOrderWithFullPaths)
{
    const auto text = ExportFilesCsv(FileList(), "/home/me/docs/");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->Bytes(),
              "Name,Created,Modified,Attribs,Size\r\n"
              "\"/home/me/docs/my \"\"best\"\", notes.txt\",03/02/2024,03/02/2024,,\"0 KB\"\r\n"
              "/home/me/docs/x.txt,\"04/02/2024 09:00:00\",\"04/02/2024 09:00:00\",RA,\"2 MB\"\r\n");
}

TEST(ExportFilesCsv, GivesNothingForAnEmptyListAndOnlyTheHeaderWithoutSelection)
{
    EXPECT_FALSE(ExportFilesCsv(TextRows(), "/tmp/").has_value());

    TextRows unselected;
    unselected.AddRow({".c", "main.c", "", "", "A", "1 KB"});
    const auto header = ExportFilesCsv(unselected, "/tmp/");
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->Bytes(), "Name,Created,Modified,Attribs,Size\r\n");
}

TEST(ExportFolderCsv, WritesEveryRowAndQuotesTheExtensionLikeAnyField)
{
    TextRows types;
    types.AddRow({"", "File", "2", "0.5 KB"});
    types.AddRow({".pdf", "PDF document", "12", "3.25 MB"}, true);
    types.AddRow({".a,b c", "A,B C File", "1", "0 KB"});
    types.AddRow({".q\"t", "Q\"T File", "1", "0 KB"});
    const auto text = ExportFolderCsv(types);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->Bytes(), "Type,Description,Number,Size\r\n"
                             ",File,2,\"0.5 KB\"\r\n"
                             ".pdf,\"PDF document\",12,\"3.25 MB\"\r\n"
                             "\".a,b c\",\"A,B C File\",1,\"0 KB\"\r\n"
                             "\".q\"\"t\",\"Q\"\"T File\",1,\"0 KB\"\r\n");
    EXPECT_FALSE(ExportFolderCsv(TextRows()).has_value());
}

TEST(ReportText, EndsEveryLineWithCrLfAndIsEmptyWithoutLines)
{
    ReportText text;
    EXPECT_EQ(text.Bytes(), "");
    text.AddLine("");
    text.AddLine("last");
    EXPECT_EQ(text.Bytes(), "\r\nlast\r\n");
}

TEST(NavigatorFolderText, DropsTheTrailingSlashExceptAtTheRoot)
{
    EXPECT_EQ(NavigatorFolderText("/home/me/"), "/home/me");
    EXPECT_EQ(NavigatorFolderText("/home/me"), "/home/me");
    EXPECT_EQ(NavigatorFolderText("/"), "/");
    EXPECT_EQ(NavigatorFolderText("//"), "/");
    EXPECT_EQ(NavigatorFolderText("rel/"), "rel");
}

} // namespace
} // namespace pellamy
