// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ScanFolder.h"

#include "FakeDirectorySource.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

using E = FakeDirectorySource::Entry;

std::vector<std::string> Names(const ScanResults& results)
{
    std::vector<std::string> names;
    for (const FileEntry& e : results) {
        names.push_back(e.Name);
    }
    return names;
}

// A folder with one entry of each kind the attribute rules tell apart.
FakeDirectorySource MixedFolder()
{
    FakeDirectorySource source;
    source.Entries = {
        E{"plain.txt", Attr::kArchive, 10},
        E{".hidden", Attr::kHidden | Attr::kArchive, 20},
        E{"device", Attr::kSystem | Attr::kArchive, 0},
        E{"locked.doc", Attr::kReadOnly | Attr::kArchive, 30},
        E{"normal-only", Attr::kNormal, 40},
        E{"ro-system", Attr::kReadOnly | Attr::kSystem, 0},
        E{"sub", Attr::kDirectory, 0},
        E{".git", Attr::kDirectory | Attr::kHidden, 0},
        E{"ro-hidden", Attr::kReadOnly | Attr::kHidden, 50},
    };
    return source;
}

ScanResults Scan(FakeDirectorySource& source, const ScanOptions& options,
                 const NamePattern& pattern = NamePattern::AllFiles())
{
    ScanResults results;
    ScanFolder(source, "/data", pattern, options, results);
    return results;
}

TEST(AttributeFilterMask, AddsTheTickedBoxes)
{
    EXPECT_EQ(AttributeFilterMask({}), 32u);
    EXPECT_EQ(AttributeFilterMask({true, true, true, true}), 39u);
    EXPECT_EQ(AttributeFilterMask({false, false, false, false}), 0u);
    EXPECT_EQ(AttributeFilterMask({true, false, true, false}), 5u);
    EXPECT_EQ(kDefaultFilterMask, 47u);
}

TEST(ScanFolder, SettingsAtStartAcceptHiddenButNotSystemOrNormalOnlyEntries)
{
    FakeDirectorySource source = MixedFolder();
    const ScanResults results = Scan(source, ScanOptions{});
    EXPECT_EQ(Names(results), (std::vector<std::string>{"plain.txt", ".hidden", "locked.doc", "ro-hidden"}));
}

TEST(ScanFolder, IncludeSystemFilesLetsSystemEntriesThrough)
{
    FakeDirectorySource source = MixedFolder();
    ScanOptions options;
    options.ISF = true;
    EXPECT_EQ(
        Names(Scan(source, options)),
        (std::vector<std::string>{"plain.txt", ".hidden", "device", "locked.doc", "ro-system", "ro-hidden"}));
}

TEST(ScanFolder, FilterMasksCombineAsOr)
{
    FakeDirectorySource source = MixedFolder();
    ScanOptions options;
    options.AttrChk = true;

    options.Boxes = {false, false, false, false};
    EXPECT_TRUE(Scan(source, options).empty()) << "mask 0 accepts nothing";

    options.Boxes = {false, false, true, false};
    EXPECT_TRUE(Scan(source, options).empty()) << "system entries are passed over before the mask";

    options.Boxes = {true, false, false, false};
    EXPECT_EQ(Names(Scan(source, options)), (std::vector<std::string>{"locked.doc", "ro-hidden"}))
        << "read-only + system stays out while ISF is off";

    options.ISF = true;
    EXPECT_EQ(Names(Scan(source, options)),
              (std::vector<std::string>{"locked.doc", "ro-system", "ro-hidden"}));

    options.ISF = false;
    options.Boxes = {false, true, false, false};
    EXPECT_EQ(Names(Scan(source, options)), (std::vector<std::string>{".hidden", "ro-hidden"}));
}

TEST(ScanFolder, KeepsEveryFieldAndTheDirectoryOrder)
{
    FakeDirectorySource source;
    source.Entries = {E{"z", Attr::kArchive, 3, 100, 200, 300}, E{"a", Attr::kArchive, 4, 1, 2, 3}};
    const ScanResults results = Scan(source, {});
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].Name, "z");
    EXPECT_EQ(results[0].Size, 3);
    EXPECT_EQ(results[0].CreationTime, 100u);
    EXPECT_EQ(results[0].LastAccessTime, 200u);
    EXPECT_EQ(results[0].LastWriteTime, 300u);
    EXPECT_EQ(results[1].Name, "a");
}

TEST(ScanFolder, AppendsToResultsAndReturnsTheirCount)
{
    FakeDirectorySource source = MixedFolder();
    ScanResults results(2);
    EXPECT_EQ(ScanFolder(source, "/data", NamePattern::AllFiles(), {}, results), 6);
    EXPECT_EQ(results.size(), 6u);
}

TEST(ScanFolder, FolderWithAndWithoutSlashGivesTheSamePath)
{
    FakeDirectorySource source;
    ScanResults results;
    ScanFolder(source, "/data/x", NamePattern::OfExtension(""), {}, results);
    ScanFolder(source, "/data/x/", NamePattern::OfExtension(""), {}, results);
    ASSERT_EQ(source.FoldersAsked.size(), 2u);
    EXPECT_EQ(source.FoldersAsked[0], "/data/x/");
    EXPECT_EQ(source.FoldersAsked[1], "/data/x/");
}

