// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ClipboardFiles.h"

#include "lists/ListRows.h"
#include "shell/SelectedFiles.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

using namespace std::string_literals;

// File list rows as the window shows them: extension, name, created, modified, attributes, size.
TextRows FileRows(const std::vector<std::string>& names)
{
    TextRows rows;
    for (const std::string& name : names) {
        const auto dot = name.rfind('.');
        rows.AddRow({dot == std::string::npos ? "" : name.substr(dot), name, "09/12/2026 10:00",
                     "09/12/2026 10:00", "A", "1 bytes"});
    }
    return rows;
}

TEST(SelectedFilePaths, FollowTheListOrderNotTheOrderOfSelection)
{
    TextRows rows = FileRows({"c.txt", "a.txt", "d.txt", "b.txt"});
    rows.SetSelected(3, true);
    rows.SetSelected(0, true);
    rows.SetSelected(1, true);
    EXPECT_EQ(SelectedFilePaths(rows, "/data/"),
              (std::vector<std::string>{"/data/c.txt", "/data/a.txt", "/data/b.txt"}));

    // The same files after a re-sort by name: the list's new order decides.
    TextRows sorted = FileRows({"a.txt", "b.txt", "c.txt", "d.txt"});
    sorted.SetSelected(0, true);
    sorted.SetSelected(1, true);
    sorted.SetSelected(2, true);
    EXPECT_EQ(SelectedFilePaths(sorted, "/data/"),
              (std::vector<std::string>{"/data/a.txt", "/data/b.txt", "/data/c.txt"}));
    EXPECT_EQ(FirstSelectedFilePath(sorted, "/data/"), "/data/a.txt");
    EXPECT_EQ(SelectedRowCount(sorted), 3u);
}

TEST(SelectedFilePaths, NoneWithoutASelectedRow)
{
    const TextRows rows = FileRows({"a.txt", "b.txt"});
    EXPECT_TRUE(SelectedFilePaths(rows, "/data/").empty());
    EXPECT_FALSE(FirstSelectedFilePath(rows, "/data/").has_value());
    EXPECT_TRUE(FileClipboardTargets(SelectedFilePaths(rows, "/data/"), "/").empty());
}

TEST(DropFilesBlock, OnePathOfTwelveCharactersGivesThirtyFourBytes)
{
    const std::string block = DropFilesBlock({"/tmp/abc.txt"});
    ASSERT_EQ(block.size(), 34u);
    // pFiles 20 in little-endian order, then pt.x, pt.y, fNC and fWide all 0.
    EXPECT_EQ(block.substr(0, 20), "\x14\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"s);
    EXPECT_EQ(block.substr(20), "/tmp/abc.txt\0\0"s);
}

TEST(DropFilesBlock, PathsFollowEachOtherWithOneTrailingSlashRemoved)
{
    const std::vector<std::string> paths{"/data/a b.txt", "/data/sub/", "/data/x//"};
    EXPECT_EQ(FileListText(paths), "/data/a b.txt\0/data/sub\0/data/x/\0\0"s);
    EXPECT_EQ(DropFilesBlock(paths).substr(kDropFilesHeaderSize), FileListText(paths));
    // The text form keeps every path as it is.
    EXPECT_EQ(PathsTextForm(paths), "/data/a b.txt\r\n/data/sub/\r\n/data/x//\r\n");
}

