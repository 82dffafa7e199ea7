// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_PLATFORM_MOUNTGUARD_H
#define PELLAMY_TESTS_PLATFORM_MOUNTGUARD_H

#include <filesystem>
#include <sys/mount.h>
#include <utility>

namespace pellamy {

/// Unmounts the file system a test mounted on `folder` on every way out of the test, before the
/// folder itself is removed.
class MountGuard
{
public:
    explicit MountGuard(std::filesystem::path folder)
        : m_folder(std::move(folder))
    {}
    MountGuard(const MountGuard&) = delete;
    MountGuard& operator=(const MountGuard&) = delete;
    ~MountGuard() { ::umount2(m_folder.c_str(), MNT_DETACH); }

private:
    std::filesystem::path m_folder;
};

} // namespace pellamy

#endif
