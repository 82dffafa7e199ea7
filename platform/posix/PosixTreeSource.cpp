// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixTreeSource.h"

#include "platform/posix/DirectoryRecords.h"
#include "platform/posix/StatxAttributes.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <memory>
#include <sys/syscall.h>
#include <sys/sysmacros.h>

namespace pellamy {
namespace {

// Folders of a tree are mostly small; a buffer this size reads a few thousand names per call.
constexpr std::size_t kDirBufferSize = 128 * 1024;
constexpr int kFolderOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
constexpr unsigned kTreeStatMask = kEntryStatMask | STATX_NLINK | STATX_INO;

std::error_code LastError()
{
    return {errno, std::system_category()};
}

// Looking up "." needs the same search permission as looking up any entry, so a folder that can be
// listed but whose entries cannot be examined fails here, before a single name is handed on.
std::error_code ReadIdentity(int fd, FolderIdentity& identity)
{
    struct statx sx
    {};
    if (::statx(fd, ".", AT_NO_AUTOMOUNT, STATX_TYPE | STATX_INO, &sx) != 0) {
        return LastError();
    }
    identity.Device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    identity.Inode = sx.stx_ino;
    identity.IsMountRoot = (sx.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 &&
                           (sx.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
    return {};
}

// One buffer per reading thread, kept for the thread's life: folders are read by the thousand.
char* DirBuffer()
{
    // 8-byte aligned, since the kernel writes records with 64-bit fields into it.
    thread_local std::unique_ptr<std::uint64_t[]> storage(new std::uint64_t[kDirBufferSize / 8]);
    return reinterpret_cast<char*>(storage.get());
}

} // namespace

std::error_code PosixTreeSource::OpenRoot(const std::string& folder, FolderIdentity& identity)
{
    const std::string path = folder.empty() ? std::string(".") : folder;
    UniqueFd fd(::open(path.c_str(), kFolderOpenFlags));
    if (!fd.Valid()) {
        return LastError();
    }
    if (const std::error_code error = ReadIdentity(fd.Get(), identity)) {
        return error;
    }
    m_root = std::move(fd);
    return {};
}

UniqueFd PosixTreeSource::OpenBelowRoot(const std::string& relativePath)
{
    if (relativePath.empty()) {
        return UniqueFd(::openat(m_root.Get(), ".", kFolderOpenFlags));
    }
    if (!m_noOpenat2.load(std::memory_order_relaxed)) {
        struct open_how how
        {};
        how.flags = kFolderOpenFlags | O_NOFOLLOW;
        how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
        const long fd = ::syscall(SYS_openat2, m_root.Get(), relativePath.c_str(), &how, sizeof how);
        if (fd >= 0) {
            return UniqueFd(static_cast<int>(fd));
        }
        if (errno == ENOSYS || errno == EPERM) {
            // No openat2 here (an older kernel, or a sandbox that filters it).
            m_noOpenat2.store(true, std::memory_order_relaxed);
        } else if (errno != ENAMETOOLONG) {
            return UniqueFd();
        }
    }
    // One name at a time, none of them a link.
    UniqueFd fd(::openat(m_root.Get(), ".", kFolderOpenFlags));
    std::size_t start = 0;
    while (fd.Valid() && start < relativePath.size()) {
        std::size_t end = relativePath.find('/', start);
        if (end == std::string::npos) {
            end = relativePath.size();
        }
        const std::string name = relativePath.substr(start, end - start);
        fd = UniqueFd(::openat(fd.Get(), name.c_str(), kFolderOpenFlags | O_NOFOLLOW));
        start = end + 1;
    }
    return fd;
}

std::error_code PosixTreeSource::ReadFolder(const std::string& relativePath,
                                            const std::function<bool(const FolderIdentity&)>& enter,
                                            TreeFolderSink& sink)
{
    const UniqueFd fd = OpenBelowRoot(relativePath);
    if (!fd.Valid()) {
        return LastError();
    }
    FolderIdentity identity;
    if (const std::error_code error = ReadIdentity(fd.Get(), identity)) {
        return error;
    }
    if (!enter(identity)) {
        return {};
    }
    const int dirFd = fd.Get();
    char* buffer = DirBuffer();
    std::uint32_t position = 0;
    TreeEntryView view;
    for (;;) {
        const long n = ReadDirectoryRecords(dirFd, buffer, kDirBufferSize);
        if (n < 0) {
            return LastError();
        }
        if (n == 0) {
            return {};
        }
        for (long offset = 0; offset < n;) {
            const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
            offset += d->d_reclen;
            const char* name = d->d_name;
            if (IsDotOrDotDot(name)) {
                continue;
            }
            const std::uint32_t at = position++;
            const std::string_view nameView(name, std::strlen(name));
            if (d->d_type == DT_DIR) {
                sink.SubFolder(nameView, at);
                continue;
            }
            // A name of unknown type must be looked at to learn whether it is a folder.
            if (d->d_type != DT_UNKNOWN && !sink.WantsName(nameView)) {
                continue;
            }
            struct statx sx
            {};
            if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kTreeStatMask, &sx) != 0) {
                continue; // vanished since it was listed
            }
            if ((sx.stx_mode & S_IFMT) == S_IFDIR) {
                sink.SubFolder(nameView, at);
                continue;
            }
            if (d->d_type == DT_UNKNOWN && !sink.WantsName(nameView)) {
                continue;
            }
            DescribeStatx(sx, nameView, LinkTargetIsFolder(dirFd, name, sx), view.Entry);
            view.Entry.Name = nameView;
            view.Position = at;
            view.Device = makedev(sx.stx_dev_major, sx.stx_dev_minor);
            view.Inode = sx.stx_ino;
            view.Links = sx.stx_nlink;
            sink.File(view);
        }
    }
}

} // namespace pellamy
