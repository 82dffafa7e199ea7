// SPDX-License-Identifier: GPL-3.0-or-later
// The least any folder summary has to do: read every name with getdents64 and every entry's
// metadata with statx, keeping nothing but a count and a byte sum.
//
//   scan_floor FOLDER               one thread reads names and issues every statx
//   scan_floor --pipeline N FOLDER  one thread reads names into a ring of batches while it and
//                                   N - 1 more threads issue statx on the batches read so far
//
// The pipelined form is the least a parallel scanner has to do; it hands out names in chunks
// and sums per thread, so it keeps no order.

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

struct LinuxDirent64
{
    std::uint64_t d_ino;
    std::int64_t d_off;
    unsigned short d_reclen;
    unsigned char d_type;
    char d_name[1];
};

constexpr std::size_t kBufferSize = 256 * 1024;
constexpr unsigned kStatMask =
    STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_ATIME | STATX_MTIME | STATX_CTIME | STATX_BTIME;

bool IsDotOrDotDot(const char* name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

struct Totals
{
    std::uint64_t Files = 0;
    std::uint64_t Bytes = 0;

    void Stat(int fd, const char* name)
    {
        struct statx sx
        {};
        if (::statx(fd, name, AT_SYMLINK_NOFOLLOW, kStatMask, &sx) == 0) {
            ++Files;
            Bytes += sx.stx_size;
        }
    }
};

Totals SingleThreaded(int fd)
{
    alignas(8) static char buffer[kBufferSize];
    Totals totals;
    for (;;) {
        const long n = ::syscall(SYS_getdents64, fd, buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        for (long offset = 0; offset < n;) {
            const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
            offset += d->d_reclen;
            if (!IsDotOrDotDot(d->d_name)) {
                totals.Stat(fd, d->d_name);
            }
        }
    }
    return totals;
}

// One getdents64 batch: its buffer, the names in it and how far they have been handed out.
struct Batch
{
    std::unique_ptr<std::uint64_t[]> Storage{new std::uint64_t[kBufferSize / sizeof(std::uint64_t)]};
    std::vector<const char*> Names;
    std::size_t Claimed = 0;
    std::size_t Done = 0;
};

class Pipeline
{
public:
    Pipeline(int fd, unsigned threads)
        : m_fd(fd)
        , m_ring(4)
    {
        for (Batch& batch : m_ring) {
            m_free.push_back(&batch);
        }
        for (unsigned i = 1; i < threads; ++i) {
            m_workers.emplace_back([this] { WorkerLoop(); });
        }
    }

    ~Pipeline() { Stop(); }

    Totals Run()
    {
        bool atEnd = false;
        for (;;) {
            std::unique_lock lock(m_mutex);
            while (!m_inFlight.empty() && m_inFlight.front()->Done == m_inFlight.front()->Names.size()) {
                m_free.push_back(m_inFlight.front());
                m_inFlight.pop_front();
            }
            if (!atEnd && !m_free.empty()) {
                Batch* batch = m_free.back();
                m_free.pop_back();
                lock.unlock();
                atEnd = !Read(*batch);
                lock.lock();
                if (!batch->Names.empty()) {
                    m_inFlight.push_back(batch);
                    m_work.notify_all();
                } else {
                    m_free.push_back(batch);
                }
                continue;
            }
            if (atEnd && m_inFlight.empty()) {
                break;
            }
            if (!ClaimAndStat(lock, m_mainTotals)) {
                m_progress.wait(lock);
            }
        }
        Stop();
        Totals all = m_mainTotals;
        for (const Totals& t : m_workerTotals) {
            all.Files += t.Files;
            all.Bytes += t.Bytes;
        }
        return all;
    }

private:
    static constexpr std::size_t kChunk = 64;

    void Stop()
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

    bool Read(Batch& batch)
    {
        char* buffer = reinterpret_cast<char*>(batch.Storage.get());
        batch.Names.clear();
        batch.Claimed = 0;
        batch.Done = 0;
        const long n = ::syscall(SYS_getdents64, m_fd, buffer, kBufferSize);
        for (long offset = 0; offset < n;) {
            const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
            offset += d->d_reclen;
            if (!IsDotOrDotDot(d->d_name)) {
                batch.Names.push_back(d->d_name);
            }
        }
        return n > 0;
    }

    // Stats one chunk of the oldest batch with names not yet handed out; false when there is none.
    bool ClaimAndStat(std::unique_lock<std::mutex>& lock, Totals& totals)
    {
        for (Batch* batch : m_inFlight) {
            if (batch->Claimed < batch->Names.size()) {
                const std::size_t begin = batch->Claimed;
                const std::size_t end = std::min(begin + kChunk, batch->Names.size());
                batch->Claimed = end;
                lock.unlock();
                for (std::size_t i = begin; i < end; ++i) {
                    totals.Stat(m_fd, batch->Names[i]);
                }
                lock.lock();
                batch->Done += end - begin;
                if (batch->Done == batch->Names.size()) {
                    m_progress.notify_one();
                }
                return true;
            }
        }
        return false;
    }

    void WorkerLoop()
    {
        Totals totals;
        std::unique_lock lock(m_mutex);
        while (!m_stop) {
            if (!ClaimAndStat(lock, totals)) {
                m_work.wait(lock);
            }
        }
        m_workerTotals.push_back(totals);
    }

    int m_fd;
    std::vector<Batch> m_ring;
    std::vector<Batch*> m_free;
    std::deque<Batch*> m_inFlight;
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_progress;
    std::vector<std::thread> m_workers;
    std::vector<Totals> m_workerTotals;
    Totals m_mainTotals;
    bool m_stop = false;
};

} // namespace

int main(int argc, char** argv)
{
    unsigned threads = 0;
    int arg = 1;
    if (argc == 4 && std::strcmp(argv[1], "--pipeline") == 0) {
        threads = static_cast<unsigned>(std::atoi(argv[2]));
        arg = 3;
    }
    if (argc != arg + 1 || (arg == 3 && threads < 1)) {
        std::fprintf(stderr, "usage: scan_floor [--pipeline THREADS] FOLDER\n");
        return 2;
    }
    const int fd = ::open(argv[arg], O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        std::perror(argv[arg]);
        return 1;
    }
    Totals totals;
    if (threads == 0) {
        totals = SingleThreaded(fd);
    } else {
        Pipeline pipeline(fd, threads);
        totals = pipeline.Run();
    }
    ::close(fd);
    std::printf("%llu files, %llu bytes\n", static_cast<unsigned long long>(totals.Files),
                static_cast<unsigned long long>(totals.Bytes));
    return 0;
}
