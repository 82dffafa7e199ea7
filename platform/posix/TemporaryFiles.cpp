// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/TemporaryFiles.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace pellamy {

// A short name of its own in `folder` (never derived from the target's name, so a target whose
// name has the longest length the system allows still gets one).
std::string FreshNameIn(const std::string& folder)
{
    static std::mutex lock;
    static std::mt19937_64 generator{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
    char name[32];
    {
        const std::lock_guard guard(lock);
        std::snprintf(name, sizeof name, ".pellamy-%08llx", static_cast<unsigned long long>(generator() >> 32));
    }
    return (folder == "/" ? std::string() : folder) + "/" + name;
}

namespace {

// O_TMPFILE refused because the file system (or the kernel) has no unnamed files; other errors
// are the folder's own (no such folder, no permission, a read-only file system).
bool RefusesUnnamedFiles(int error)
{
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

} // namespace

// A named file in `folder`, created exclusively with mode 0600 so that no one else can read the
// report while it is written, and registered for removal on a termination signal. Returns the
// error of the last attempt when none could be made.
std::variant<TemporaryFile, int> CreateNamedIn(const std::string& folder)
{
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::string path = FreshNameIn(folder);
        const TerminationSignalsHeld held;
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0) {
            TemporaryFile file{UniqueFd(fd), TemporaryName(std::move(path))};
            // The umask may have taken bits away; the owner still needs to read and write it.
            ::fchmod(file.Fd.Get(), 0600);
            return file;
        }
        error = errno;
    }
    return error;
}

// A file for a report in `folder`: unnamed (O_TMPFILE) with mode 0600, so that nothing is left
// behind whatever happens to the process, or, only where the file system makes no unnamed files,
// a named one as above.
std::variant<TemporaryFile, int> CreateTemporaryIn(const std::string& folder)
{
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0) {
        TemporaryFile file{UniqueFd(fd), TemporaryName()};
        ::fchmod(file.Fd.Get(), 0600);
        return file;
    }
    if (!RefusesUnnamedFiles(errno)) {
        return errno;
    }
    return CreateNamedIn(folder);
}

// Gives the unnamed file `fd` the name `path`, which must not exist: straight from the descriptor
// where the process may (CAP_DAC_READ_SEARCH), else through its link in /proc, which any user
// may do for a file made with O_TMPFILE without O_EXCL. Returns 0 or the error.
int LinkUnnamed(int fd, const std::string& path)
{
    if (::linkat(fd, "", AT_FDCWD, path.c_str(), AT_EMPTY_PATH) == 0) {
        return 0;
    }
    if (errno == EEXIST) {
        return EEXIST;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        return 0;
    }
    return errno;
}

std::variant<TemporaryName, int> NameUnnamed(int fd, const std::string& folder)
{
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::string name = FreshNameIn(folder);
        const TerminationSignalsHeld held;
        error = LinkUnnamed(fd, name);
        if (error == 0) {
            return TemporaryName(std::move(name));
        }
    }
    return error;
}

} // namespace pellamy
