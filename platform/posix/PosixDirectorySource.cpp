// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixDirectorySource.h"

#include "scan/DisplayTexts.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pellamy {
namespace {

// The kernel's record layout for getdents64; glibc declares no type for it.
struct LinuxDirent64
{
    std::uint64_t d_ino;
    std::int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

constexpr std::size_t kDirBufferSize = 256 * 1024;
// Below this many names per batch, handing work to other threads costs more than it saves.
constexpr std::size_t kParallelThreshold = 256;
constexpr unsigned kStatMask =
    STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;

struct FdCloser
{
    void operator()(const int* fd) const
    {
        if (fd != nullptr && *fd >= 0) {
            ::close(*fd);
        }
        delete fd;
    }
};
using UniqueFd = std::unique_ptr<int, FdCloser>;

FileTime ToFileTime(const struct statx_timestamp& ts)
{
    return FileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
}

bool EarlierTimestamp(const struct statx_timestamp& a, const struct statx_timestamp& b)
{
    return a.tv_sec != b.tv_sec ? a.tv_sec < b.tv_sec : a.tv_nsec < b.tv_nsec;
}

bool IsHiddenName(std::string_view name)
{
    return !name.empty() && name.front() == '.' && name != "." && name != "..";
}

// The attributes, times and size of a statx result for an entry called `name`.
// `linkTargetIsFolder` answers for links only.
void Describe(const struct statx& sx, std::string_view name, bool linkTargetIsFolder, DirectoryEntryView& out)
{
    std::uint32_t attrs = IsHiddenName(name) ? Attr::kHidden : 0;
    const unsigned type = sx.stx_mode & S_IFMT;
    bool folder = false;
    if (type == S_IFDIR) {
        folder = true;
    } else if (type == S_IFLNK) {
        folder = linkTargetIsFolder;
    } else if (type == S_IFCHR || type == S_IFBLK || type == S_IFIFO || type == S_IFSOCK) {
        attrs |= Attr::kSystem;
    }
    attrs |= folder ? Attr::kDirectory : Attr::kArchive;
    const bool immutable = (sx.stx_attributes_mask & STATX_ATTR_IMMUTABLE) != 0 &&
                           (sx.stx_attributes & STATX_ATTR_IMMUTABLE) != 0;
    if (type != S_IFLNK && ((sx.stx_mode & 0222) == 0 || immutable)) {
        attrs |= Attr::kReadOnly;
    }
    if ((sx.stx_attributes_mask & STATX_ATTR_COMPRESSED) != 0 &&
        (sx.stx_attributes & STATX_ATTR_COMPRESSED) != 0) {
        attrs |= Attr::kCompressed;
    }
    constexpr std::uint32_t kAnyShown = Attr::kReadOnly | Attr::kHidden | Attr::kSystem | Attr::kDirectory |
                                        Attr::kArchive | Attr::kCompressed;
    if ((attrs & kAnyShown) == 0) {
        attrs |= Attr::kNormal;
    }
    out.Attributes = attrs;
    out.Size = (type == S_IFREG) ? static_cast<std::int64_t>(sx.stx_size) : 0;
    out.LastAccessTime = ToFileTime(sx.stx_atime);
    out.LastWriteTime = ToFileTime(sx.stx_mtime);
    if ((sx.stx_mask & STATX_BTIME) != 0 && (sx.stx_btime.tv_sec != 0 || sx.stx_btime.tv_nsec != 0)) {
        out.CreationTime = ToFileTime(sx.stx_btime);
    } else {
        // The earliest is taken of the system's own times, so that one before 1601 (which has no
        // file time) still counts as the earliest.
        out.CreationTime = ToFileTime(std::min({sx.stx_ctime, sx.stx_mtime, sx.stx_atime}, EarlierTimestamp));
    }
}

// For a link (`sx` describes the link itself), whether what it points to is a folder; such a link
// counts as a folder. False for anything else, and for a dangling link.
bool LinkTargetIsFolder(int dirFd, const char* path, const struct statx& sx)
{
    if ((sx.stx_mode & S_IFMT) != S_IFLNK) {
        return false;
    }
    struct statx target
    {};
    return ::statx(dirFd, path, AT_NO_AUTOMOUNT, STATX_TYPE, &target) == 0 &&
           (target.stx_mode & S_IFMT) == S_IFDIR;
}

// Reads one entry relative to the folder's descriptor. False when it vanished or cannot be read.
bool StatEntry(int dirFd, const char* name, DirectoryEntryView& out)
{
    struct statx sx
    {};
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatMask, &sx) != 0) {
        return false;
    }
    Describe(sx, name, LinkTargetIsFolder(dirFd, name, sx), out);
    return true;
}

// A small pool that runs one indexed job over several threads, the caller's thread included.
// Used per enumeration, so its threads live only while one folder is read.
class StatWorkers
{
public:
    explicit StatWorkers(unsigned extraThreads)
    {
        for (unsigned i = 0; i < extraThreads; ++i) {
            m_threads.emplace_back([this] { WorkerLoop(); });
        }
    }

    StatWorkers(const StatWorkers&) = delete;
    StatWorkers& operator=(const StatWorkers&) = delete;

    ~StatWorkers()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_all();
        for (std::thread& t : m_threads) {
            t.join();
        }
    }

    /// Runs `job(i)` for every i below `count` and returns when all have finished.
    void Run(std::size_t count, const std::function<void(std::size_t)>& job)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_job = &job;
            m_count = count;
            m_next.store(0);
            m_busy = m_threads.size();
            ++m_generation;
        }
        m_wake.notify_all();
        Drain();
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] { return m_busy == 0; });
        m_job = nullptr;
    }