TEST(DropFilesBlock, WideNamesCarryEveryCharacterInUtf16WithTheWideFlagSet)
{
    // "C:\é" and a name outside the basic plane, then one with a separator at its end.
    const std::string block =
        DropFilesBlock({"C:\\\xC3\xA9", "\xF0\x9F\x98\x80", "C:\\dir\\"}, DropListNames::Utf16);
    const std::string expected = "\x14\0\0\0"s + std::string(12, '\0') + "\x01\0\0\0"s +
                                 "C\0:\0\\\0\xE9\0\0\0"s + "\x3D\xD8\x00\xDE\0\0"s +
                                 "C\0:\0\\\0d\0i\0r\0\0\0"s + "\0\0"s;
    EXPECT_EQ(block, expected);
    // A name holding an unpaired surrogate (WTF-8) keeps it, and the 8-bit form is unchanged.
    EXPECT_EQ(DropFilesBlock({"\xED\xA0\xBD"}, DropListNames::Utf16).substr(20), "\x3D\xD8\0\0\0\0"s);
    EXPECT_EQ(DropFilesBlock({"/a"}, DropListNames::Bytes), DropFilesBlock({"/a"}));
}

TEST(PathsTextForm, EachPathEndsInCarriageReturnLineFeed)
{
    EXPECT_EQ(PathsTextForm({"/data/a.txt", "/data/b.txt"}), "/data/a.txt\r\n/data/b.txt\r\n");
}

TEST(FileUri, KeepsUnreservedBytesAndEncodesEveryOtherByteAsItIs)
{
    EXPECT_EQ(FileUri("/data/A-z_0.9~/x"), "file:///data/A-z_0.9~/x");
    EXPECT_EQ(FileUri("/data/two words.txt"), "file:///data/two%20words.txt");
    EXPECT_EQ(FileUri("/data/100%#1?.txt"), "file:///data/100%25%231%3F.txt");
    EXPECT_EQ(FileUri("/data/caf\xC3\xA9.txt"), "file:///data/caf%C3%A9.txt");
    // A Latin-1 name is not UTF-8; its byte survives unchanged.
    EXPECT_EQ(FileUri("/data/\xE9t\xFF.txt"), "file:///data/%E9t%FF.txt");
    EXPECT_EQ(FileUri("/data/a+b,c;d'e\"f"), "file:///data/a%2Bb%2Cc%3Bd%27e%22f");
}

TEST(FileClipboardTargets, OfferEveryFormatForTheSamePaths)
{
    const std::vector<std::string> paths{"/data/two words.txt", "/data/caf\xC3\xA9.txt"};
    const auto targets = FileClipboardTargets(paths, "/");
    ASSERT_EQ(targets.size(), 5u);
    EXPECT_EQ(
        targets[0],
        (ClipboardTarget{"text/uri-list", "file:///data/two%20words.txt\r\nfile:///data/caf%C3%A9.txt\r\n"}));
    EXPECT_EQ(targets[1],
              (ClipboardTarget{"x-special/gnome-copied-files",
                               "copy\nfile:///data/two%20words.txt\nfile:///data/caf%C3%A9.txt"}));
    EXPECT_EQ(targets[2], (ClipboardTarget{"application/x-kde-cutselection", "0"}));
    EXPECT_EQ(targets[3],
              (ClipboardTarget{"text/plain", "/data/two words.txt\r\n/data/caf\xC3\xA9.txt\r\n"}));
    EXPECT_EQ(targets[4], (ClipboardTarget{"application/x-pellamy-dropfiles", DropFilesBlock(paths)}));
}

TEST(FileClipboardTargets, RelativePathsAreAbsoluteOnlyInTheUris)
{
    const std::vector<std::string> paths{"data/a.txt"};
    const auto targets = FileClipboardTargets(paths, "/home/user");
    ASSERT_EQ(targets.size(), 5u);
    EXPECT_EQ(targets[0].bytes, "file:///home/user/data/a.txt\r\n");
    EXPECT_EQ(targets[1].bytes, "copy\nfile:///home/user/data/a.txt");
    EXPECT_EQ(targets[3].bytes, "data/a.txt\r\n");
    EXPECT_EQ(targets[4].bytes.substr(kDropFilesHeaderSize), "data/a.txt\0\0"s);
    EXPECT_EQ(AbsolutePath("/etc/x", "/home/user/"), "/etc/x");
    EXPECT_EQ(AbsolutePath("x", "/home/user/"), "/home/user/x");
}

} // namespace
} // namespace pellamy
