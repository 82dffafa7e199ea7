// SPDX-License-Identifier: GPL-3.0-or-later
// tree_floor FOLDER: the least a walk over a tree must do, as the yardstick for
// pellamy-report --recursive. Two threads take folders from one shared stack, read each with
// getdents64 and statx every entry that is not a folder; sub-folders go on the stack. It prints
// the number of files and their total size, and keeps nothing else: no types, no links, no order.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
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

std::mutex g_mutex;
std::condition_variable g_wake;
std::vector<std::string> g_stack;
int g_busy = 0;
std::atomic<std::uint64_t> g_files{0};
std::atomic<std::uint64_t> g_bytes{0};

void ReadFolder(const std::string& path, std::vector<std::string>& subFolders, char* buffer, std::size_t size)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    std::uint64_t files = 0;
    std::uint64_t bytes = 0;
    for (;;) {
        const long n = ::syscall(SYS_getdents64, fd, buffer, size);
        if (n <= 0) {
            break;
        }
        for (long offset = 0; offset < n;) {
            const auto* d = reinterpret_cast<const LinuxDirent64*>(buffer + offset);
            offset += d->d_reclen;
            const char* name = d->d_name;
            if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) {
                continue;
            }
            if (d->d_type == DT_DIR) {
                subFolders.push_back(path + "/" + name);
                continue;
            }
            struct statx sx
            {};
            if (::statx(fd, name, AT_SYMLINK_NOFOLLOW, STATX_TYPE | STATX_SIZE | STATX_MTIME, &sx) == 0) {
                ++files;
                bytes += sx.stx_size;
            }
        }
    }
    ::close(fd);
    g_files += files;
    g_bytes += bytes;
}

void Work()
{
    std::vector<char> buffer(128 * 1024);
    std::vector<std::string> subFolders;
    std::unique_lock lock(g_mutex);
    for (;;) {
        g_wake.wait(lock, [] { return !g_stack.empty() || g_busy == 0; });
        if (g_stack.empty()) {
            g_wake.notify_all();
            return;
        }
        std::string path = std::move(g_stack.back());
        g_stack.pop_back();
        ++g_busy;
        lock.unlock();
        subFolders.clear();
        ReadFolder(path, subFolders, buffer.data(), buffer.size());
        lock.lock();
        --g_busy;
        for (std::string& sub : subFolders) {
            g_stack.push_back(std::move(sub));
        }
        g_wake.notify_all();
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: tree_floor FOLDER\n");
        return 2;
    }
    g_stack.emplace_back(argv[1]);
    std::thread a(Work);
    std::thread b(Work);
    a.join();
    b.join();
    std::printf("%llu files, %llu bytes\n", static_cast<unsigned long long>(g_files.load()),
                static_cast<unsigned long long>(g_bytes.load()));
    return 0;
}