private:
    static constexpr std::size_t kChunk = 64;

    void Drain()
    {
        for (;;) {
            const std::size_t begin = m_next.fetch_add(kChunk);
            if (begin >= m_count) {
                return;
            }
            const std::size_t end = std::min(begin + kChunk, m_count);
            for (std::size_t i = begin; i < end; ++i) {
                (*m_job)(i);
            }
        }
    }

    void WorkerLoop()
    {
        std::uint64_t seen = 0;
        for (;;) {
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [&] { return m_stop || m_generation != seen; });
                if (m_stop) {
                    return;
                }
                seen = m_generation;
            }
            Drain();
            {
                const std::lock_guard lock(m_mutex);
                --m_busy;
            }
            m_idle.notify_one();
        }
    }

    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    const std::function<void(std::size_t)>* m_job = nullptr;
    std::size_t m_count = 0;
    std::atomic<std::size_t> m_next{0};
    std::size_t m_busy = 0;
    std::uint64_t m_generation = 0;
    bool m_stop = false;
};

struct PendingName
{
    const char* Name;
    std::uint32_t Length;
    unsigned char Type;
    bool Ok;
    DirectoryEntryView Entry;
};

} // namespace

PosixDirectorySource::PosixDirectorySource(unsigned statThreads)
    : m_statThreads(statThreads)
{
    if (m_statThreads == 0) {
        const unsigned cores = std::thread::hardware_concurrency();
        m_statThreads = std::clamp(cores, 1u, 4u);
    }
}

std::error_code PosixDirectorySource::Enumerate(const std::string& folder, DirectorySink& sink)
{
    const std::string path = folder.empty() ? std::string(".") : folder;
    UniqueFd fd(new int(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY)));
    if (*fd < 0) {
        return {errno, std::system_category()};
    }
    // A folder with read but not search permission lists its names, yet none of its entries can
    // be examined: it cannot be read. Looking up "." inside it needs the same search permission
    // as looking up any entry, so it tells the case apart before a single name is handed on.
    struct statx self
    {};
    if (::statx(*fd, ".", AT_NO_AUTOMOUNT, STATX_TYPE, &self) != 0) {
        return {errno, std::system_category()};
    }
    // The buffer is 8-byte aligned because the kernel writes records with 64-bit fields into it.
    std::unique_ptr<std::uint64_t[]> storage(new std::uint64_t[kDirBufferSize / sizeof(std::uint64_t)]);
    char* buffer = reinterpret_cast<char*>(storage.get());
    std::unique_ptr<StatWorkers> workers;
    std::vector<PendingName> pending;
    std::uint64_t namesRead = 0;
    const int dirFd = *fd;
    const std::function<void(std::size_t)> statJob = [&pending, dirFd](std::size_t i) {
        PendingName& p = pending[i];
        p.Ok = StatEntry(dirFd, p.Name, p.Entry);
    };

    for (;;) {
        const long n = ::syscall(SYS_getdents64, dirFd, buffer, kDirBufferSize);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return {errno, std::system_category()};
        }
        if (n == 0) {
            return {};
        }
        pending.clear();
        for (long offset = 0; offset < n;) {
            const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
            offset += d->d_reclen;
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
                continue;
            }
            ++namesRead;
            const auto length = static_cast<std::uint32_t>(std::strlen(name));
            if (!sink.WantsName(std::string_view(name, length))) {
                continue;
            }
            pending.push_back(PendingName{name, length, d->d_type, false, {}});
        }

        // Folders are known from the directory record alone and are never accepted, so they
        // are not read further.
        std::size_t toStat = 0;
        for (PendingName& p : pending) {
            if (p.Type == DT_DIR) {
                const std::string_view name(p.Name, p.Length);
                p.Entry.Attributes = Attr::kDirectory | (IsHiddenName(name) ? Attr::kHidden : 0);
                p.Ok = true;
            } else {
                ++toStat;
            }
        }
        if (toStat >= kParallelThreshold && m_statThreads > 1) {
            if (!workers) {
                workers = std::make_unique<StatWorkers>(m_statThreads - 1);
            }
            workers->Run(pending.size(), [&](std::size_t i) {
                if (pending[i].Type != DT_DIR) {
                    statJob(i);
                }
            });
        } else {
            for (std::size_t i = 0; i < pending.size(); ++i) {
                if (pending[i].Type != DT_DIR) {
                    statJob(i);
                }
            }
        }
        for (PendingName& p : pending) {
            if (p.Ok) {
                p.Entry.Name = std::string_view(p.Name, p.Length);
                sink.Accept(p.Entry);
            }
        }
        sink.Progress(namesRead);
    }
}

std::uint32_t PosixDirectorySource::ReadAttributes(const std::string& path)
{
    if (path.empty()) {
        return Attr::kInvalid;
    }
    struct statx sx
    {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kStatMask, &sx) != 0) {
        return Attr::kInvalid;
    }
    std::string_view name(path);
    while (name.size() > 1 && name.back() == '/') {
        name.remove_suffix(1);
    }
    const auto slash = name.rfind('/');
    if (slash != std::string_view::npos && name.size() > 1) {
        name.remove_prefix(slash + 1);
    }
    DirectoryEntryView entry;
    Describe(sx, name, LinkTargetIsFolder(AT_FDCWD, path.c_str(), sx), entry);
    return entry.Attributes;
}

} // namespace pellamy
