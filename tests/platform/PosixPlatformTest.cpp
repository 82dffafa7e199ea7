// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/Platform.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace pellamy {
namespace {

// Puts the working folder back after a test that enters folders.
class WorkingFolderGuard
{
public:
    WorkingFolderGuard()
        : m_start(std::filesystem::current_path())
    {}
    WorkingFolderGuard(const WorkingFolderGuard&) = delete;
    WorkingFolderGuard& operator=(const WorkingFolderGuard&) = delete;
    ~WorkingFolderGuard()
    {
        std::error_code ignored;
        std::filesystem::current_path(m_start, ignored);
    }

private:
    std::filesystem::path m_start;
};

TEST(PosixPlatform, FoldersAreMadeEnteredAndListedThroughTheBundle)
{
    const WorkingFolderGuard guard;
    const TempFolder temp;
    const std::unique_ptr<Platform> platform = MakePlatform();
    FolderSystem& folders = platform->Folders();
    const std::string base = temp.Path().string();

    ASSERT_TRUE(folders.MakeFolders(base + "/new/deeper/deepest"));
    EXPECT_TRUE(folders.IsFolder(base + "/new/deeper"));
    EXPECT_TRUE(folders.CanEnterFolder(base + "/new/deeper/deepest"));
    temp.Write("new/plain.txt");
    temp.Write("new/.hidden");
    EXPECT_FALSE(folders.IsFolder(base + "/new/plain.txt"));
    EXPECT_FALSE(folders.SetWorkingFolder(base + "/new/plain.txt"));

    ASSERT_TRUE(folders.SetWorkingFolder(base + "/new"));
    EXPECT_EQ(std::filesystem::path(folders.WorkingFolder()), std::filesystem::canonical(base + "/new"));

    // Relative to the working folder just entered; hidden names left out.
    std::error_code error;
    FolderListing listing = folders.ReadFolderListing(".", true, error);
    EXPECT_FALSE(error);
    EXPECT_EQ(listing.Folders, std::vector<std::string>{"deeper"});
    EXPECT_EQ(listing.Files, std::vector<std::string>{"plain.txt"});

    listing = folders.ReadFolderListing(base + "/missing", true, error);
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    EXPECT_TRUE(listing.Folders.empty() && listing.Files.empty());
}

TEST(PosixPlatform, TheBundleHasEveryPartOfThisSystem)
{
    const std::unique_ptr<Platform> platform = MakePlatform();
    EXPECT_NE(platform->Tree(), nullptr) << "trees are walked on Linux";
    const std::vector<Drive> drives = platform->Folders().MountedDrives();
    EXPECT_TRUE(std::any_of(drives.begin(), drives.end(), [](const Drive& d) { return d.Root == "/"; }));
    EXPECT_EQ(std::filesystem::path(platform->ProgramPath()), std::filesystem::canonical("/proc/self/exe"));
    EXPECT_NE(platform->Registration(), nullptr);
}

} // namespace
} // namespace pellamy
