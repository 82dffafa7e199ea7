// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_WIN32FOLDERSYSTEM_H
#define PELLAMY_PLATFORM_WIN32_WIN32FOLDERSYSTEM_H

#include "shell/FolderSystem.h"

namespace pellamy {

/// The folder navigator's drives and folders through the Windows API. The drives are the logical
/// drives, rooted at "X:/", with the kind `GetDriveTypeW` gives, the volume label, and for a
/// network drive the share it is connected to; a drive without a medium is listed without a
/// label, and never makes the system ask for a disc. Listings leave out entries with the hidden
/// or system attribute, as a scan marks them. Paths are UTF-8, with "/" or "\" between their
/// parts; the working folder comes back with "/". Holds no state.
class Win32FolderSystem final : public FolderSystem
{
public:
    std::vector<Drive> MountedDrives() override;
    FolderListing ReadFolderListing(const std::string& folder, bool withFiles, std::error_code& error) override;
    FolderListing ReadFolderListing(const std::string& folder, bool withFiles, std::error_code& error,
                                    std::stop_token stop) override;
    bool IsFolder(const std::string& path) override;
    bool CanEnterFolder(const std::string& path) override;
    bool SetWorkingFolder(const std::string& folder) override;
    bool MakeFolders(const std::string& folder) override;
    std::string WorkingFolder() override;
};

} // namespace pellamy

#endif
