// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/MountTable.h"

#include "../platform/TempFolder.h"
#include "platform/posix/FolderListing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sys/stat.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

// A desktop's mount table: root on btrfs, a home subvolume, a USB stick with a blank in its mount
// point, a disc, shares, RAM disks, container layers and the usual plumbing.
constexpr std::string_view kDesktopTable =
    "22 28 0:21 / /proc rw,relatime shared:12 - proc proc rw\n"
    "23 28 0:22 / /sys rw,relatime shared:2 - sysfs sysfs rw\n"
    "24 28 0:5 / /dev rw,relatime shared:8 - devtmpfs udev rw,size=8000000k\n"
    "26 28 0:24 / /run rw,nosuid,nodev shared:5 - tmpfs tmpfs rw,mode=755\n"
    "28 1 0:26 /@ / rw,relatime shared:1 - btrfs /dev/nvme0n1p2 rw,ssd,subvol=/@\n"
    "29 28 0:26 /@home /home rw,relatime shared:30 - btrfs /dev/nvme0n1p2 rw,ssd,subvol=/@home\n"
    "30 28 259:1 / /boot/efi rw,relatime shared:31 - vfat /dev/nvme0n1p1 rw,fmask=0077\n"
    "31 28 0:40 / /tmp rw,nosuid shared:32 - tmpfs tmpfs rw\n"
    "40 26 8:17 / /run/media/ann/MY\\040STICK rw,nosuid shared:60 - vfat /dev/sdb1 rw,uid=1000\n"
    "41 26 0:50 / /run/user/1000 rw shared:61 - tmpfs tmpfs rw,size=1600000k\n"
    "42 28 11:0 / /media/cdrom ro,relatime shared:62 - iso9660 /dev/sr0 ro\n"
    "43 28 0:51 / /mnt/share rw,relatime shared:63 - cifs //server/public rw,vers=3.1.1\n"
    "44 28 0:52 / /mnt/nfs rw,relatime shared:64 - nfs4 server:/export rw\n"
    "45 28 0:53 / /mnt/box rw,relatime shared:65 - fuse.sshfs ann@box: rw\n"
    "46 28 7:3 / /snap/core/123 ro,nodev shared:66 - squashfs /dev/loop3 ro\n"
    "47 28 0:54 / /var/lib/docker/overlay2/x/merged rw - overlay overlay rw,lowerdir=a\n"
    "48 29 0:26 /@home/ann/projects /srv/projects rw shared:30 - btrfs /dev/nvme0n1p2 rw,subvol=/@home\n"
    "49 28 259:1 / /mnt/efi-again rw,relatime shared:31 - vfat /dev/nvme0n1p1 rw\n"
    "50 28 252:0 / /mnt/zram rw - ext4 /dev/zram0 rw\n"
    "51 28 0:55 / /mnt/fuse rw - fuse.weird weird rw\n";

BlockDeviceFacts DesktopProbe(const MountRecord& m)
{
    BlockDeviceFacts facts;
    facts.Removable = m.Source == "/dev/sdb1";
    if (m.Source == "/dev/sdb1") {
        facts.Label = "MY STICK";
    } else if (m.Source == "/dev/sr0") {
        facts.Label = "HOLIDAY_2009";
    }
    return facts;
}

const Drive* Find(const std::vector<Drive>& drives, const std::string& root)
{
    const auto it =
        std::find_if(drives.begin(), drives.end(), [&](const Drive& d) { return d.Root == root; });
    return it == drives.end() ? nullptr : &*it;
}

TEST(MountTable, ParsesFieldsAndUndoesOctalEscapes)
{
    const auto mounts = ParseMountInfo(
        "40 26 8:17 / /run/media/ann/MY\\040STICK rw master:3 shared:60 - vfat /dev/sdb1 rw,uid=1000\n"
        "bad line\n"
        "41 26 x:1 / /y rw - tmpfs tmpfs rw\n"
        "42 26 0:9 /a\\134b /tab\\011here rw - ext4 /dev/sda1\n");
    ASSERT_EQ(mounts.size(), 2U);
    EXPECT_EQ(mounts[0].Major, 8U);
    EXPECT_EQ(mounts[0].Minor, 17U);
    EXPECT_EQ(mounts[0].MountPoint, "/run/media/ann/MY STICK");
    EXPECT_EQ(mounts[0].FsType, "vfat");
    EXPECT_EQ(mounts[0].Source, "/dev/sdb1");
    EXPECT_EQ(mounts[0].SuperOptions, "rw,uid=1000");
    EXPECT_EQ(mounts[1].Root, "/a\\b");
    EXPECT_EQ(mounts[1].MountPoint, "/tab\there");
    EXPECT_EQ(mounts[1].SuperOptions, "");
    EXPECT_EQ(UnescapeMountField("a\\04b\\0"), "a\\04b\\0");
}

