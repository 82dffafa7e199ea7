// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_POSIXFOLDERSYSTEM_H
#define PELLAMY_PLATFORM_POSIX_POSIXFOLDERSYSTEM_H

#include "shell/FolderSystem.h"

namespace pellamy {

/// The folder navigator's drives and folders on Linux: the drives from the mount table
/// (`ReadMountedDrives`), listings read straight from the directory (`ReadFolderListing`), and
/// POSIX calls for the working folder. Paths are the file system's own bytes. Holds no state; the
/// working folder is the process's.
class PosixFolderSystem final : public FolderSystem
{
public:
    std::vector<Drive> MountedDrives() override;
    using FolderSystem::ReadFolderListing;
    FolderListing ReadFolderListing(const std::string& folder, bool withFiles, std::error_code& error) override;
    bool IsFolder(const std::string& path) override;
    bool CanEnterFolder(const std::string& path) override;
    bool SetWorkingFolder(const std::string& folder) override;
    bool MakeFolders(const std::string& folder) override;
    std::string WorkingFolder() override;
};

} // namespace pellamy

#endif
