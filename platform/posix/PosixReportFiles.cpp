// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixReportFiles.h"

#include "platform/posix/UniqueFd.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <random>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

constexpr const char* kStreamWriteError = "Stream write error";
// Link chains longer than this are taken as loops, as the kernel does.
constexpr int kMaxLinkHops = 40;

std::string CannotCreate(const std::string& shown, int error)
{
    return "Cannot create file \"" + shown + "\". " + std::generic_category().message(error);
}

// Writes all of `data`, at the descriptor's own position or, with `offset`, from that offset on
// without moving the position. False when the system wrote nothing or failed.
bool WriteAll(int fd, const char* data, std::size_t size, std::optional<off_t> offset = std::nullopt)
{
    while (size > 0) {
        const ssize_t n = offset ? ::pwrite(fd, data, size, *offset) : ::write(fd, data, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
        if (offset) {
            *offset += n;
        }
    }
    return true;
}

// The folder part of an absolute path, "/" for a name in the root.
std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

// The process's file-creation mask. /proc tells it without changing it; setting and restoring it
// (the only other way) would briefly change it for every thread of the process.
mode_t CurrentUmask()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) == 0) {
            return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
        }
    }
    static std::mutex lock;
    const std::lock_guard guard(lock);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

struct TemporaryFile
{
    std::string Path;
    UniqueFd Fd;
};

// A new file in `folder` under a short name of its own (never derived from the target's name, so
// a target whose name has the longest length the system allows still gets one), created
// exclusively with mode 0600 so that no one else can read the report while it is written.
// Returns the error of the last attempt when none could be made.
std::variant<TemporaryFile, int> CreateTemporaryIn(const std::string& folder)
{
    static std::mutex lock;
    static std::mt19937_64 generator{std::random_device{}() ^ static_cast<std::uint64_t>(::getpid())};
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        char name[32];
        {
            const std::lock_guard guard(lock);
            std::snprintf(name, sizeof name, ".pellamy-%08llx",
                          static_cast<unsigned long long>(generator() >> 32));
        }
        std::string path = (folder == "/" ? std::string() : folder) + "/" + name;
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd >= 0) {
            TemporaryFile file{std::move(path), UniqueFd(fd)};
            // The umask may have taken bits away; the owner still needs to read and write it.
            ::fchmod(file.Fd.Get(), 0600);
            return file;
        }
        error = errno;
    }
    return error;
}

// The file a report for `path` goes to: the end of its chain of symbolic links.
struct Target
{
    std::string Path;
    bool Exists = false;
    struct stat Status = {};
    // Reached through a link of a process's descriptor table (/proc/PID/fd/N, /dev/stdout), which
    // names an open file rather than a path: the file is written where it is.
    bool ThroughDescriptor = false;
};

bool IsDescriptorFolder(const std::string& folder)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.c_str(), nullptr), &std::free);
    return real && std::strncmp(real.get(), "/proc/", 6) == 0;
}

std::variant<std::string, int> ReadLink(const std::string& path)
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
        if (n < 0) {
            return errno;
        }
        if (static_cast<std::size_t>(n) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::variant<Target, int> ResolveTarget(std::string path)
{
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        Target target;
        if (::lstat(path.c_str(), &target.Status) != 0) {
            if (errno != ENOENT) {
                return errno;
            }
            target.Path = std::move(path);
            return target;
        }
        target.Exists = true;
        if (!S_ISLNK(target.Status.st_mode)) {
            target.Path = std::move(path);
            return target;
        }
        const std::string folder = FolderOf(path);
        if (IsDescriptorFolder(folder)) {
            if (::stat(path.c_str(), &target.Status) != 0) {
                return errno;
            }
            target.Path = std::move(path);
            target.ThroughDescriptor = true;
            return target;
        }
        auto link = ReadLink(path);
        if (const int* error = std::get_if<int>(&link)) {
            return *error;
        }
        std::string& text = std::get<std::string>(link);
        // A relative link counts from the folder that holds it; the folder's own links are left
        // to the kernel, so ".." means what it means there.
        path = !text.empty() && text.front() == '/' ? std::move(text)
                                                    : (folder == "/" ? std::string() : folder) + "/" + text;
    }
    return ELOOP;
}

// The rename path: the report goes to a temporary file beside the target, which takes the
// target's place on commit.
class ReplacingWriter final : public ReportFileWriter
{
public:
    ReplacingWriter(std::string shown, std::string target, TemporaryFile temp, mode_t mode)
        : m_shown(std::move(shown))
        , m_target(std::move(target))
        , m_temp(std::move(temp))
        , m_mode(mode)
    {}

