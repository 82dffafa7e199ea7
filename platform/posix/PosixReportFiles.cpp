// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixReportFiles.h"

#include "platform/posix/ReportTarget.h"
#include "platform/posix/TemporaryFiles.h"
#include "platform/posix/UniqueFd.h"

#include <algorithm>
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
#include <string_view>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

constexpr const char* kStreamWriteError = "Stream write error";

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

// Copies the first `length` bytes of `from` to `to` from offset 0 on. False on any failure.
bool CopyContent(int from, int to, off_t length)
{
    std::vector<char> buffer(1 << 16);
    for (off_t offset = 0; offset < length;) {
        const ssize_t n = ::pread(from, buffer.data(), buffer.size(), offset);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0 || !WriteAll(to, buffer.data(), static_cast<std::size_t>(n), offset)) {
            return false;
        }
        offset += n;
    }
    return true;
}

// The rename path: the report goes to a temporary file in the target's folder, which takes the
// target's place on commit. An unnamed file gets the target's name straight away when there was no
// file of that name, else a fresh short name that is renamed over the target at once (a link
// cannot replace a name); a named one is renamed.
class ReplacingWriter final : public ReportFileWriter
{
public:
    ReplacingWriter(std::string shown, std::string target, bool targetExists, TemporaryFile temp, mode_t mode)
        : m_shown(std::move(shown))
        , m_target(std::move(target))
        , m_targetExists(targetExists)
        , m_temp(std::move(temp))
        , m_mode(mode)
    {}

    /// Gives the new file the owner and group of the file it replaces, where the process may.
    void KeepOwner(uid_t owner, gid_t group)
    {
        m_owner = owner;
        m_group = group;
        m_keepOwner = true;
    }

    std::optional<std::string> Write(std::string_view bytes) override
    {
        if (!m_failure) {
            if (WriteAll(m_temp.Fd.Get(), bytes.data(), bytes.size())) {
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
        // The bytes must be on the disk before the rename makes them the target, or a crash
        // could leave an empty file where the earlier one was.
        if (::fsync(m_temp.Fd.Get()) != 0) {
            return Fail(kStreamWriteError);
        }
        Settle(m_temp.Fd.Get());
        if (auto failure = m_temp.Name.Empty() ? PlaceUnnamed() : PlaceNamed(m_temp)) {
            return failure;
        }
        // The new name is made durable with the folder.
        const UniqueFd folder(::open(FolderOf(m_target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.Valid()) {
            ::fsync(folder.Get());
        }
        // A committed writer takes no more bytes.
        m_failure = kStreamWriteError;
        return std::nullopt;
    }

private:
    // The owner, group and mode of the file it replaces.
    void Settle(int fd) const
    {
        if (m_keepOwner && ::fchown(fd, m_owner, m_group) != 0) {
            // Only a privileged process may give a file away; the group alone may still be kept.
            ::fchown(fd, static_cast<uid_t>(-1), m_group);
        }
        // After the owner: changing the owner clears the set-user and set-group bits.
        ::fchmod(fd, m_mode);
    }

    std::optional<std::string> PlaceNamed(TemporaryFile& file)
    {
        if (!file.Fd.Close()) {
            return Fail(kStreamWriteError);
        }
        const TerminationSignalsHeld held;
        if (::rename(file.Name.Path().c_str(), m_target.c_str()) != 0) {
            return Fail(CannotCreate(m_shown, errno));
        }
        file.Name.Release();
        return std::nullopt;
    }

    std::optional<std::string> PlaceUnnamed()
    {
        const int fd = m_temp.Fd.Get();
        int error = EEXIST;
        if (!m_targetExists) {
            error = LinkUnnamed(fd, m_target);
            if (error == 0) {
                if (!m_temp.Fd.Close()) {
                    ::unlink(m_target.c_str());
                    return Fail(kStreamWriteError);
                }
                return std::nullopt;
            }
        }
        // The target exists (or has come to exist since): a fresh name, renamed over it at once.
        const std::string folder = FolderOf(m_target);
        auto name = NameUnnamed(fd, folder);
        if (auto* linkedName = std::get_if<TemporaryName>(&name)) {
            TemporaryFile linked{std::move(m_temp.Fd), std::move(*linkedName)};
            return PlaceNamed(linked);
        }
        // No way to name an unnamed file here (no /proc and no privilege to link a descriptor):
        // the report is copied into a named one.
        auto named = CreateNamedIn(folder);
        if (const int* failure = std::get_if<int>(&named)) {
            return Fail(CannotCreate(m_shown, *failure));
        }
        TemporaryFile& copy = std::get<TemporaryFile>(named);
        if (!CopyContent(fd, copy.Fd.Get(), m_length) || ::fsync(copy.Fd.Get()) != 0) {
            return Fail(kStreamWriteError);
        }
        Settle(copy.Fd.Get());
        return PlaceNamed(copy);
    }

    std::optional<std::string> Fail(std::string message)
    {
        m_failure = std::move(message);
        return m_failure;
    }

    std::string m_shown;
    std::string m_target;
    bool m_targetExists;
    TemporaryFile m_temp;
    mode_t m_mode;
    off_t m_length = 0;
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
        if (!CopyContent(m_spool.Get(), m_target.Get(), m_length)) {
            return m_failure;
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

// An unnamed file to collect a report in: made beside the target, else in the temporary folder.
// Where the file system makes no unnamed files, a named one is unlinked at once, its name
// registered for removal on a termination signal for that instant.
std::variant<UniqueFd, int> CreateSpool(const std::string& besideFolder)
{
    std::error_code ec;
    const fs::path temporaryFolder = fs::temp_directory_path(ec);
    int error = 0;
    for (const std::string& folder : {besideFolder, ec ? std::string("/tmp") : temporaryFolder.string()}) {
        auto temp = CreateTemporaryIn(folder);
        if (auto* file = std::get_if<TemporaryFile>(&temp)) {
            file->Name.Remove();
            return std::move(file->Fd);
        }
        error = std::get<int>(temp);
    }
    return error;
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
    auto resolved = ResolveReportTarget(absolute.string());
    if (const int* error = std::get_if<int>(&resolved)) {
        return CannotCreate(shown, *error);
    }
    const ReportTarget& target = std::get<ReportTarget>(resolved);

    if (!target.Exists) {
        auto temp = CreateTemporaryIn(FolderOf(target.Path));
        if (const int* error = std::get_if<int>(&temp)) {
            return CannotCreate(shown, *error);
        }
        return std::make_unique<ReplacingWriter>(shown, target.Path, false, std::move(std::get<TemporaryFile>(temp)),
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
    // The link of an inherited descriptor was checked before it was followed; what was opened
    // through it must still be the file the process was given, whatever another thread did with
    // that descriptor number meanwhile.
    if (target.Inherited) {
        const auto opened = IdentityOfDescriptor(fd.Get());
        if (!opened || opened->Device != target.Inherited->Device || opened->Inode != target.Inherited->Inode ||
            opened->Type != target.Inherited->Type) {
            return CannotCreate(shown, EBADF);
        }
    }
    if (!S_ISREG(status.st_mode)) {
        return std::make_unique<DirectWriter>(std::move(fd));
    }
    if (status.st_nlink == 1 && !target.ThroughDescriptor) {
        auto temp = CreateTemporaryIn(FolderOf(target.Path));
        if (auto* file = std::get_if<TemporaryFile>(&temp)) {
            auto writer = std::make_unique<ReplacingWriter>(shown, target.Path, true, std::move(*file),
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
