// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixFileOperations.h"

#include "platform/posix/SparseCopy.h"
#include "platform/posix/StatxAttributes.h"
#include "platform/posix/TemporaryFiles.h"
#include "platform/posix/UniqueFd.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <vector>

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

std::string FolderOf(const std::string& path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
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

/// What a listing would show of the entry at `path` now (the link itself, for a link).
struct EntryNow
{
    struct statx Stat;
    StatxDetails Shown;
};

std::error_code Examine(const std::string& path, EntryNow& now)
{
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, kEntryStatMask | STATX_INO,
                &now.Stat) != 0) {
        return LastError();
    }
    DescribeStatx(now.Stat, false, false, now.Shown);
    return {};
}

bool IsLink(const EntryNow& entry)
{
    return (entry.Stat.stx_mode & S_IFMT) == S_IFLNK;
}

/// Whether the entry still shows what the file list showed of it: the same size, and for a link
/// (listed as itself: size 0, its own times) the same write time, which a link put in the file's
/// place since it was listed does not have.
bool StillListed(const EntryNow& entry, const std::optional<ListedFile>& listed)
{
    if (!listed) {
        return true;
    }
    return entry.Shown.Size == listed->Size &&
           (!IsLink(entry) || entry.Shown.LastWriteTime == listed->LastWriteTime);
}

/// True when `destination` is `source` itself, reached by another path (a bind mount, a link to a
/// folder, another hard link): copying or moving it there has nothing to do.
bool SameFile(const EntryNow& source, const std::string& destination)
{
    struct statx there
    {};
    if (::statx(AT_FDCWD, destination.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_INO, &there) != 0) {
        return false;
    }
    return there.stx_ino == source.Stat.stx_ino && there.stx_dev_major == source.Stat.stx_dev_major &&
           there.stx_dev_minor == source.Stat.stx_dev_minor;
}

/// Puts a finished temporary file (or link) under the destination's name, and keeps what that
/// replaced until the caller knows the operation stands, so that a move whose source cannot be
/// removed is taken back whole.
class Placement
{
public:
    Placement() = default;
    Placement(const Placement&) = delete;
    Placement& operator=(const Placement&) = delete;

    /// Gives the file named `temporary` the name `destination`. Without `replace`, an existing
    /// destination makes it fail with EEXIST and stays as it was. With `replace`, the old
    /// destination is exchanged into the temporary name where the file system can, so that
    /// `TakeBack` can restore it.
    std::error_code Place(TemporaryName& temporary, const std::string& destination, bool replace)
    {
        const TerminationSignalsHeld held;
        const char* from = temporary.Path().c_str();
        if (replace) {
            // A folder is never replaced by a file, and never exchanged into the temporary name.
            struct stat there
            {};
            if (::lstat(destination.c_str(), &there) == 0 && S_ISDIR(there.st_mode)) {
                return SystemError(EISDIR);
            }
            if (::renameat2(AT_FDCWD, from, AT_FDCWD, destination.c_str(), RENAME_EXCHANGE) == 0) {
                // The temporary name now holds the file that was replaced.
                m_destination = destination;
                m_replaced = std::move(temporary);
                return {};
            }
            if (errno != ENOENT && errno != EINVAL && errno != ENOSYS) {
                return LastError();
            }
            if (errno != ENOENT) {
                // No exchange on this file system: a plain rename over the destination.
                if (::rename(from, destination.c_str()) != 0) {
                    return LastError();
                }
                temporary.Release();
                m_destination = destination;
                return {};
            }
        }
        if (::renameat2(AT_FDCWD, from, AT_FDCWD, destination.c_str(), RENAME_NOREPLACE) != 0) {
            if (errno != EINVAL && errno != ENOSYS) {
                return LastError();
            }
            // A file system without the no-replace rename: a hard link fails just the same on an
            // existing name, and the temporary name is then dropped with the temporary file.
            if (::link(from, destination.c_str()) != 0) {
                return LastError();
            }
            m_destination = destination;
            return {};
        }
        temporary.Release();
        m_destination = destination;
        return {};
    }