    ~ReplacingWriter() override
    {
        m_temp.Fd.Close();
        if (!m_temp.Path.empty()) {
            ::unlink(m_temp.Path.c_str());
        }
    }

    /// Gives the new file the owner and group of the file it replaces, where the process may.
    void KeepOwner(uid_t owner, gid_t group)
    {
        m_owner = owner;
        m_group = group;
        m_keepOwner = true;
    }

    std::optional<std::string> Write(std::string_view bytes) override
    {
        if (!m_failure && !WriteAll(m_temp.Fd.Get(), bytes.data(), bytes.size())) {
            m_failure = kStreamWriteError;
        }
        return m_failure;
    }

    std::optional<std::string> Commit() override
    {
        if (m_failure) {
            return m_failure;
        }
        // The bytes must be on the disk before the rename makes them the target, or a crash
        // could leave an empty file where the earlier one was.
        if (::fsync(m_temp.Fd.Get()) != 0) {
            return Fail(kStreamWriteError);
        }
        if (m_keepOwner && ::fchown(m_temp.Fd.Get(), m_owner, m_group) != 0) {
            // Only a privileged process may give a file away; the group alone may still be kept.
            ::fchown(m_temp.Fd.Get(), static_cast<uid_t>(-1), m_group);
        }
        // After the owner: changing the owner clears the set-user and set-group bits.
        ::fchmod(m_temp.Fd.Get(), m_mode);
        if (!m_temp.Fd.Close()) {
            return Fail(kStreamWriteError);
        }
        if (::rename(m_temp.Path.c_str(), m_target.c_str()) != 0) {
            return Fail(CannotCreate(m_shown, errno));
        }
        m_temp.Path.clear();
        // The rename itself is made durable with the folder.
        const UniqueFd folder(::open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.Valid()) {
            ::fsync(folder.Get());
        }
        // A committed writer takes no more bytes.
        m_failure = kStreamWriteError;
        return std::nullopt;
    }

private:
    std::optional<std::string> Fail(std::string message)
    {
        m_failure = std::move(message);
        return m_failure;
    }

    std::string m_shown;
    std::string m_target;
    TemporaryFile m_temp;
    mode_t m_mode;
    bool m_keepOwner = false;
    uid_t m_owner = 0;
    gid_t m_group = 0;
    std::optional<std::string> m_failure;
};

// A regular file that keeps its place: the report is collected in an unnamed temporary file, and
// copied into the target only once its length is known and the room for it is reserved.
class InPlaceWriter final : public ReportFileWriter
{
public:
    InPlaceWriter(UniqueFd target, UniqueFd spool)
        : m_target(std::move(target))
        , m_spool(std::move(spool))
    {}

    std::optional<std::string> Write(std::string_view bytes) override
    {
        if (!m_failure) {
            if (WriteAll(m_spool.Get(), bytes.data(), bytes.size())) {
                m_length += static_cast<off_t>(bytes.size());
            } else {
                m_failure = kStreamWriteError;
            }
        }
        return m_failure;
    }

    std::optional<std::string> Commit() override
    {
        if (m_failure) {
            return m_failure;
        }
        m_failure = kStreamWriteError;
        if (m_length > 0) {
            // A full disk fails here, before a byte of the file has changed. File systems without
            // a way to reserve room take the bytes as they come (the C library's fallback for them
            // reads the file, which fails with EBADF on a descriptor opened write-only).
            const int reserved = ::posix_fallocate(m_target.Get(), 0, m_length);
            if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL && reserved != EBADF) {
                return m_failure;
            }
        }
        std::vector<char> buffer(1 << 16);
        for (off_t offset = 0; offset < m_length;) {
            const ssize_t n = ::pread(m_spool.Get(), buffer.data(), buffer.size(), offset);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0 || !WriteAll(m_target.Get(), buffer.data(), static_cast<std::size_t>(n), offset)) {
                return m_failure;
            }
            offset += n;
        }
        if (::ftruncate(m_target.Get(), m_length) != 0 || ::fsync(m_target.Get()) != 0 || !m_target.Close()) {
            return m_failure;
        }
        // A committed writer takes no more bytes.
        m_failure = kStreamWriteError;
        return std::nullopt;
    }

private:
    UniqueFd m_target;
    UniqueFd m_spool;
    off_t m_length = 0;
    std::optional<std::string> m_failure;
};

// A device, FIFO or other special file: it has no content to keep and no length to set, so the
// bytes go straight to it.
class DirectWriter final : public ReportFileWriter
{
public:
    explicit DirectWriter(UniqueFd target)
        : m_target(std::move(target))
    {}

