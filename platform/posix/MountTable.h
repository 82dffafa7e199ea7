// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_MOUNTTABLE_H
#define PELLAMY_PLATFORM_POSIX_MOUNTTABLE_H

#include "shell/FolderSystem.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

/// One line of `/proc/self/mountinfo`, with the octal escapes of its text fields undone.
struct MountRecord
{
    unsigned Major = 0;
    unsigned Minor = 0;
    std::string Root;       ///< the folder of the file system that is mounted ("/" for all of it)
    std::string MountPoint; ///< where it is mounted
    std::string FsType;     ///< file-system type, subtype included ("fuse.sshfs")
    std::string Source;     ///< mount source: a device path, a share, or a name
    std::string SuperOptions;
};

/// What the system knows of the block device behind a mount.
struct BlockDeviceFacts
{
    bool Removable = false;
    std::string Label;
};

/// Answers for the block device of one mount; called only for mounts whose source is a device.
using BlockDeviceProbe = std::function<BlockDeviceFacts(const MountRecord&)>;

/// The text of a mountinfo field with its octal escapes ("\040" for a blank) undone.
std::string UnescapeMountField(std::string_view field);

/// Parses the text of `/proc/self/mountinfo`. Lines that do not have the expected fields are
/// skipped.
std::vector<MountRecord> ParseMountInfo(std::string_view text);

/// The drives among `mounts`, sorted by root. "/" is always one of them (a fixed drive unless its
/// line says otherwise). Left out: bind mounts of a sub-folder, a second mount of the same file
/// system, every earlier mount on a mount point mounted over, pseudo file systems, and whatever
/// lies under /proc, /sys, /dev and /run (except /run/media). Kinds: nfs, cifs, smb3, sshfs and 9p
/// are remote; iso9660 and udf CD-ROM; tmpfs, ramfs and zram devices RAM disks; other devices
/// removable when `probe` says so, else fixed; anything else unknown.
std::vector<Drive> DrivesFromMounts(const std::vector<MountRecord>& mounts, const BlockDeviceProbe& probe);

/// The drives of the running system, from `/proc/self/mountinfo` and the removable flags and
/// labels of `/sys/dev/block` and `/dev/disk/by-label`. When the mount table cannot be read the
/// answer is "/" alone.
std::vector<Drive> ReadMountedDrives();

} // namespace pellamy

#endif
