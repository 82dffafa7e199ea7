// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/TypeSummary.h"

#include "FakeDirectorySource.h"
#include "lists/DisplayTexts.h"
#include "lists/FileRows.h"
#include "scan/TypeInfoSource.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

using E = FakeDirectorySource::Entry;

class FakeTypes final : public TypeInfoSource
{
public:
    std::string GetTypeDescription(const std::string& extension) override
    {
        ++Calls;
        return extension.empty() ? "File" : "Type " + extension;
    }
    int Calls = 0;
};

TEST(ExtensionOf, RunsFromTheLastDot)
{
    EXPECT_EQ(ExtensionOf("report.txt"), ".txt");
    EXPECT_EQ(ExtensionOf("archive.tar.gz"), ".gz");
    EXPECT_EQ(ExtensionOf(".profile"), ".profile");
    EXPECT_EQ(ExtensionOf("README"), "");
    EXPECT_EQ(ExtensionOf("trailing."), ".");
    EXPECT_EQ(ExtensionOf("Mixed.TxT"), ".TxT");
}

TEST(TypeSummary, MergesExtensionsIgnoringCaseKeepingTheFirstSpelling)
{
    FakeDirectorySource source;
    source.Entries = {E{"a.TXT", Attr::kArchive, 100}, E{"b.txt", Attr::kArchive, 200},
                      E{"README", Attr::kArchive, 1},  E{".profile", Attr::kHidden | Attr::kArchive, 2},
                      E{"c.Txt", Attr::kArchive, 300}, E{"make", Attr::kArchive, 3}};
    FakeTypes types;
    const TypeSummary summary = SummarizeFolder(source, "/d", {}, types);
    ASSERT_EQ(summary.Rows.size(), 3u);
    EXPECT_EQ(summary.Rows[0].Extension, ".TXT");
    EXPECT_EQ(summary.Rows[0].Count, 3);
    EXPECT_EQ(summary.Rows[0].Size, 600);
    EXPECT_EQ(summary.Rows[0].Description, "Type .TXT");
    EXPECT_EQ(summary.Rows[1].Extension, "");
    EXPECT_EQ(summary.Rows[1].Count, 2);
    EXPECT_EQ(summary.Rows[1].Description, "File");
    EXPECT_EQ(summary.Rows[2].Extension, ".profile");
    EXPECT_EQ(summary.TotalFiles, 6);
    EXPECT_EQ(summary.TotalSize, 606);
    EXPECT_EQ(types.Calls, 3) << "one description per type, not per file";
}

TEST(TypeSummary, MergesLettersBeyondAscii)
{
    TypeGrouper grouper;
    grouper.Add("x.ÉTÉ", 1);
    grouper.Add("y.été", 2);
    grouper.Add("z.ete", 4);
    const auto rows = grouper.TakeRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Extension, ".ÉTÉ");
    EXPECT_EQ(rows[0].Count, 2);
    EXPECT_EQ(rows[1].Extension, ".ete");
}

TEST(TypeSummary, ManyTypesShortAndLongKeepTheirOwnRows)
{
    // Enough distinct extensions to outgrow any small table, short ones met again in other
    // letter cases, and long ones that share their first eight bytes.
    TypeGrouper grouper;
    constexpr int kTypes = 300;
    for (int i = 0; i < kTypes; ++i) {
        grouper.Add("a.e" + std::to_string(i), 1);
        grouper.Add("b.sharedprefix" + std::to_string(i), 10);
    }
    for (int i = kTypes - 1; i >= 0; --i) {
        grouper.Add("c.E" + std::to_string(i), 100);
    }
    grouper.Add("no extension", 1000);
    grouper.Add("again without", 1000);
    const auto rows = grouper.TakeRows();
    ASSERT_EQ(rows.size(), 2u * kTypes + 1);
    for (int i = 0; i < kTypes; ++i) {
        const TypeRow& shortRow = rows[2 * i];
        EXPECT_EQ(shortRow.Extension, ".e" + std::to_string(i));
        EXPECT_EQ(shortRow.Count, 2);
        EXPECT_EQ(shortRow.Size, 101);
        const TypeRow& longRow = rows[2 * i + 1];
        EXPECT_EQ(longRow.Extension, ".sharedprefix" + std::to_string(i));
        EXPECT_EQ(longRow.Count, 1);
    }
    EXPECT_EQ(rows.back().Extension, "");
    EXPECT_EQ(rows.back().Count, 2);

    grouper.Add("x.e1", 5);
    const auto fresh = grouper.TakeRows();
    ASSERT_EQ(fresh.size(), 1u) << "taking the rows starts the grouping afresh";
    EXPECT_EQ(fresh[0].Count, 1);
}