TEST(MountTable, KindsAndExclusionsOfADesktop)
{
    const auto drives = DrivesFromMounts(ParseMountInfo(kDesktopTable), DesktopProbe);
    std::vector<std::string> roots;
    for (const Drive& d : drives) {
        roots.push_back(d.Root);
    }
    const std::vector<std::string> expected{
        "/",         "/boot/efi", "/home",      "/media/cdrom", "/mnt/box",
        "/mnt/fuse", "/mnt/nfs",  "/mnt/share", "/mnt/zram",    "/run/media/ann/MY STICK",
        "/tmp"};
    EXPECT_EQ(roots, expected);

    EXPECT_EQ(Find(drives, "/")->Kind, DriveKind::Fixed);
    EXPECT_EQ(Find(drives, "/home")->Kind, DriveKind::Fixed);
    EXPECT_EQ(Find(drives, "/boot/efi")->Kind, DriveKind::Fixed);
    EXPECT_EQ(Find(drives, "/media/cdrom")->Kind, DriveKind::CdRom);
    EXPECT_EQ(Find(drives, "/media/cdrom")->Label, "HOLIDAY_2009");
    EXPECT_EQ(Find(drives, "/mnt/share")->Kind, DriveKind::Remote);
    EXPECT_EQ(Find(drives, "/mnt/share")->Source, "//server/public");
    EXPECT_EQ(Find(drives, "/mnt/nfs")->Kind, DriveKind::Remote);
    EXPECT_EQ(Find(drives, "/mnt/box")->Kind, DriveKind::Remote);
    EXPECT_EQ(Find(drives, "/mnt/zram")->Kind, DriveKind::RamDisk);
    EXPECT_EQ(Find(drives, "/tmp")->Kind, DriveKind::RamDisk);
    EXPECT_EQ(Find(drives, "/mnt/fuse")->Kind, DriveKind::Unknown);
    const Drive* stick = Find(drives, "/run/media/ann/MY STICK");
    EXPECT_EQ(stick->Kind, DriveKind::Removable);
    EXPECT_EQ(stick->Label, "MY STICK");
}

TEST(MountTable, RootIsAlwaysADrive)
{
    // A container: the root is an overlay, and the table may lack it altogether.
    auto drives = DrivesFromMounts(ParseMountInfo("1 0 0:40 / / rw - overlay overlay rw\n"), {});
    ASSERT_EQ(drives.size(), 1U);
    EXPECT_EQ(drives[0].Root, "/");
    EXPECT_EQ(drives[0].Kind, DriveKind::Fixed);

    drives = DrivesFromMounts(ParseMountInfo("5 1 0:41 / /data rw - ext4 /dev/sdc1 rw\n"), {});
    ASSERT_EQ(drives.size(), 2U);
    EXPECT_EQ(drives[0].Root, "/");
    EXPECT_EQ(drives[1].Root, "/data");
    EXPECT_EQ(drives[1].Kind, DriveKind::Fixed);
}

TEST(MountTable, MountOverAMountPointHidesTheEarlierOne)
{
    const auto drives = DrivesFromMounts(ParseMountInfo("1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                                        "2 1 8:17 / /mnt/x rw - ext4 /dev/sdb1 rw\n"
                                                        "3 2 11:0 / /mnt/x ro - iso9660 /dev/sr0 ro\n"),
                                         {});
    ASSERT_EQ(drives.size(), 2U);
    EXPECT_EQ(drives[1].Root, "/mnt/x");
    EXPECT_EQ(drives[1].Kind, DriveKind::CdRom);
}

TEST(MountTable, DriveOfPathTakesTheDeepestRoot)
{
    const auto drives = DrivesFromMounts(ParseMountInfo(kDesktopTable), DesktopProbe);
    EXPECT_EQ(DriveOfPath(drives, "/")->Root, "/");
    EXPECT_EQ(DriveOfPath(drives, "/usr/lib")->Root, "/");
    EXPECT_EQ(DriveOfPath(drives, "/home")->Root, "/home");
    EXPECT_EQ(DriveOfPath(drives, "/home/ann/x")->Root, "/home");
    EXPECT_EQ(DriveOfPath(drives, "/homework")->Root, "/");
    EXPECT_EQ(DriveOfPath(drives, "/run/media/ann/MY STICK/a")->Root, "/run/media/ann/MY STICK");
    EXPECT_EQ(DriveOfPath(drives, "relative"), nullptr);
    EXPECT_EQ(DriveOfPath({}, "/x"), nullptr);
}

TEST(MountTable, TheRunningSystemHasARoot)
{
    const auto drives = ReadMountedDrives();
    ASSERT_FALSE(drives.empty());
    EXPECT_EQ(drives.front().Root, "/");
    for (const Drive& d : drives) {
        EXPECT_FALSE(d.Root.rfind("/proc", 0) == 0 || d.Root.rfind("/sys", 0) == 0) << d.Root;
    }
}

TEST(FolderListing, VisibleFoldersAndFiles)
{
    TempFolder temp;
    const fs::path& p = temp.Path();
    fs::create_directory(p / "beta");
    fs::create_directory(p / "Alpha");
    fs::create_directory(p / ".hidden");
    fs::create_directory_symlink(p / "beta", p / "link to beta");
    fs::create_symlink(p / "nowhere", p / "dangling");
    temp.Write("file.txt");
    temp.Write(".dotfile");
    ASSERT_EQ(::mkfifo((p / "pipe").c_str(), 0600), 0);

    std::error_code error;
    auto listing = ReadFolderListing(p.string(), true, &error);
    EXPECT_FALSE(error);
    std::sort(listing.Folders.begin(), listing.Folders.end());
    std::sort(listing.Files.begin(), listing.Files.end());
    EXPECT_EQ(listing.Folders, (std::vector<std::string>{"Alpha", "beta", "link to beta"}));
    EXPECT_EQ(listing.Files, (std::vector<std::string>{"dangling", "file.txt"}));

    listing = ReadFolderListing(p.string() + "/", false, &error);
    EXPECT_EQ(listing.Folders.size(), 3U);
    EXPECT_TRUE(listing.Files.empty());

    listing = ReadFolderListing((p / "missing").string(), true, &error);
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    EXPECT_TRUE(listing.Folders.empty());
}

} // namespace
} // namespace pellamy
