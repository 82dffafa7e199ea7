// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_APP_QT_NAVIGATOR_FIXEDDRIVES_H
#define PELLAMY_TESTS_APP_QT_NAVIGATOR_FIXEDDRIVES_H

#include "platform/Platform.h"
#include "shell/FolderSystem.h"

#include <functional>
#include <memory>
#include <utility>

namespace pellamy {

/// The system's folders with drives of the test's choosing: folders of a temporary directory play
/// the drives, while listings and the working folder are the real ones. The table is asked anew
/// each time, so that a test can mount and unmount drives.
class FixedDrives final : public FolderSystem
{
public:
    explicit FixedDrives(std::function<std::vector<Drive>()> drives)
        : m_drives(std::move(drives))
        , m_system(MakeFolderSystem())
    {}

    std::vector<Drive> MountedDrives() override { return m_drives(); }
    using FolderSystem::ReadFolderListing;
    FolderListing ReadFolderListing(const std::string& folder, bool withFiles, std::error_code& error) override
    {
        return m_system->ReadFolderListing(folder, withFiles, error);
    }
    bool IsFolder(const std::string& path) override { return m_system->IsFolder(path); }
    bool CanEnterFolder(const std::string& path) override { return m_system->CanEnterFolder(path); }
    bool SetWorkingFolder(const std::string& folder) override { return m_system->SetWorkingFolder(folder); }
    bool MakeFolders(const std::string& folder) override { return m_system->MakeFolders(folder); }
    std::string WorkingFolder() override { return m_system->WorkingFolder(); }

private:
    std::function<std::vector<Drive>()> m_drives;
    std::unique_ptr<FolderSystem> m_system;
};

} // namespace pellamy

#endif
