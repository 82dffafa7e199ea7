// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32Clipboard.h"

#include "platform/win32/WideText.h"
#include "shell/ClipboardFiles.h"
#include "win32/Win32Process.h"
#include "win32/Win32TempFolder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace pellamy {
namespace {

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

// What the second program found on the clipboard, line by line.
std::vector<std::string> ReadBackByAnotherProgram(const Win32TempFolder& scratch)
{
    const std::wstring report = scratch / L"clipboard.txt";
    const ProcessResult run = RunProcess(
        L"\"" + BuildTreePath(PELLAMY_CLIPBOARD_READER) + L"\" \"" + report + L"\"", scratch.Path());
    EXPECT_EQ(run.ExitCode, 0u);
    std::vector<std::string> lines;
    std::istringstream in(Win32TempFolder::ReadFile(report));
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST(Win32Clipboard, AnotherProgramReadsTheDropListByteForByteAndEveryName)
{
    Win32TempFolder scratch;
    const std::vector<std::string> paths = {"C:\\data\\plain.txt", "C:\\data\\caf\xC3\xA9.txt",
                                            "C:\\data\\\xE6\x97\xA5\xE6\x9C\xAC.doc",
                                            "C:\\data\\\xF0\x9F\x98\x80 smile.png", "C:\\data\\folder\\"};
    ASSERT_TRUE(PutFilesOnClipboard(paths));
    const std::vector<std::string> lines = ReadBackByAnotherProgram(scratch);
    ASSERT_EQ(lines.size(), 8u);

    // The block may have been rounded up by the allocator; what lies beyond it is zero.
    const std::string expected = Hex(DropFilesBlock(paths, DropListNames::Utf16));
    ASSERT_GE(lines[0].size(), 6 + expected.size());
    EXPECT_EQ(lines[0].substr(6, expected.size()), expected);
    EXPECT_EQ(lines[0].find_first_not_of('0', 6 + expected.size()), std::string::npos);
    // The wide-names flag is set.
    EXPECT_EQ(lines[0].substr(6 + 32, 8), "01000000");

    EXPECT_EQ(lines[1], "count 5");
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(lines[2 + i], "file " + paths[i]);
    }
    // A path that ends in a separator stands without it in the drop list, with it in the text.
    EXPECT_EQ(lines[6], "file C:\\data\\folder");
    EXPECT_EQ(lines[7], "text " + Hex(PathsTextForm(paths)));
}

TEST(Win32Clipboard, NoPathLeavesTheClipboardAsItWas)
{
    Win32TempFolder scratch;
    ASSERT_TRUE(PutFilesOnClipboard({"C:\\kept.txt"}));
    EXPECT_FALSE(PutFilesOnClipboard({}));
    const std::vector<std::string> lines = ReadBackByAnotherProgram(scratch);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[2], "file C:\\kept.txt");
}

} // namespace
} // namespace pellamy
