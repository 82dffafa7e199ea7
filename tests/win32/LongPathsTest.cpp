// SPDX-License-Identifier: GPL-3.0-or-later
// Paths of any length as the Windows API takes them.
#include "platform/win32/LongPaths.h"

#include <gtest/gtest.h>

#include <string>

namespace pellamy {
namespace {

const std::wstring kWorking = L"C:\\work\\here";

std::wstring Long(const std::wstring& path)
{
    return LongPathForm(path, kWorking);
}

TEST(LongPathForm, ShortPathsTakeTheirNormalFormAsWindowsMakesIt)
{
    EXPECT_EQ(Long(L"C:/data/a.txt"), L"C:\\data\\a.txt");
    EXPECT_EQ(Long(L"c:\\data\\\\sub\\"), L"C:\\data\\sub\\");
    EXPECT_EQ(Long(L"C:"), L"C:\\work\\here");
    EXPECT_EQ(Long(L"D:notes.txt"), L"D:\\notes.txt");
    EXPECT_EQ(Long(L"C:notes.txt"), L"C:\\work\\here\\notes.txt");
    // Relative to the working folder, "." and ".." resolved, never above the root.
    EXPECT_EQ(Long(L"report.csv"), L"C:\\work\\here\\report.csv");
    EXPECT_EQ(Long(L"..\\..\\..\\x\\.\\y"), L"C:\\x\\y");
    EXPECT_EQ(Long(L"\\top\\file"), L"C:\\top\\file");
    // A last name's trailing dots and blanks go; a name that ends in one dot loses it.
    EXPECT_EQ(Long(L"C:\\dir.\\name. . "), L"C:\\dir\\name");
    EXPECT_EQ(Long(L"C:\\dir\\...\\x"), L"C:\\dir\\...\\x");
    // Shares keep their server and share, ".." stopping there.
    EXPECT_EQ(Long(L"//server/share/a/../b"), L"\\\\server\\share\\b");
    EXPECT_EQ(Long(L"\\\\server\\share\\..\\.."), L"\\\\server\\share\\");
    EXPECT_EQ(LongPathForm(L"\\rooted", L"\\\\server\\share\\deep"), L"\\\\server\\share\\rooted");
}

TEST(LongPathForm, LongPathsTakeTheLongFormAndDevicesKeepTheirs)
{
    std::wstring deep = L"C:\\";
    while (deep.size() < 300) {
        deep += L"folder-of-a-long-name\\";
    }
    deep += L"file.txt";
    EXPECT_EQ(Long(deep), L"\\\\?\\" + deep);
    EXPECT_EQ(Long(L"//server/share/" + deep.substr(3)), L"\\\\?\\UNC\\server\\share\\" + deep.substr(3));
    // Relative and with "..": resolved before the prefix, which turns normalising off.
    EXPECT_EQ(Long(L"x\\..\\" + deep.substr(3)), L"\\\\?\\C:\\work\\here\\" + deep.substr(3));
    // Already in a long or device form: as it is.
    EXPECT_EQ(Long(L"\\\\?\\C:\\a\\..\\b"), L"\\\\?\\C:\\a\\..\\b");
    EXPECT_EQ(Long(L"\\\\.\\PhysicalDrive0"), L"\\\\.\\PhysicalDrive0");
    // A legacy device's name alone is the device; inside a path or with an extension it is a name.
    EXPECT_EQ(Long(L"CON"), L"\\\\.\\CON");
    EXPECT_EQ(Long(L"nul."), L"\\\\.\\nul");
    EXPECT_EQ(Long(L"COM1"), L"\\\\.\\COM1");
    EXPECT_EQ(Long(L"C:\\data\\CON.txt"), L"C:\\data\\CON.txt");
    EXPECT_EQ(Long(L"COM10"), L"C:\\work\\here\\COM10");
    EXPECT_EQ(Long(L""), L"");
}

TEST(LongPathForm, ShownPathsLoseThePrefixAndTakeSlashes)
{
    EXPECT_EQ(ShownPath(L"\\\\?\\C:\\a\\b"), "C:/a/b");
    EXPECT_EQ(ShownPath(L"\\\\?\\UNC\\server\\share\\x"), "//server/share/x");
    EXPECT_EQ(ShownPath(L"C:\\plain"), "C:/plain");
}

} // namespace
} // namespace pellamy