    /// Gives the unnamed file `fd` the name `destination`; as `Place` otherwise. Where the file
    /// cannot be named (no /proc and no privilege to link a descriptor), the error.
    std::error_code PlaceUnnamed(int fd, const std::string& destination, bool replace)
    {
        if (!replace) {
            // A link never replaces a name: the no-replace placing in one step.
            const int error = LinkUnnamed(fd, destination);
            if (error == 0) {
                m_destination = destination;
            }
            return SystemError(error);
        }
        auto name = NameUnnamed(fd, FolderOf(destination));
        if (const int* error = std::get_if<int>(&name)) {
            return SystemError(*error);
        }
        return Place(std::get<TemporaryName>(name), destination, true);
    }

    /// The operation stands: what the destination replaced goes.
    void Commit()
    {
        m_replaced.Remove();
        m_destination.clear();
    }

    /// The operation is taken back: the destination holds again what it held before (nothing,
    /// when it did not exist).
    void TakeBack()
    {
        if (m_destination.empty()) {
            return;
        }
        const TerminationSignalsHeld held;
        if (!m_replaced.Empty()) {
            if (::renameat2(AT_FDCWD, m_replaced.Path().c_str(), AT_FDCWD, m_destination.c_str(), RENAME_EXCHANGE) !=
                0) {
                // The replaced file cannot come back: it stays under its temporary name rather
                // than be lost.
                m_replaced.Release();
            }
        } else {
            ::unlink(m_destination.c_str());
        }
        m_replaced.Remove();
        m_destination.clear();
    }

private:
    std::string m_destination;
    TemporaryName m_replaced;
};

/// Copies the regular file `source` (as examined in `entry`) under a temporary name beside
/// `destination` and places it there. The file is opened without following a link, and must be
/// the one examined, so a link put in its place in between is never followed.
std::error_code CopyRegularFile(const std::string& source, const EntryNow& entry, const std::string& destination,
                                bool replace, bool followLink, Placement& placement)
{
    UniqueFd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (followLink ? 0 : O_NOFOLLOW)));
    if (!in.Valid()) {
        return errno == ELOOP ? std::error_code(FileOperationError::ChangedSinceListed) : LastError();
    }
    struct stat st
    {};
    if (::fstat(in.Get(), &st) != 0) {
        return LastError();
    }
    if (S_ISDIR(st.st_mode)) {
        return SystemError(EISDIR);
    }
    if (!S_ISREG(st.st_mode)) {
        return SystemError(ENOTSUP);
    }
    if (!followLink && (st.st_ino != entry.Stat.stx_ino || major(st.st_dev) != entry.Stat.stx_dev_major ||
                        minor(st.st_dev) != entry.Stat.stx_dev_minor)) {
        return FileOperationError::ChangedSinceListed;
    }
    // Asked before any byte is copied; the final no-replace rename still guards against a file
    // that appears meanwhile.
    struct stat existing
    {};
    if (!replace && ::lstat(destination.c_str(), &existing) == 0) {
        return SystemError(EEXIST);
    }

    const std::string folder = FolderOf(destination);
    auto created = CreateTemporaryIn(folder);
    if (const int* error = std::get_if<int>(&created)) {
        return SystemError(*error);
    }
    TemporaryFile& temporary = std::get<TemporaryFile>(created);
    UniqueFd& out = temporary.Fd;
    if (const auto error = CopyContents(in.Get(), out.Get(), st.st_size)) {
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
    if (written.st_size != st.st_size || sourceNow.st_size != st.st_size) {
        return SystemError(EIO);
    }
    if (temporary.Name.Empty()) {
        if (const auto error = placement.PlaceUnnamed(out.Get(), destination, replace)) {
            return error;
        }
    } else if (const auto error = placement.Place(temporary.Name, destination, replace)) {
        return error;
    }
    if (!out.Close()) {
        const std::error_code closeError = LastError();
        placement.TakeBack();
        return closeError;
    }
    SyncFolder(folder);
    return {};
}

