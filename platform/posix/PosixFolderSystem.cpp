// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixFolderSystem.h"

#include "platform/posix/FolderAccess.h"
#include "platform/posix/FolderListing.h"
#include "platform/posix/MountTable.h"

namespace pellamy {

std::vector<Drive> PosixFolderSystem::MountedDrives()
{
    return ReadMountedDrives();
}

FolderListing PosixFolderSystem::ReadFolderListing(const std::string& folder, bool withFiles,
                                                   std::error_code& error)
{
    return pellamy::ReadFolderListing(folder, withFiles, &error);
}

bool PosixFolderSystem::IsFolder(const std::string& path)
{
    return pellamy::IsFolder(path);
}

bool PosixFolderSystem::CanEnterFolder(const std::string& path)
{
    return pellamy::CanEnterFolder(path);
}

bool PosixFolderSystem::SetWorkingFolder(const std::string& folder)
{
    return pellamy::SetWorkingFolder(folder);
}

bool PosixFolderSystem::MakeFolders(const std::string& folder)
{
    return pellamy::MakeFolders(folder);
}

std::string PosixFolderSystem::WorkingFolder()
{
    return pellamy::WorkingFolder();
}

} // namespace pellamy