TEST(ScanFolder, FailuresAreSilentButReported)
{
    FakeDirectorySource missing;
    missing.OpenError = std::make_error_code(std::errc::no_such_file_or_directory);
    missing.Entries = {E{"a.txt"}};
    ScanResults results;
    std::error_code error;
    EXPECT_EQ(ScanFolder(missing, "/nowhere", NamePattern::AllFiles(), {}, results, &error), 0);
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);

    FakeDirectorySource broken;
    broken.Entries = {E{"a.txt"}, E{"b.txt"}, E{"c.txt"}};
    broken.FailAfter = 2;
    EXPECT_EQ(ScanFolder(broken, "/data", NamePattern::AllFiles(), {}, results, &error), 2)
        << "entries before the failure count";
    EXPECT_TRUE(error);
}

TEST(NamePattern, MatchesEverythingOrAnExtensionWithoutRegardToCase)
{
    EXPECT_TRUE(NamePattern::AllFiles().Matches("README"));
    EXPECT_EQ(NamePattern::AllFiles().Text(), "*.*");
    // The row without extension lists the names it counts: those without an extension.
    const NamePattern none = NamePattern::OfExtension("");
    EXPECT_TRUE(none.Matches("README"));
    EXPECT_TRUE(none.Matches(""));
    EXPECT_FALSE(none.Matches(".profile"));
    EXPECT_FALSE(none.Matches("a.txt"));
    EXPECT_FALSE(none.Matches("trailing."));
    EXPECT_FALSE(none.MatchesEverything());
    EXPECT_EQ(none.Text(), "*");

    const NamePattern txt = NamePattern::OfExtension(".TXT");
    EXPECT_EQ(txt.Text(), "*.TXT");
    EXPECT_TRUE(txt.Matches("a.txt"));
    EXPECT_TRUE(txt.Matches("B.TxT"));
    EXPECT_TRUE(txt.Matches(".txt"));
    EXPECT_FALSE(txt.Matches("a.txt.bak"));
    EXPECT_FALSE(txt.Matches("atxt"));
    EXPECT_FALSE(txt.Matches("xt"));

    // Letters beyond ASCII fold too.
    EXPECT_TRUE(NamePattern::OfExtension(".ÄBC").Matches("datei.äbc"));
    EXPECT_FALSE(NamePattern::OfExtension(".ÄBC").Matches("datei.abc"));

    EXPECT_FALSE(NamePattern().Matches("a.txt")) << "no listing yet matches nothing";
}

TEST(NamePattern, WildcardsInAnExtensionAreOrdinaryCharacters)
{
    // The row ".*" shares its text with the pattern of every file, but lists only its own files.
    const NamePattern star = NamePattern::OfExtension(".*");
    EXPECT_EQ(star.Text(), "*.*");
    EXPECT_FALSE(star.MatchesEverything());
    EXPECT_NE(star, NamePattern::AllFiles());
    EXPECT_TRUE(star.Matches("a.*"));
    EXPECT_FALSE(star.Matches("a.txt"));
    EXPECT_FALSE(star.Matches("README"));

    const NamePattern odd = NamePattern::OfExtension(".a*b");
    EXPECT_TRUE(odd.Matches("x.A*B"));
    EXPECT_FALSE(odd.Matches("x.aXb"));
    EXPECT_TRUE(NamePattern::OfExtension(".?").Matches("what.?"));
    EXPECT_FALSE(NamePattern::OfExtension(".?").Matches("what.c"));
}

TEST(ScanFolder, OnlyNamesMatchingThePatternAreRead)
{
    FakeDirectorySource source;
    source.Entries = {E{"a.txt"}, E{"b.doc"}, E{"c.TXT"}};
    ScanResults results;
    ScanFolder(source, "/d", NamePattern::OfExtension(".txt"), {}, results);
    EXPECT_EQ(Names(results), (std::vector<std::string>{"a.txt", "c.TXT"}));
    EXPECT_EQ(source.DetailsRead, 2u);
}

TEST(FolderPaths, FolderPartAndFolderTest)
{
    EXPECT_EQ(FolderPartOf("/home/ann/notes.txt"), "/home/ann/");
    EXPECT_EQ(FolderPartOf("notes.txt"), "");
    EXPECT_EQ(FolderPartOf("/"), "/");
    EXPECT_EQ(WithTrailingSlash(""), "/");
    EXPECT_EQ(WithTrailingSlash("/usr"), "/usr/");
    EXPECT_EQ(WithTrailingSlash("/usr/"), "/usr/");

    FakeDirectorySource source;
    source.FolderAttributes = Attr::kInvalid;
    EXPECT_TRUE(IsFolderPath(source, "/names/nothing")) << "unreadable attributes count as a folder";
    source.FolderAttributes = Attr::kArchive;
    EXPECT_FALSE(IsFolderPath(source, "/a/file"));
}

} // namespace
} // namespace pellamy
