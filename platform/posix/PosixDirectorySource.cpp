// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixDirectorySource.h"

#include "lists/DisplayTexts.h"
#include "platform/posix/DirectoryRecords.h"
#include "platform/posix/StatxAttributes.h"
#include "platform/posix/UniqueFd.h"

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstddef>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pellamy {
namespace {

constexpr std::size_t kDirBufferSize = 256 * 1024;
// Below this many names to examine in a batch, starting other threads costs more than it saves.
constexpr std::size_t kParallelThreshold = 256;
using Examined = StatxDetails;

// Reads one entry relative to the folder's descriptor. False when it vanished or cannot be read.
// "." and ".." never get here, so a leading dot always means a hidden name.
bool StatEntry(int dirFd, const char* name, Examined& out)
{
    // Left uninitialised: the kernel fills every byte of it on success, and this runs per entry.
    struct statx sx;
    if (::statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kEntryStatMask, &sx) != 0) {
        return false;
    }
    DescribeStatx(sx, name[0] == '.', LinkTargetIsFolder(dirFd, name, sx), out);
    return true;
}

// The length of the name in a getdents64 record without scanning it from its start. A record's
// length is a multiple of 8 and its name's terminating NUL lies in its last 8 bytes, after
// nothing but name bytes (never NUL) from the name's start on; the bytes after the NUL are
// padding of any value.
std::uint32_t NameLength(const LinuxDirent64* d)
{
    constexpr std::size_t kNameOffset = offsetof(LinuxDirent64, d_name);
    const std::size_t from = std::max<std::size_t>(kNameOffset, d->d_reclen - 8);
    const char* record = reinterpret_cast<const char*>(d);
    std::size_t i = from;
    while (record[i] != '\0') {
        ++i;
    }
    return static_cast<std::uint32_t>(i - kNameOffset);
}

// One getdents64 batch on its way to the sink: the kernel's records, the wanted ones among them
// and how far their examination has got. The arrays are laid out for the threads that touch
// them: examining threads read only the record pointers (8 bytes an entry) and write only the
// results, since every cache line that passes between cores costs more than the work on it.
struct Batch
{
    // A record takes at least 24 bytes, so no buffer holds more entries than this.
    static constexpr std::size_t kMaxEntries = kDirBufferSize / 24;

    std::unique_ptr<std::uint64_t[]> Storage; // 8-byte aligned: the records hold 64-bit fields
    std::unique_ptr<const LinuxDirent64*[]> Records;
    std::unique_ptr<std::uint32_t[]> Lengths; // the names' lengths, for the calling thread
    std::unique_ptr<Examined[]> Results;
    std::size_t Count = 0;              // wanted entries in this batch
    std::uint64_t NamesReadThrough = 0; // names read up to the end of this batch
    std::size_t Claimed = 0;            // entries handed to a thread for examination
    std::size_t Done = 0;               // entries whose examination has finished
};

// Reads one folder as a pipeline: the calling thread reads batches of names with getdents64
// while statx workers examine the batches read so far; the calling thread examines too whenever
// it has nothing to read or deliver, and hands finished batches to the sink strictly in the
// order they were read. Every sink call happens on the calling thread, so sinks need no locking.
//
// A fixed ring of batches bounds the memory whatever the folder's size: the reader waits for
// the oldest batch to be delivered before it reads into that batch's buffer again.
class StatPipeline
{
public:
    StatPipeline(int dirFd, unsigned statThreads)
        : m_dirFd(dirFd)
        , m_extraThreads(statThreads > 1 ? statThreads - 1 : 0)
    {
        m_free.reserve(kRingSize);
        for (Batch& batch : m_ring) {
            m_free.push_back(&batch);
        }
    }

    StatPipeline(const StatPipeline&) = delete;
    StatPipeline& operator=(const StatPipeline&) = delete;

    // Workers may be examining a batch when the sink throws; they are stopped before the ring
    // they read from goes away.
    ~StatPipeline() { StopWorkers(); }

    std::error_code Run(DirectorySink& sink)
    {
        std::error_code readError;
        bool atEnd = false;
        for (;;) {
            if (sink.StopRequested()) {
                return std::make_error_code(std::errc::operation_canceled);
            }
            Batch* ready = nullptr;
            Batch* empty = nullptr;
            {
                std::unique_lock lock(m_mutex);
                if (!m_inFlight.empty() && m_inFlight.front()->Done == m_inFlight.front()->Count) {
                    ready = m_inFlight.front();
                    m_inFlight.pop_front();
                } else if (!atEnd && !m_free.empty()) {
                    empty = m_free.back();
                    m_free.pop_back();
                } else if (atEnd && m_inFlight.empty()) {
                    break;
                } else if (!ExamineChunk(lock, m_dirFd)) {
                    m_progress.wait(lock);
                }
            }
            if (ready != nullptr) {
                // A sink that throws leaves this batch out of the ring; nothing reads it again.
                Deliver(*ready, sink);
                const std::lock_guard lock(m_mutex);
                m_free.push_back(ready);
            } else if (empty != nullptr) {
                bool haveNames = false;
                readError = Fill(*empty, sink, haveNames);
                atEnd = readError || !haveNames;
                const std::lock_guard lock(m_mutex);
                if (haveNames) {
                    m_inFlight.push_back(empty);
                    m_work.notify_all();
                } else {
                    m_free.push_back(empty);
                }
            }
        }
        return readError;
    }

private:
    static constexpr std::size_t kRingSize = 4;
    static constexpr std::size_t kChunk = 64;

    // Reads the next records into `batch` and asks the sink which names it wants. `haveNames`
    // is false at the end of the folder (or on a failure, which is returned).
    std::error_code Fill(Batch& batch, DirectorySink& sink, bool& haveNames)
    {
        if (!batch.Storage) {
            batch.Storage.reset(new std::uint64_t[kDirBufferSize / sizeof(std::uint64_t)]);
            batch.Records.reset(new const LinuxDirent64*[Batch::kMaxEntries]);
            batch.Lengths.reset(new std::uint32_t[Batch::kMaxEntries]);
            batch.Results.reset(new Examined[Batch::kMaxEntries]);
        }
        char* buffer = reinterpret_cast<char*>(batch.Storage.get());
        const long n = ReadDirectoryRecords(m_dirFd, buffer, kDirBufferSize);
        if (n <= 0) {
            haveNames = false;
            return n < 0 ? std::error_code(errno, std::system_category()) : std::error_code();
        }
        haveNames = true;
        std::size_t count = 0;
        std::size_t toExamine = 0;
        for (long offset = 0; offset < n;) {
            const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
            offset += d->d_reclen;
            const char* name = d->d_name;
            if (IsDotOrDotDot(name)) {
                continue;
            }
            ++m_namesRead;
            const std::uint32_t length = NameLength(d);
            if (!sink.WantsName(std::string_view(name, length))) {
                continue;
            }
            batch.Records[count] = d;
            batch.Lengths[count] = length;
            ++count;
            toExamine += d->d_type == DT_DIR ? 0 : 1;
        }
        batch.Count = count;
        batch.Claimed = 0;
        batch.Done = 0;
        batch.NamesReadThrough = m_namesRead;
        if (toExamine >= kParallelThreshold) {
            StartWorkers();
        }
        return {};
    }

    void Deliver(const Batch& batch, DirectorySink& sink)
    {
        DirectoryEntryView view;
        for (std::size_t i = 0; i < batch.Count; ++i) {
            const Examined& r = batch.Results[i];
            if (r.Attributes == 0) {
                continue;
            }
            view.Name = std::string_view(batch.Records[i]->d_name, batch.Lengths[i]);
            view.Attributes = r.Attributes;
            view.CreationTime = r.CreationTime;
            view.LastAccessTime = r.LastAccessTime;
            view.LastWriteTime = r.LastWriteTime;
            view.Size = r.Size;
            sink.Accept(view);
        }
        sink.Progress(batch.NamesReadThrough);
    }

    // Examines one chunk of the oldest batch with entries not yet handed out, looking names up
    // relative to `folderFd`; false when every entry read so far is handed out. Called and
    // returns with `lock` held.
    bool ExamineChunk(std::unique_lock<std::mutex>& lock, int folderFd)
    {
        for (Batch* batch : m_inFlight) {
            if (batch->Claimed == batch->Count) {
                continue;
            }
            const std::size_t begin = batch->Claimed;
            const std::size_t end = std::min(begin + kChunk, batch->Count);
            batch->Claimed = end;
            lock.unlock();
            for (std::size_t i = begin; i < end; ++i) {
                const LinuxDirent64* d = batch->Records[i];
                Examined& out = batch->Results[i];
                if (d->d_type == DT_DIR) {
                    // Folders are known from the directory record alone and are never accepted,
                    // so they are not read further. "." and ".." never get here, so a leading
                    // dot always means a hidden name.
                    out = Examined{Attr::kDirectory | (d->d_name[0] == '.' ? Attr::kHidden : 0), 0, 0, 0, 0};
                } else if (!StatEntry(folderFd, d->d_name, out)) {
                    out.Attributes = 0;
                }
            }
            lock.lock();
            batch->Done += end - begin;
            if (batch->Done == batch->Count) {
                m_progress.notify_one();
            }
            return true;
        }
        return false;
    }

    // Workers start with the first batch large enough to be worth sharing, so that small folders
    // never pay for a thread.
    void StartWorkers()
    {
        if (m_workersStarted) {
            return;
        }
        m_workersStarted = true;
        try {
            for (unsigned i = 0; i < m_extraThreads; ++i) {
                m_workers.emplace_back([this] { WorkerLoop(); });
            }
        } catch (const std::system_error&) {
            // Without more threads the calling thread examines every name itself.
        }
    }

    void StopWorkers()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_work.notify_all();
        for (std::thread& t : m_workers) {
            t.join();
        }
        m_workers.clear();
    }

    void WorkerLoop()
    {
        // Each worker looks names up through a descriptor of its own: in a process with several
        // threads every lookup through a descriptor takes a reference on its open file, and one
        // file shared by all threads would pass its counter from core to core on every entry.
        const UniqueFd own(::openat(m_dirFd, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
        const int folderFd = own.Get() >= 0 ? own.Get() : m_dirFd;
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            if (!ExamineChunk(lock, folderFd)) {
                m_work.wait(lock);
            }
        }
    }

    const int m_dirFd;
    const unsigned m_extraThreads;
    std::uint64_t m_namesRead = 0;
    std::array<Batch, kRingSize> m_ring;
    std::vector<Batch*> m_free;         // batches ready to be read into
    std::deque<Batch*> m_inFlight;      // batches read, in order, not yet delivered
    std::mutex m_mutex;                 // guards the two lists, the batch counters and m_stop
    std::condition_variable m_work;     // a batch was read, or the workers must stop
    std::condition_variable m_progress; // a batch has been examined completely
    std::vector<std::thread> m_workers;
    bool m_workersStarted = false;
    bool m_stop = false;
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
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.Get() < 0) {
        return {errno, std::system_category()};
    }
    // A folder with read but not search permission lists its names, yet none of its entries can
    // be examined: it cannot be read. Looking up "." inside it needs the same search permission
    // as looking up any entry, so it tells the case apart before a single name is handed on.
    struct statx self
    {};
    if (::statx(fd.Get(), ".", AT_NO_AUTOMOUNT, STATX_TYPE, &self) != 0) {
        return {errno, std::system_category()};
    }
    StatPipeline pipeline(fd.Get(), m_statThreads);
    return pipeline.Run(sink);
}

std::uint32_t PosixDirectorySource::ReadAttributes(const std::string& path)
{
    if (path.empty()) {
        return Attr::kInvalid;
    }
    struct statx sx
    {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kEntryStatMask, &sx) != 0) {
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
    Examined entry{};
    DescribeStatx(sx, IsHiddenName(name), LinkTargetIsFolder(AT_FDCWD, path.c_str(), sx), entry);
    return entry.Attributes;
}

} // namespace pellamy
