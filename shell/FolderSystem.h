// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_FOLDERSYSTEM_H
#define PELLAMY_SHELL_FOLDERSYSTEM_H

#include <stop_token>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace pellamy {

/// The kinds of drive the folder navigator and the select-folder dialog tell apart.
enum class DriveKind {
    Removable,
    Fixed,
    Remote,
    CdRom,
    RamDisk,
    Unknown,
};

/// A drive as the navigator shows it: a mounted file system whose mount point is the drive's root
/// ("/", "/media/stick"), or a Windows drive ("C:/").
struct Drive
{
    std::string Root;
    DriveKind Kind = DriveKind::Unknown;
    std::string Label;  ///< the volume label, empty when the file system has none
    std::string Source; ///< the mount source (for a remote drive, the share)
};

/// The visible entries of one folder, as the folder lists show them: names only, in the
/// directory's own order.
struct FolderListing
{
    std::vector<std::string> Folders; ///< sub-folders, links to folders included
    std::vector<std::string> Files;   ///< files and dangling links; filled only when asked for
};

/// The drive whose root holds `path` (the longest root that is `path` or one of its ancestors),
/// or nullptr when none does. `path` is absolute and without "." or ".." components.
const Drive* DriveOfPath(const std::vector<Drive>& drives, std::string_view path);

/// What the folder navigator and the select-folder dialog take from the system: the drives, the
/// folders' listings, and the process's working folder, which entering a folder changes. Paths
/// are absolute or relative to the working folder, with "/" between their parts; on POSIX systems
/// they are the file system's own bytes, whatever their encoding, so that a name that is not valid
/// UTF-8 is entered, tested and created exactly as it is stored; on Windows they are UTF-8.
class FolderSystem
{
public:
    virtual ~FolderSystem() = default;

    /// The drives mounted now, sorted by root. On POSIX systems "/" is always one of them.
    virtual std::vector<Drive> MountedDrives() = 0;

    /// The entries of `folder`, leaving out "." and "..", hidden entries and system entries
    /// (devices, FIFOs, sockets): the entries that a scan marks hidden or system. Files are listed
    /// only when `withFiles` is set. A folder that cannot be read gives an empty listing and its
    /// reason in `error`.
    virtual FolderListing ReadFolderListing(const std::string& folder, bool withFiles, std::error_code& error) = 0;

    /// The same, read on any thread, giving up (with what was read so far and `error` set to
    /// `operation_canceled`) once `stop` is requested. A system whose listings are quick ignores
    /// `stop`.
    virtual FolderListing ReadFolderListing(const std::string& folder, bool withFiles, std::error_code& error,
                                            std::stop_token stop)
    {
        static_cast<void>(stop);
        return ReadFolderListing(folder, withFiles, error);
    }

    /// Whether `path` names a folder (following links).
    virtual bool IsFolder(const std::string& path) = 0;

    /// Whether `path` names a folder that may be entered.
    virtual bool CanEnterFolder(const std::string& path) = 0;

    /// Makes `folder` the process's working folder. False when it is not a folder or cannot be
    /// entered (no access, no medium); the working folder then stays.
    virtual bool SetWorkingFolder(const std::string& folder) = 0;

    /// Creates `folder` together with every missing parent. False when a part could not be made.
    virtual bool MakeFolders(const std::string& folder) = 0;

    /// The process's working folder; empty when it cannot be read (it has been removed).
    virtual std::string WorkingFolder() = 0;
};

} // namespace pellamy

#endif
