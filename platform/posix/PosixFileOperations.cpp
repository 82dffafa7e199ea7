// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixFileOperations.h"

#include "platform/posix/UniqueFd.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace pellamy {
namespace {

std::error_code SystemError(int error)
{
    return {error, std::generic_category()};
}

std::error_code LastError()
{
    return SystemError(errno);
}

/// A file created under a fresh short name in a given folder, removed again unless `Keep` is
/// called once it has been renamed to its final name.
class TemporaryFile
{
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile()
    {
        if (!m_path.empty()) {
            ::unlink(m_path.c_str());
        }
    }

    /// Creates the file for writing in `folder`. The name is short so that it fits beside a
    /// destination whose own name is as long as the file system allows.
    std::error_code Create(const std::string& folder, int& fd)
    {
        std::random_device random;
        for (int attempt = 0; attempt < 64; ++attempt) {
            std::array<char, 32> tag{};
            std::snprintf(tag.data(), tag.size(), "/.pellamy-%08x", static_cast<unsigned>(random()));
            std::string path = folder + tag.data();
            fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd >= 0) {
                m_path = std::move(path);
                return {};
            }
            if (errno != EEXIST) {
                return LastError();
            }
        }
        return SystemError(EEXIST);
    }

    const std::string& Path() const { return m_path; }
    void Keep() { m_path.clear(); }

private:
    std::string m_path;
};

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::error_code WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return {};
}

/// Copies everything from `in` to `out`; `copied` counts the bytes.
std::error_code CopyContents(int in, int out, off_t& copied)
{
    std::array<char, 128 * 1024> buffer{};
    copied = 0;
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (got == 0) {
            return {};
        }
        if (const auto error = WriteAll(out, buffer.data(), static_cast<std::size_t>(got))) {
            return error;
        }
        copied += got;
    }
}

/// Flushes a folder's entries, so a rename inside it survives a crash. Some file systems cannot
/// flush a folder; the file's own data is flushed already, so that is not an error.
void SyncFolder(const std::string& folder)
{
    UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.Valid()) {
        ::fsync(fd.Get());
    }
}

/// Gives the finished temporary file the destination's name; without `replace`, an existing
/// destination makes it fail with EEXIST and stays as it was.
std::error_code Publish(TemporaryFile& temporary, const std::string& destination, bool replace)
{
    const char* from = temporary.Path().c_str();
    if (replace) {
        if (::rename(from, destination.c_str()) != 0) {
            return LastError();
        }
        temporary.Keep();
        return {};
    }
    if (::renameat2(AT_FDCWD, from, AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0) {
        temporary.Keep();
        return {};
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return LastError();
    }
    // A file system without the no-replace rename: a hard link fails just the same on an
    // existing name, and the temporary name is then dropped with the temporary file.
    return ::link(from, destination.c_str()) == 0 ? std::error_code() : LastError();
}

std::error_code CopyRegularFile(const std::string& source, const std::string& destination, bool failIfExists)
{
    // Looked at before opening, so that a FIFO or a device is never opened.
    struct stat st
    {};
    if (::stat(source.c_str(), &st) != 0) {
        return LastError();
    }
    if (S_ISDIR(st.st_mode)) {
        return SystemError(EISDIR);
    }
    if (!S_ISREG(st.st_mode)) {
        return SystemError(ENOTSUP);
    }
    UniqueFd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!in.Valid()) {
        return LastError();
    }
    if (::fstat(in.Get(), &st) != 0) {
        return LastError();
    }
    if (!S_ISREG(st.st_mode)) {
        return SystemError(ENOTSUP);
    }
    // Asked before any byte is copied; the final no-replace rename still guards against a file
    // that appears meanwhile.
    struct stat existing
    {};
    if (failIfExists && ::lstat(destination.c_str(), &existing) == 0) {
        return SystemError(EEXIST);
    }

    const std::string folder = FolderOf(destination);
    TemporaryFile temporary;
    int outFd = -1;
    if (const auto error = temporary.Create(folder, outFd)) {
        return error;
    }
    UniqueFd out(outFd);
    off_t copied = 0;
    if (const auto error = CopyContents(in.Get(), out.Get(), copied)) {
        return error;
    }
    if (::fchmod(out.Get(), st.st_mode & 07777) != 0) {
        return LastError();
    }
    const std::array<timespec, 2> times{st.st_atim, st.st_mtim};
    if (::futimens(out.Get(), times.data()) != 0) {
        return LastError();
    }
    if (::fsync(out.Get()) != 0) {
        return LastError();
    }
    // The copy must hold what the source holds now; a source cut short or grown meanwhile would
    // otherwise pass for a complete copy.
    struct stat sourceNow
    {};
    struct stat written
    {};
    if (::fstat(in.Get(), &sourceNow) != 0 || ::fstat(out.Get(), &written) != 0) {
        return LastError();
    }
    if (written.st_size != copied || sourceNow.st_size != copied) {
        return SystemError(EIO);
    }
    if (!out.Close()) {
        return LastError();
    }
    if (const auto error = Publish(temporary, destination, !failIfExists)) {
        return error;
    }
    SyncFolder(folder);
    return {};
}

} // namespace

std::error_code PosixFileOperations::Copy(const std::string& source, const std::string& destination,
                                          bool failIfExists)
{
    return CopyRegularFile(source, destination, failIfExists);
}

std::error_code PosixFileOperations::Move(const std::string& source, const std::string& destination,
                                          bool replaceExisting)
{
    int error = 0;
    if (replaceExisting) {
        if (::rename(source.c_str(), destination.c_str()) == 0) {
            return {};
        }
        error = errno;
    } else {
        if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) == 0) {
            return {};
        }
        error = errno;
        if (error == EINVAL || error == ENOSYS) {
            // A file system without the no-replace rename: link under the new name (which fails
            // on an existing one), then drop the old name.
            if (::link(source.c_str(), destination.c_str()) == 0) {
                return ::unlink(source.c_str()) == 0 ? std::error_code() : LastError();
            }
            error = errno;
        }
    }
    if (error != EXDEV) {
        return SystemError(error);
    }
    // Across file systems: the source goes only once its copy is complete, flushed and checked.
    if (const auto copyError = CopyRegularFile(source, destination, !replaceExisting)) {
        return copyError;
    }
    if (::unlink(source.c_str()) != 0) {
        return LastError();
    }
    SyncFolder(FolderOf(source));
    return {};
}

std::error_code PosixFileOperations::Remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 ? std::error_code() : LastError();
}

} // namespace pellamy