/// Makes a symbolic link at `destination` that says what the link `source` says, with its times.
std::error_code CopyLink(const std::string& source, const EntryNow& entry, const std::string& destination,
                         bool replace, Placement& placement)
{
    std::string target(static_cast<std::size_t>(entry.Stat.stx_size) + 1, '\0');
    const ssize_t length = ::readlink(source.c_str(), target.data(), target.size());
    if (length < 0) {
        return LastError();
    }
    if (static_cast<std::size_t>(length) >= target.size()) {
        return FileOperationError::ChangedSinceListed; // rewritten since it was examined
    }
    target.resize(static_cast<std::size_t>(length));
    const std::string folder = FolderOf(destination);
    TemporaryName temporary;
    for (int attempt = 0; attempt < 100 && temporary.Empty(); ++attempt) {
        std::string path = FreshNameIn(folder);
        const TerminationSignalsHeld held;
        if (::symlink(target.c_str(), path.c_str()) == 0) {
            temporary = TemporaryName(std::move(path));
        } else if (errno != EEXIST) {
            return LastError();
        }
    }
    if (temporary.Empty()) {
        return SystemError(EEXIST);
    }
    const std::array<timespec, 2> times{timespec{entry.Stat.stx_atime.tv_sec, entry.Stat.stx_atime.tv_nsec},
                                        timespec{entry.Stat.stx_mtime.tv_sec, entry.Stat.stx_mtime.tv_nsec}};
    // A link's times are kept where the file system lets them be set; its target is what matters.
    ::utimensat(AT_FDCWD, temporary.Path().c_str(), times.data(), AT_SYMLINK_NOFOLLOW);
    if (const auto error = placement.Place(temporary, destination, replace)) {
        return error;
    }
    SyncFolder(folder);
    return {};
}

/// Whether this process may remove entries of `folder`: asked before a move across file systems
/// copies anything, so that a source that must stay is not copied for nothing. The answer may be
/// wrong (an immutable file, a sticky folder); the move takes its copy back then.
std::error_code MayRemoveFrom(const std::string& folder)
{
    return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) == 0 ? std::error_code() : LastError();
}

/// Examines `source` before a copy or move: the error when it is gone or no longer the listed
/// file; `nothingToDo` when `destination` is the file itself by another path (a bind mount, a link
/// to a folder, another hard link), where a copy or move would otherwise replace or remove it.
std::error_code ExamineSource(const std::string& source, const std::string& destination,
                              const std::optional<ListedFile>& listed, EntryNow& entry, bool& nothingToDo)
{
    if (const auto error = Examine(source, entry)) {
        return error;
    }
    if (!StillListed(entry, listed)) {
        return FileOperationError::ChangedSinceListed;
    }
    nothingToDo = SameFile(entry, destination);
    return {};
}

} // namespace

std::error_code PosixFileOperations::Copy(const std::string& source, const std::string& destination,
                                          bool failIfExists, const std::optional<ListedFile>& listed)
{
    EntryNow entry{};
    bool nothingToDo = false;
    if (const auto error = ExamineSource(source, destination, listed, entry, nothingToDo); error || nothingToDo) {
        return error;
    }
    // A link that was listed is copied as the file it leads to, as the system's own copy does.
    Placement placement;
    if (const auto error = CopyRegularFile(source, entry, destination, !failIfExists, IsLink(entry), placement)) {
        return error;
    }
    placement.Commit();
    return {};
}

std::error_code PosixFileOperations::Move(const std::string& source, const std::string& destination,
                                          bool replaceExisting, const std::optional<ListedFile>& listed)
{
    EntryNow entry{};
    bool nothingToDo = false;
    if (const auto error = ExamineSource(source, destination, listed, entry, nothingToDo); error || nothingToDo) {
        return error;
    }
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
    // Across file systems: the source goes only once its copy is complete, flushed and checked;
    // a link goes across as a link.
    const std::string sourceFolder = FolderOf(source);
    if (const auto denied = MayRemoveFrom(sourceFolder)) {
        return denied;
    }
    Placement placement;
    const std::error_code copyError = IsLink(entry)
                                          ? CopyLink(source, entry, destination, replaceExisting, placement)
                                          : CopyRegularFile(source, entry, destination, replaceExisting, false, placement);
    if (copyError) {
        return copyError;
    }
    if (::unlink(source.c_str()) != 0) {
        const std::error_code unlinkError = LastError();
        placement.TakeBack();
        return unlinkError;
    }
    placement.Commit();
    SyncFolder(sourceFolder);
    return {};
}

std::error_code PosixFileOperations::Remove(const std::string& path)
{
    return ::unlink(path.c_str()) == 0 ? std::error_code() : LastError();
}

} // namespace pellamy
