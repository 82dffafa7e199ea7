// SPDX-License-Identifier: GPL-3.0-or-later
// The folder navigator's rules over folders in memory: the rows, setting the folder, the drive box
// following it, and picking drives, with Windows drive letters and with POSIX mount points.
#include "window/FolderNavigation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace pellamy {
namespace {

// Orders names without regard to ASCII case, as a locale's collation does for these names.
class CaselessCollator final : public TextCollator
{
public:
    int Compare(std::string_view a, std::string_view b) const override
    {
        const auto lower = [](std::string_view text) {
            std::string folded(text);
            std::transform(folded.begin(), folded.end(), folded.begin(),
                           [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
            return folded;
        };
        return lower(a).compare(lower(b));
    }
};

// Folders by path, in memory. Paths are compared as the navigator cleans them: a Windows system
// (drive letters) matches them without regard to case.
class MemoryFolders final : public FolderSystem
{
public:
    std::vector<Drive> DriveTable;
    std::set<std::string> Folders;
    std::set<std::string> Hidden;    ///< folders that listings leave out
    std::set<std::string> Shut;      ///< folders that cannot be entered
    std::map<std::string, std::vector<std::string>> Files;
    std::string Working;
    int Enters = 0;

    std::vector<Drive> MountedDrives() override { return DriveTable; }

    using FolderSystem::ReadFolderListing;
    FolderListing ReadFolderListing(const std::string& folder, bool withFiles, std::error_code&) override
    {
        FolderListing listing;
        const std::string prefix = folder.back() == '/' ? folder : folder + '/';
        for (const std::string& path : Folders) {
            if (path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
                path.find('/', prefix.size()) == std::string::npos && Hidden.count(path) == 0) {
                listing.Folders.push_back(path.substr(prefix.size()));
            }
        }
        if (withFiles) {
            listing.Files = Files[folder];
        }
        return listing;
    }
    bool IsFolder(const std::string& path) override { return Find(path) != nullptr; }
    bool CanEnterFolder(const std::string& path) override { return IsFolder(path) && Shut.count(path) == 0; }
    bool SetWorkingFolder(const std::string& folder) override
    {
        const std::string* found = Find(folder);
        if (found == nullptr || Shut.count(*found) != 0) {
            return false;
        }
        ++Enters;
        Working = folder;
        return true;
    }
    bool MakeFolders(const std::string&) override { return false; }
    std::string WorkingFolder() override { return Working; }

private:
    const std::string* Find(const std::string& path)
    {
        for (const std::string& folder : Folders) {
            if (FolderNavigation::SameFolder(folder, path)) {
                return &folder;
            }
        }
        return nullptr;
    }
};

std::vector<std::string> Names(const FolderNavigation& navigation)
{
    std::vector<std::string> names;
    for (const FolderRow& row : navigation.Rows()) {
        names.push_back(row.Name);
    }
    return names;
}

// C: and D: fixed, E: a CD-ROM drive without a disc, N: a network drive, R: a RAM disk the drive
// box leaves out.
class WindowsDrives : public ::testing::Test
{
protected:
    WindowsDrives()
    {
        m_folders.DriveTable = {{"C:/", DriveKind::Fixed, "System", {}},
                                {"D:/", DriveKind::Fixed, {}, {}},
                                {"E:/", DriveKind::CdRom, {}, {}},
                                {"N:/", DriveKind::Remote, {}, "\\\\server\\share"},
                                {"R:/", DriveKind::RamDisk, "Ram", {}}};
        m_folders.Folders = {"C:/", "C:/Program Files", "C:/Program Files/alpha", "C:/Program Files/Beta",
                             "C:/Program Files/Beta/inner", "C:/Program Files/gamma", "C:/Program Files/.git",
                             "C:/Program Files/Zulu", "C:/zeta", "D:/", "D:/data", "D:/data/deeper", "E:/",
                             "N:/", "R:/", "R:/ramdata"};
        m_folders.Hidden = {"C:/Program Files/.git"};
        m_folders.Shut = {"E:/"};
        m_folders.Working = "C:/Program Files";
    }

    MemoryFolders m_folders;
    CaselessCollator m_collator;
};

TEST_F(WindowsDrives, RowsAreTheChainTheOpenFolderAndItsVisibleSubFoldersInOrder)
{
    FolderNavigation navigation(m_folders, m_collator);
    EXPECT_EQ(navigation.Directory(), "C:/Program Files");
    EXPECT_EQ(Names(navigation),
              (std::vector<std::string>{"C:/", "Program Files", "alpha", "Beta", "gamma", "Zulu"}));
    EXPECT_EQ(navigation.OpenRow(), 1u);
    EXPECT_EQ(navigation.Rows()[0], (FolderRow{"C:/", "C:/", 0, FolderRow::Kind::Chain}));
    EXPECT_EQ(navigation.Rows()[1], (FolderRow{"C:/Program Files", "Program Files", 1, FolderRow::Kind::Open}));
    EXPECT_EQ(navigation.Rows()[3], (FolderRow{"C:/Program Files/Beta", "Beta", 2, FolderRow::Kind::Sub}));
    EXPECT_EQ(navigation.SelectedDrive(), "C:/");

    // Deeper down: one chain row per ancestor; a trailing backslash is dropped.
    EXPECT_TRUE(navigation.SetDirectory("C:\\Program Files\\Beta\\inner\\"));
    EXPECT_EQ(navigation.Directory(), "C:/Program Files/Beta/inner");
    EXPECT_EQ(m_folders.Working, "C:/Program Files/Beta/inner");
    EXPECT_EQ(Names(navigation), (std::vector<std::string>{"C:/", "Program Files", "Beta", "inner"}));
    EXPECT_EQ(navigation.OpenRow(), 3u);
    EXPECT_EQ(navigation.Rows()[3].Depth, 3);

    // A root keeps its separator and shows only its own row above its sub-folders.
    EXPECT_TRUE(navigation.SetDirectory("c:"));
    EXPECT_EQ(navigation.Directory(), "C:/");
    EXPECT_EQ(Names(navigation), (std::vector<std::string>{"C:/", "Program Files", "zeta"}));
    EXPECT_EQ(navigation.OpenRow(), 0u);
    EXPECT_EQ(navigation.Rows()[0].Role, FolderRow::Kind::Open);
    EXPECT_EQ(navigation.Rows()[1].Depth, 1);
}

TEST_F(WindowsDrives, SubFoldersReadApartJoinTheRowsOfTheOpeningTheyWereReadFor)
{
    FolderNavigation navigation(m_folders, m_collator);
    navigation.ReadSubFoldersApart(true);
    ASSERT_TRUE(navigation.SetDirectory("C:/Program Files/Beta"));
    // The chain shows at once; the sub-folders are awaited.
    EXPECT_EQ(Names(navigation), (std::vector<std::string>{"C:/", "Program Files", "Beta"}));
    EXPECT_EQ(navigation.AwaitedFolder(), "C:/Program Files/Beta");
    const std::uint64_t beta = navigation.Opening();
    const auto read = FolderNavigation::SortedSubFolders(m_folders, m_collator, navigation.AwaitedFolder());

    // A reading that comes after another folder was opened is left out.
    ASSERT_TRUE(navigation.SetDirectory("C:/"));
    EXPECT_FALSE(navigation.ShowSubFolders(beta, read));
    EXPECT_EQ(Names(navigation), (std::vector<std::string>{"C:/"}));
    EXPECT_TRUE(navigation.ShowSubFolders(navigation.Opening(),
                                          FolderNavigation::SortedSubFolders(m_folders, m_collator, "C:/")));
    EXPECT_EQ(Names(navigation), (std::vector<std::string>{"C:/", "Program Files", "zeta"}));
    EXPECT_EQ(navigation.AwaitedFolder(), "");
    EXPECT_EQ(navigation.OpenRow(), 0u);
    // Brought once, a reading is not taken again.
    EXPECT_FALSE(navigation.ShowSubFolders(navigation.Opening(), {"again"}));
}

TEST_F(WindowsDrives, WhatNamesNoFolderOnADriveOrTheOpenFolderChangesNothing)
{
    FolderNavigation navigation(m_folders, m_collator);
    const int enters = m_folders.Enters;
    for (const char* ignored : {"", "C:/Program Files", "c:\\program files\\", "C:/./Program Files",
                                "relative\\folder", "\\\\server\\share", "\\", "/Program Files"}) {
        EXPECT_FALSE(navigation.SetDirectory(ignored)) << ignored;
        EXPECT_EQ(navigation.Directory(), "C:/Program Files");
    }
    EXPECT_EQ(m_folders.Enters, enters);

    // A missing folder on the same drive leaves the list where it was.
    navigation.SetDirectory("C:/Program Files/missing");
    EXPECT_EQ(navigation.Directory(), "C:/Program Files");
    EXPECT_EQ(navigation.Rows().size(), 6u);

    // ".." is resolved before the folder is entered.
    navigation.SetDirectory("C:/Program Files/alpha/../gamma");
    EXPECT_EQ(navigation.Directory(), "C:/Program Files/gamma");
}

TEST_F(WindowsDrives, AnotherDriveMovesTheDriveBoxAndAnUnlistedOneDoesNot)
{
    FolderNavigation navigation(m_folders, m_collator);
    EXPECT_TRUE(navigation.SetDirectory("d:\\data\\"));
    EXPECT_EQ(navigation.Directory(), "D:/data");
    EXPECT_EQ(navigation.SelectedDrive(), "D:/");
    EXPECT_EQ(Names(navigation), (std::vector<std::string>{"D:/", "data", "deeper"}));

    // A missing folder on another listed drive ends at that drive's root.
    navigation.SetDirectory("C:/Program Files");
    navigation.SetDirectory("D:/missing");
    EXPECT_EQ(navigation.Directory(), "D:/");
    EXPECT_EQ(navigation.SelectedDrive(), "D:/");

    // A RAM disk is entered directly; the box keeps its selection.
    navigation.SetDirectory("R:/ramdata");
    EXPECT_EQ(navigation.Directory(), "R:/ramdata");
    EXPECT_EQ(Names(navigation), (std::vector<std::string>{"R:/", "ramdata"}));
    EXPECT_EQ(navigation.SelectedDrive(), "D:/");

    // A drive without a medium: the list stays where it was.
    navigation.SetDirectory("E:/");
    EXPECT_EQ(navigation.Directory(), "R:/ramdata");
}

TEST_F(WindowsDrives, AVanishedFolderFallsBackToTheNearestAncestor)
{
    FolderNavigation navigation(m_folders, m_collator);
    navigation.SetDirectory("C:/Program Files/Beta/inner");
    m_folders.Folders.erase("C:/Program Files/Beta/inner");
    m_folders.Folders.erase("C:/Program Files/Beta");
    navigation.SetDirectory("C:/Program Files/Beta/inner/missing");
    EXPECT_EQ(navigation.Directory(), "C:/Program Files");
    const std::vector<std::string> names = Names(navigation);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Beta"), 0);
}

TEST_F(WindowsDrives, PickingADriveEntersItsRootOrReturnsToTheOpenFoldersDrive)
{
    FolderNavigation navigation(m_folders, m_collator);
    std::vector<std::string> listed;
    for (const Drive& drive : navigation.ListedDrives()) {
        listed.push_back(drive.Root);
    }
    EXPECT_EQ(listed, (std::vector<std::string>{"C:/", "D:/", "E:/", "N:/"}));

    EXPECT_EQ(navigation.PickDrive("C:/"), FolderNavigation::DrivePick::Same);
    EXPECT_EQ(navigation.Directory(), "C:/Program Files");

    EXPECT_EQ(navigation.PickDrive("D:/"), FolderNavigation::DrivePick::Entered);
    EXPECT_EQ(navigation.Directory(), "D:/");
    EXPECT_EQ(navigation.SelectedDrive(), "D:/");
    EXPECT_EQ(Names(navigation), (std::vector<std::string>{"D:/", "data"}));

    EXPECT_EQ(navigation.PickDrive("E:/"), FolderNavigation::DrivePick::Refused);
    EXPECT_EQ(navigation.Directory(), "D:/");
    EXPECT_EQ(navigation.SelectedDrive(), "D:/");
    EXPECT_EQ(m_folders.Working, "D:/");

    // On a drive the box does not list, a refused pick returns to the drive shown before.
    navigation.SetDirectory("R:/ramdata");
    EXPECT_EQ(navigation.PickDrive("E:/"), FolderNavigation::DrivePick::Refused);
    EXPECT_EQ(navigation.SelectedDrive(), "D:/");
    EXPECT_EQ(navigation.Directory(), "R:/ramdata");
}

TEST_F(WindowsDrives, VolumesArrivingAndLeavingRebuildTheDrivesAndKeepTheFolder)
{
    FolderNavigation navigation(m_folders, m_collator);
    navigation.SetDirectory("D:/data");
    m_folders.DriveTable.push_back({"F:/", DriveKind::Removable, {}, {}});
    navigation.RefreshDrives();
    EXPECT_EQ(navigation.ListedDrives().size(), 5u);
    EXPECT_EQ(navigation.SelectedDrive(), "D:/");

    // The open folder's drive has gone: the box keeps what it showed while it can, the list stays.
    m_folders.DriveTable.erase(m_folders.DriveTable.begin() + 1);
    navigation.RefreshDrives();
    EXPECT_EQ(navigation.SelectedDrive(), "C:/");
    EXPECT_EQ(navigation.Directory(), "D:/data");
}

TEST(FolderNavigationPaths, CleanPathsKeepTheirFormAndDropWhatNamesNoDrive)
{
    EXPECT_EQ(FolderNavigation::CleanPath("c:\\Program Files\\\\x\\..\\"), "C:/Program Files");
    EXPECT_EQ(FolderNavigation::CleanPath("C:/.."), "C:/");
    EXPECT_EQ(FolderNavigation::CleanPath("/usr//share/./doc/"), "/usr/share/doc");
    EXPECT_EQ(FolderNavigation::CleanPath("/a\\b"), "/a\\b");
    EXPECT_EQ(FolderNavigation::CleanPath("/"), "/");
    EXPECT_EQ(FolderNavigation::CleanPath("\\\\server\\share"), "");
    EXPECT_EQ(FolderNavigation::CleanPath("1:/x"), "");
    EXPECT_TRUE(FolderNavigation::SameFolder("C:/Program Files", "C:/PROGRAM files"));
    EXPECT_FALSE(FolderNavigation::SameFolder("/usr/Share", "/usr/share"));
}

TEST(FolderNavigationPaths, ClassicDriveTextsNameTheLetterAndTheLabelOrShare)
{
    EXPECT_EQ(ClassicDriveText({"C:/", DriveKind::Fixed, "System", {}}), "c: [System]");
    EXPECT_EQ(ClassicDriveText({"D:/", DriveKind::Fixed, {}, {}}), "d:");
    EXPECT_EQ(ClassicDriveText({"E:/", DriveKind::CdRom, "DISC", {}}), "e: [DISC]");
    EXPECT_EQ(ClassicDriveText({"R:/", DriveKind::RamDisk, "Ram", {}}), "r: [Ram]");
    EXPECT_EQ(ClassicDriveText({"A:/", DriveKind::Removable, "Stick", {}}), "a:");
    EXPECT_EQ(ClassicDriveText({"N:/", DriveKind::Remote, "Shared", "\\\\server\\share"}), "n: \\\\server\\share");
    EXPECT_EQ(ClassicDriveText({"/media/stick", DriveKind::Removable, {}, {}}), "/media/stick");
}

// POSIX systems: "/" and the mount points below it play the drives.
TEST(FolderNavigationPosix, MountPointsAreDriveRootsAndDepthsCountFromThem)
{
    MemoryFolders folders;
    folders.DriveTable = {{"/", DriveKind::Fixed, {}, {}}, {"/media/stick", DriveKind::Removable, {}, {}}};
    folders.Folders = {"/", "/home", "/home/user", "/media", "/media/stick", "/media/stick/photos",
                       "/media/stick/photos/2024"};
    folders.Working = "/home/user/";
    CaselessCollator collator;
    FolderNavigation navigation(folders, collator);
    EXPECT_EQ(navigation.Directory(), "/home/user");
    EXPECT_EQ(Names(navigation), (std::vector<std::string>{"/", "home", "user"}));
    EXPECT_EQ(navigation.SelectedDrive(), "/");

    EXPECT_TRUE(navigation.SetDirectory("/media/stick/photos"));
    EXPECT_EQ(Names(navigation), (std::vector<std::string>{"/media/stick", "photos", "2024"}));
    EXPECT_EQ(navigation.Rows()[2], (FolderRow{"/media/stick/photos/2024", "2024", 2, FolderRow::Kind::Sub}));
    EXPECT_EQ(navigation.SelectedDrive(), "/media/stick");

    EXPECT_FALSE(navigation.SetDirectory("C:/Windows"));
    EXPECT_EQ(navigation.PickDrive("/"), FolderNavigation::DrivePick::Entered);
    EXPECT_EQ(Names(navigation), (std::vector<std::string>{"/", "home", "media"}));
}

} // namespace
} // namespace pellamy
