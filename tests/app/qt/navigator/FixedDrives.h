// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_APP_QT_NAVIGATOR_FIXEDDRIVES_H
#define PELLAMY_TESTS_APP_QT_NAVIGATOR_FIXEDDRIVES_H

#include "platform/Platform.h"
#include "shell/FolderSystem.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
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
        {
            std::unique_lock lock(m_holdMutex);
            m_released.wait(lock, [&] { return folder != m_held; });
        }
        return m_system->ReadFolderListing(folder, withFiles, error);
    }

    /// Listings of `folder` wait from now on until `Release`, as those of a slow network folder do.
    void Hold(const std::string& folder)
    {
        const std::lock_guard lock(m_holdMutex);
        m_held = folder;
    }
    void Release()
    {
        {
            const std::lock_guard lock(m_holdMutex);
            m_held.clear();
        }
        m_released.notify_all();
    }
    bool IsFolder(const std::string& path) override { return m_system->IsFolder(path); }
    bool CanEnterFolder(const std::string& path) override { return m_system->CanEnterFolder(path); }
    bool SetWorkingFolder(const std::string& folder) override { return m_system->SetWorkingFolder(folder); }
    bool MakeFolders(const std::string& folder) override { return m_system->MakeFolders(folder); }
    std::string WorkingFolder() override { return m_system->WorkingFolder(); }

private:
    std::mutex m_holdMutex;
    std::condition_variable m_released;
    std::string m_held;
    std::function<std::vector<Drive>()> m_drives;
    std::unique_ptr<FolderSystem> m_system;
};

} // namespace pellamy

#endif