    std::optional<std::string> Write(std::string_view bytes) override
    {
        if (!m_failure && !WriteWithoutSigpipe(bytes)) {
            m_failure = kStreamWriteError;
        }
        return m_failure;
    }

    std::optional<std::string> Commit() override
    {
        if (m_failure) {
            return m_failure;
        }
        // Most special files cannot be flushed (fsync fails with EINVAL); what they took is theirs.
        ::fsync(m_target.Get());
        m_target.Close();
        // A committed writer takes no more bytes.
        m_failure = kStreamWriteError;
        return std::nullopt;
    }

private:
    // A FIFO whose reader goes away must fail the save, not end the program: SIGPIPE is held back
    // on this thread while writing, and the one the failed write raised is taken back.
    bool WriteWithoutSigpipe(std::string_view bytes)
    {
        sigset_t pipe;
        sigset_t before;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        ::pthread_sigmask(SIG_BLOCK, &pipe, &before);
        const bool written = WriteAll(m_target.Get(), bytes.data(), bytes.size());
        if (!written && errno == EPIPE && sigismember(&before, SIGPIPE) == 0) {
            const timespec now = {0, 0};
            ::sigtimedwait(&pipe, nullptr, &now);
        }
        ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
        return written;
    }

    UniqueFd m_target;
    std::optional<std::string> m_failure;
};

// An unnamed file to collect a report in: made beside the target, else in the temporary folder,
// and unlinked at once, so nothing is left behind whatever happens to the process.
std::variant<UniqueFd, int> CreateSpool(const std::string& besideFolder)
{
    auto temp = CreateTemporaryIn(besideFolder);
    if (std::holds_alternative<int>(temp)) {
        std::error_code ec;
        const fs::path folder = fs::temp_directory_path(ec);
        temp = CreateTemporaryIn(ec ? std::string("/tmp") : folder.string());
    }
    if (const int* error = std::get_if<int>(&temp)) {
        return *error;
    }
    TemporaryFile& file = std::get<TemporaryFile>(temp);
    ::unlink(file.Path.c_str());
    return std::move(file.Fd);
}

} // namespace

ReportFiles::Opened PosixReportFiles::Open(const std::string& path) const
{
    if (path.empty()) {
        return CannotCreate(path, ENOENT);
    }
    std::error_code ec;
    fs::path absolute = fs::absolute(fs::path(path), ec);
    if (ec) {
        absolute = fs::path(path);
    }
    // Messages name the file as the user gave it, made absolute; the system calls get the path
    // unnormalised, so ".." after a linked folder means what the kernel makes of it.
    const std::string shown = absolute.lexically_normal().string();
    auto resolved = ResolveTarget(absolute.string());
    if (const int* error = std::get_if<int>(&resolved)) {
        return CannotCreate(shown, *error);
    }
    const Target& target = std::get<Target>(resolved);

    if (!target.Exists) {
        auto temp = CreateTemporaryIn(FolderOf(target.Path));
        if (const int* error = std::get_if<int>(&temp)) {
            return CannotCreate(shown, *error);
        }
        return std::make_unique<ReplacingWriter>(shown, target.Path, std::move(std::get<TemporaryFile>(temp)),
                                                 0666 & ~CurrentUmask());
    }

    const struct stat& status = target.Status;
    if (S_ISDIR(status.st_mode)) {
        return CannotCreate(shown, EISDIR);
    }
    // A file without any write permission is read-only to this program, even for a process that
    // the system would let write it.
    if ((status.st_mode & 0222) == 0) {
        return CannotCreate(shown, EACCES);
    }
    // Opening for writing without truncation proves the file may be written and changes nothing.
    // It opens write-only, so a file its owner may write but not read is accepted.
    UniqueFd fd(::open(target.Path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd.Valid()) {
        return CannotCreate(shown, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return std::make_unique<DirectWriter>(std::move(fd));
    }
    if (status.st_nlink == 1 && !target.ThroughDescriptor) {
        auto temp = CreateTemporaryIn(FolderOf(target.Path));
        if (auto* file = std::get_if<TemporaryFile>(&temp)) {
            auto writer = std::make_unique<ReplacingWriter>(shown, target.Path, std::move(*file),
                                                            status.st_mode & 07777);
            writer->KeepOwner(status.st_uid, status.st_gid);
            return writer;
        }
        // The folder takes no new files: the file is written where it is.
    }
    auto spool = CreateSpool(FolderOf(target.Path));
    if (const int* error = std::get_if<int>(&spool)) {
        return CannotCreate(shown, *error);
    }
    return std::make_unique<InPlaceWriter>(std::move(fd), std::move(std::get<UniqueFd>(spool)));
}

} // namespace pellamy
