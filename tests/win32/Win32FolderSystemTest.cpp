// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Platform.h"
#include "platform/win32/WideText.h"
#include "win32/Win32TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pellamy {
namespace {

// The navigator's drives and folders through the Windows API, reached as the program reaches
// them: through the Platform.
class Win32FolderSystemTest : public ::testing::Test
{
protected:
    void SetUp() override { start = folders.WorkingFolder(); }
    void TearDown() override { folders.SetWorkingFolder(start); }

    // `name` inside the temporary folder, as the program writes paths.
    std::string In(const std::string& name) const { return base + "/" + name; }

    std::unique_ptr<Platform> platform = MakePlatform();
    FolderSystem& folders = platform->Folders();
    Win32TempFolder temp;
    std::string base = Utf8FromWide(temp.Path());
    std::string start;
};

TEST_F(Win32FolderSystemTest, FoldersAreMadeWithTheirParentsAndEntered)
{
    ASSERT_TRUE(folders.MakeFolders(In("new/deeper/\u00e9t\u00e9")));
    EXPECT_TRUE(folders.IsFolder(In("new/deeper")));
    EXPECT_TRUE(folders.IsFolder(base + "\\new\\deeper\\\u00e9t\u00e9"));
    EXPECT_TRUE(folders.CanEnterFolder(In("new/deeper/\u00e9t\u00e9")));
    temp.WriteFile(L"new\\plain.txt");
    EXPECT_FALSE(folders.IsFolder(In("new/plain.txt")));
    EXPECT_FALSE(folders.CanEnterFolder(In("missing")));
    EXPECT_FALSE(folders.MakeFolders(""));

    ASSERT_TRUE(folders.SetWorkingFolder(In("new/deeper/\u00e9t\u00e9")));
    const std::string working = folders.WorkingFolder();
    EXPECT_EQ(working.find('\\'), std::string::npos) << working;
    const std::string end = "/new/deeper/\u00e9t\u00e9";
    EXPECT_TRUE(working.size() > end.size() && working.compare(working.size() - end.size(), end.size(), end) == 0)
        << working;
    EXPECT_FALSE(folders.SetWorkingFolder(In("new/plain.txt")));
    EXPECT_EQ(folders.WorkingFolder(), working);
}

TEST_F(Win32FolderSystemTest, ListingsLeaveOutHiddenAndSystemEntries)
{
    ASSERT_TRUE(folders.MakeFolders(In("sub")));
    ASSERT_TRUE(folders.MakeFolders(In("secret")));
    ASSERT_TRUE(::SetFileAttributesW((temp / L"secret").c_str(), FILE_ATTRIBUTE_HIDDEN));
    temp.WriteFile(L"a.txt");
    const std::wstring system = temp.WriteFile(L"boot.ini");
    ASSERT_TRUE(::SetFileAttributesW(system.c_str(), FILE_ATTRIBUTE_SYSTEM));

    std::error_code error;
    FolderListing listing = folders.ReadFolderListing(base, true, error);
    EXPECT_FALSE(error) << error.message();
    EXPECT_EQ(listing.Folders, std::vector<std::string>{"sub"});
    EXPECT_EQ(listing.Files, std::vector<std::string>{"a.txt"});

    listing = folders.ReadFolderListing(base + "/", false, error);
    EXPECT_EQ(listing.Folders, std::vector<std::string>{"sub"});
    EXPECT_TRUE(listing.Files.empty()) << "files only when asked for";

    listing = folders.ReadFolderListing(In("missing"), true, error);
    EXPECT_TRUE(error);
    EXPECT_TRUE(listing.Folders.empty() && listing.Files.empty());
}

TEST_F(Win32FolderSystemTest, DrivesAreTheLogicalDrivesWithTheSystemDriveFixed)
{
    const std::vector<Drive> drives = folders.MountedDrives();
    ASSERT_FALSE(drives.empty());
    EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end(),
                               [](const Drive& a, const Drive& b) { return a.Root < b.Root; }));
    for (const Drive& drive : drives) {
        EXPECT_EQ(drive.Root.size(), 3u);
        EXPECT_EQ(drive.Root.substr(1), ":/");
    }
    wchar_t windows[MAX_PATH + 1] = {};
    ASSERT_GT(::GetWindowsDirectoryW(windows, MAX_PATH + 1), 0u);
    const std::string systemRoot = Utf8FromWide(std::wstring{windows[0], L':', L'/'});
    // The program keeps paths with "/" between their parts.
    std::string windowsFolder = Utf8FromWide(windows);
    std::replace(windowsFolder.begin(), windowsFolder.end(), '\\', '/');
    const Drive* system = DriveOfPath(drives, windowsFolder);
    ASSERT_NE(system, nullptr);
    EXPECT_EQ(system->Root, systemRoot);
    EXPECT_EQ(system->Kind, DriveKind::Fixed);
    EXPECT_TRUE(folders.CanEnterFolder(system->Root));
}

TEST(Win32Platform, TheBundleHasEveryPartOfThisSystem)
{
    const std::unique_ptr<Platform> platform = MakePlatform();
    EXPECT_NE(platform->Tree(), nullptr) << "trees are walked on Windows";
    EXPECT_NE(platform->Registration(), nullptr);
    const std::string program = platform->ProgramPath();
    EXPECT_TRUE(program.size() > 4 && program.compare(program.size() - 4, 4, ".exe") == 0) << program;
}

} // namespace
} // namespace pellamy
