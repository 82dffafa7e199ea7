// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixTreeSource.h"

#include "platform/posix/DirectoryRecords.h"
#include "platform/posix/StatxAttributes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>

namespace pellamy {
namespace {

// Folders of a tree are mostly small; a buffer this size reads a few thousand names per call.
constexpr std::size_t kDirBufferSize = 128 * 1024;
constexpr int kFolderOpenFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
constexpr unsigned kTreeStatMask = kEntryStatMask | STATX_NLINK | STATX_INO;

// Descriptors that holds may keep: up to kFreeHolds any folder keeps its own; up to kNearHolds a
// folder kNearNames below the nearest kept one keeps its own, so a folder is reopened along a path
// of a few dozen names at most (one call); beyond that, every kFarNames-th level still keeps one.
// All within half of the descriptors left free when the walk starts.
constexpr std::size_t kFreeHolds = 128;
constexpr std::size_t kNearHolds = 512;
constexpr std::size_t kNearNames = 32;
constexpr std::size_t kFarNames = 256;
constexpr std::size_t kMostDescriptors = std::size_t{1} << 20;

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

// The descriptors the process has open now; half of `limit` when /proc cannot tell.
std::size_t OpenDescriptors(std::size_t limit)
{
    DIR* dir = ::opendir("/proc/self/fd");
    if (dir == nullptr) {
        return limit / 2;
    }
    std::size_t count = 0;
    while (const dirent* d = ::readdir(dir)) {
        count += IsDotOrDotDot(d->d_name) ? 0 : 1;
    }
    ::closedir(dir);
    return count;
}

} // namespace

// A folder with sub-folders still to be read: its own descriptor, or the names that lead to it from
// its nearest ancestor that has one (the root when `Anchor` is empty).
class PosixTreeSource::Folder final : public TreeFolder
{
public:
    Folder(UniqueFd fd, std::atomic<std::size_t>& held)
        : Fd(std::move(fd))
        , m_held(&held)
    {}
    Folder(std::shared_ptr<const Folder> anchor, std::string path, std::size_t names)
        : Anchor(std::move(anchor))
        , Path(std::move(path))
        , Names(names)
    {}
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    ~Folder() override
    {
        if (m_held != nullptr) {
            m_held->fetch_sub(1, std::memory_order_relaxed);
        }
    }

    const UniqueFd Fd;
    const std::shared_ptr<const Folder> Anchor;
    const std::string Path;
    const std::size_t Names = 0;

private:
    std::atomic<std::size_t>* m_held = nullptr;
};

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

    // Kept descriptors take at most half of what is left under the limit, so the reading threads
    // and the rest of the process never run short; most trees need a handful.
    struct rlimit limit
    {};
    std::size_t most = kMostDescriptors;
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        most = std::min<std::size_t>(most, limit.rlim_cur);
    }
    const std::size_t open = OpenDescriptors(most);
    const std::size_t spare = most > open ? (most - open) / 2 : 0;
    m_freeHolds = std::min(kFreeHolds, spare / 4);
    m_nearHolds = std::min(kNearHolds, spare / 2);
    m_farHolds = spare;
    return {};
}

UniqueFd PosixTreeSource::OpenPath(int from, const std::string& path)
{
    if (path.find('/') == std::string::npos) {
        return UniqueFd(::openat(from, path.c_str(), kFolderOpenFlags | O_NOFOLLOW));
    }
    if (!m_noOpenat2.load(std::memory_order_relaxed)) {
        struct open_how how
        {};
        how.flags = kFolderOpenFlags | O_NOFOLLOW;
        how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS;
        const long fd = ::syscall(SYS_openat2, from, path.c_str(), &how, sizeof how);
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
    UniqueFd fd;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        const std::string name = path.substr(start, end - start);
        fd = UniqueFd(::openat(fd.Valid() ? fd.Get() : from, name.c_str(), kFolderOpenFlags | O_NOFOLLOW));
        if (!fd.Valid()) {
            break;
        }
        start = end + 1;
    }
    return fd;
}

UniqueFd PosixTreeSource::OpenChild(const Folder* parent, std::string_view name)
{
    if (parent == nullptr) {
        return UniqueFd(::openat(m_root.Get(), ".", kFolderOpenFlags));
    }
    const std::string ownName(name);
    if (parent->Fd.Valid()) {
        return UniqueFd(::openat(parent->Fd.Get(), ownName.c_str(), kFolderOpenFlags | O_NOFOLLOW));
    }
    const int from = parent->Anchor ? parent->Anchor->Fd.Get() : m_root.Get();
    return OpenPath(from, parent->Path.empty() ? ownName : parent->Path + "/" + ownName);
}

TreeFolderRef PosixTreeSource::Hold(const std::shared_ptr<const Folder>& parent, std::string_view name,
                                    UniqueFd fd)
{
    if (!parent) {
        // The root's sub-folders are opened from the root's own descriptor.
        return std::make_shared<const Folder>(std::shared_ptr<const Folder>(), std::string(), 0);
    }
    // How far this folder is from the nearest folder whose descriptor is kept.
    const std::size_t names = parent->Fd.Valid() ? 1 : parent->Names + 1;
    const std::size_t held = m_held.fetch_add(1, std::memory_order_relaxed);
    if (held < m_freeHolds || (names >= kNearNames && held < m_nearHolds) ||
        (names >= kFarNames && held < m_farHolds)) {
        return std::make_shared<const Folder>(std::move(fd), m_held);
    }
    m_held.fetch_sub(1, std::memory_order_relaxed);
    if (parent->Fd.Valid()) {
        return std::make_shared<const Folder>(parent, std::string(name), names);
    }
    std::string path = parent->Path.empty() ? std::string(name) : parent->Path + "/" + std::string(name);
    return std::make_shared<const Folder>(parent->Anchor, std::move(path), names);
}

std::error_code PosixTreeSource::ReadFolder(const TreeFolderRef& parent, std::string_view folderName,
                                            const std::function<bool(const FolderIdentity&)>& enter,
                                            TreeFolderSink& sink, TreeFolderRef& children)
{
    // Every hold this source hands out is one of its own folders.
    const auto parentFolder = std::static_pointer_cast<const Folder>(parent);
    UniqueFd fd = OpenChild(parentFolder.get(), folderName);
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
    bool subFolders = false;
    TreeEntryView view;
    for (;;) {
        const long n = ReadDirectoryRecords(dirFd, buffer, kDirBufferSize);
        if (n < 0) {
            return LastError();
        }
        if (n == 0) {
            if (subFolders) {
                children = Hold(parentFolder, folderName, std::move(fd));
            }
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
                subFolders = true;
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
                subFolders = true;
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
