// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_PLATFORM_TMPFSFOLDER_H
#define PELLAMY_TESTS_PLATFORM_TMPFSFOLDER_H

#include "platform/TempFolder.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace pellamy {

/// A small tmpfs mounted on a fresh temporary folder, for what other file systems refuse: files
/// that claim up to 2^63 - 1 bytes and times far outside 1901 to 2446; and for trees of thousands
/// of folders, which a disk takes seconds to make and remove. `size` is the mount's size option.
/// Mounting needs root; `Mounted()` says whether it worked and `Reason()` why not (the folder is
/// then an ordinary temporary folder).
class TmpfsFolder
{
public:
    explicit TmpfsFolder(const std::string& size = "64k")
    {
        if (::geteuid() != 0) {
            m_reason = "mounting a tmpfs needs root";
            return;
        }
        if (::mount("tmpfs", m_folder.Path().c_str(), "tmpfs", 0, ("size=" + size).c_str()) != 0) {
            m_reason = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
            return;
        }
        m_mounted = true;
    }
    TmpfsFolder(const TmpfsFolder&) = delete;
    TmpfsFolder& operator=(const TmpfsFolder&) = delete;
    ~TmpfsFolder()
    {
        if (m_mounted) {
            ::umount2(m_folder.Path().c_str(), MNT_DETACH);
        }
    }

    bool Mounted() const { return m_mounted; }
    const std::string& Reason() const { return m_reason; }
    const std::filesystem::path& Path() const { return m_folder.Path(); }

private:
    TempFolder m_folder;
    bool m_mounted = false;
    std::string m_reason;
};

} // namespace pellamy

#endif