TEST(TypeSummary, SumsOfHugeFilesNeverWrap)
{
    const RegionalSettings settings;
    FakeTypes types;
    constexpr std::int64_t kHuge = INT64_MAX; // what a sparse file may claim
    FakeDirectorySource source;
    source.Entries = {E{"a.img", Attr::kArchive, std::int64_t{1} << 62},
                      E{"b.img", Attr::kArchive, std::int64_t{1} << 62}, E{"c.raw", Attr::kArchive, kHuge},
                      E{"d.raw", Attr::kArchive, kHuge}, E{"e.raw", Attr::kArchive, kHuge}};
    const TypeSummary s = SummarizeFolder(source, "/d", {}, types);
    ASSERT_EQ(s.Rows.size(), 2u);
    EXPECT_EQ(SizeText(s.Rows[0].Size, false, settings), "8589934592 GB");
    EXPECT_EQ(ByteCountDigits(s.Rows[0].Size), "9223372036854775808");
    EXPECT_EQ(ByteCountDigits(s.Rows[1].Size), "27670116110564327421");
    EXPECT_EQ(SizeText(s.Rows[1].Size, false, settings), "25769803776 GB");
    EXPECT_EQ(ByteCountDigits(s.TotalSize), "36893488147419103229");
    EXPECT_EQ(TotalsLine(s.FolderAttributes, s.TotalFiles, s.TotalSize, settings),
              "Folder attributes:       TOTALS:    Files:5   Size:34359738368 GB ");
}

TEST(TypeSummary, SizeBoundariesInRowsAndTotalsLine)
{
    const RegionalSettings settings;
    FakeTypes types;
    FakeDirectorySource exact;
    exact.Entries = {E{"a.bin", Attr::kArchive, 524288}, E{"b.bin", Attr::kArchive, 524288}};
    TypeSummary s = SummarizeFolder(exact, "/d", {}, types);
    EXPECT_EQ(SizeText(s.Rows[0].Size, false, settings), "1024 KB");
    EXPECT_EQ(TotalsLine(s.FolderAttributes, s.TotalFiles, s.TotalSize, settings),
              "Folder attributes:       TOTALS:    Files:2   Size:1024 KB ");

    exact.Entries[1].Size = 524289;
    s = SummarizeFolder(exact, "/d", {}, types);
    EXPECT_EQ(SizeText(s.Rows[0].Size, false, settings), "1 MB");
    EXPECT_EQ(TotalsLine(s.FolderAttributes, s.TotalFiles, s.TotalSize, settings),
              "Folder attributes:       TOTALS:    Files:2   Size:1 MB ");

    exact.Entries = {E{"a.iso", Attr::kArchive, 536870912}, E{"b.iso", Attr::kArchive, 536870912}};
    s = SummarizeFolder(exact, "/d", {}, types);
    EXPECT_EQ(SizeText(s.Rows[0].Size, false, settings), "1024 MB");
    exact.Entries[0].Size += 1;
    s = SummarizeFolder(exact, "/d", {}, types);
    EXPECT_EQ(SizeText(s.Rows[0].Size, false, settings), "1 GB");
    EXPECT_EQ(TotalsLine(s.FolderAttributes, s.TotalFiles, s.TotalSize, settings),
              "Folder attributes:       TOTALS:    Files:2   Size:1 GB ");
}

TEST(TypeSummary, EmptyMissingAndUnreadableFolders)
{
    const RegionalSettings settings;
    FakeTypes types;
    FakeDirectorySource empty;
    empty.FolderAttributes = Attr::kDirectory | Attr::kReadOnly;
    TypeSummary s = SummarizeFolder(empty, "/d", {}, types);
    EXPECT_TRUE(s.Rows.empty());
    EXPECT_EQ(TotalsLine(s.FolderAttributes, s.TotalFiles, s.TotalSize, settings),
              "Folder attributes:R       TOTALS:    Files:0   Size:0 KB ");

    FakeDirectorySource missing;
    missing.OpenError = std::make_error_code(std::errc::permission_denied);
    missing.FolderAttributes = Attr::kInvalid;
    missing.Entries = {E{"a.txt"}};
    std::error_code error;
    s = SummarizeFolder(missing, "/d", {}, types, &error);
    EXPECT_TRUE(s.Rows.empty());
    EXPECT_EQ(error, std::errc::permission_denied);
    EXPECT_EQ(TotalsLine(s.FolderAttributes, s.TotalFiles, s.TotalSize, settings),
              "Folder attributes:RHSAC       TOTALS:    Files:0   Size:0 KB ");
    EXPECT_EQ(missing.FoldersAsked.back(), "/d/") << "the folder's own attributes are read with its slash";
}

} // namespace
} // namespace pellamy
