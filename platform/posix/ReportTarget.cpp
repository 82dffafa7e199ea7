// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/ReportTarget.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <memory>
#include <string_view>
#include <sys/statfs.h>
#include <unistd.h>
#include <vector>

namespace pellamy {
namespace {

// Link chains longer than this are taken as loops, as the kernel does.
constexpr int kMaxLinkHops = 40;

// The folder part of an absolute path, "/" for a name in the root.
std::string FolderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

std::unique_ptr<char, decltype(&std::free)> RealPath(const std::string& path)
{
    return {::realpath(path.c_str(), nullptr), &std::free};
}

bool OnProcFileSystem(const std::string& path)
{
    struct statfs fileSystem = {};
    return ::statfs(path.c_str(), &fileSystem) == 0 && fileSystem.f_type == PROC_SUPER_MAGIC;
}

bool AllDigits(std::string_view text)
{
    return !text.empty() && text.size() <= 9 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// What an entry of a /proc file system names.
enum class ProcEntry
{
    // Not in a process's own folder there: an ordinary entry (/proc/self, /proc/mounts).
    None,
    // A descriptor link of this process: /proc/self/fd/N and all that lead to it (/dev/stdout,
    // /dev/fd/N, /proc/<own pid>/fd/N, /proc/thread-self/fd/N).
    OwnDescriptor,
    // Anything else in this process's folder: its executable, mapped files, memory, settings.
    OwnOther,
    // An entry of another process's folder, such as its descriptor links.
    OtherProcess,
};

struct ProcPlace
{
    ProcEntry Kind = ProcEntry::None;
    int Descriptor = -1;
};

// Places the entry `name` of `folder`. The folder is taken as the kernel resolves it (so
// /proc/self, /proc/thread-self and /dev/fd lead to the process's numbered folder), wherever a
// /proc file system is mounted. A numbered folder is this process's own when the process has a
// thread of that number, which holds in any PID namespace the mount belongs to.
ProcPlace PlaceInProc(const std::string& folder, const std::string& name)
{
    if (!OnProcFileSystem(folder)) {
        return {};
    }
    const auto real = RealPath(folder);
    if (!real) {
        return {};
    }
    std::vector<std::string> parts;
    for (std::string_view rest = real.get(); !rest.empty();) {
        const auto slash = rest.find('/');
        if (slash != 0) {
            parts.emplace_back(rest.substr(0, slash));
        }
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    // The mount point of the /proc file system: the shortest leading part that is on it.
    std::string root;
    std::size_t first = 0;
    for (; first < parts.size(); ++first) {
        root += "/" + parts[first];
        if (OnProcFileSystem(root)) {
            ++first;
            break;
        }
    }
    if (first >= parts.size() || !AllDigits(parts[first])) {
        return {};
    }
    struct stat thread = {};
    const bool own = ::stat((root + "/self/task/" + parts[first]).c_str(), &thread) == 0;
    const std::size_t depth = parts.size() - first;
    const bool descriptorFolder =
        (depth == 2 && parts[first + 1] == "fd") ||
        (depth == 4 && parts[first + 1] == "task" && AllDigits(parts[first + 2]) && parts[first + 3] == "fd");
    if (!own) {
        return {ProcEntry::OtherProcess};
    }
    if (descriptorFolder && AllDigits(name)) {
        return {ProcEntry::OwnDescriptor, std::stoi(name)};
    }
    return {ProcEntry::OwnOther};
}

std::string NameOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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

} // namespace

std::variant<ReportTarget, int> ResolveReportTarget(std::string path)
{
    for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
        ReportTarget target;
        const std::string folder = FolderOf(path);
        if (::lstat(path.c_str(), &target.Status) != 0) {
            const int error = errno;
            if (error != ENOENT) {
                return error;
            }
            // A descriptor number of this process that is not open.
            if (PlaceInProc(folder, NameOf(path)).Kind == ProcEntry::OwnDescriptor) {
                return EBADF;
            }
            target.Path = std::move(path);
            return target;
        }
        target.Exists = true;
        const ProcPlace place = PlaceInProc(folder, NameOf(path));
        switch (place.Kind) {
        case ProcEntry::None:
            break;
        case ProcEntry::OwnDescriptor:
            // Only the descriptors the process was given name the caller's files; any other is one
            // the program opened itself (a number freed at start and reused, say), never a target.
            target.Inherited = InheritedDescriptor(place.Descriptor);
            if (!target.Inherited) {
                return EBADF;
            }
            [[fallthrough]];
        case ProcEntry::OtherProcess:
            // A descriptor link names an open file rather than a path: it is followed by the
            // kernel, and the file written where it is.
            if (S_ISLNK(target.Status.st_mode)) {
                if (::stat(path.c_str(), &target.Status) != 0) {
                    return errno;
                }
                target.ThroughDescriptor = true;
            }
            target.Path = std::move(path);
            return target;
        case ProcEntry::OwnOther:
            return EACCES;
        }
        if (!S_ISLNK(target.Status.st_mode)) {
            target.Path = std::move(path);
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

} // namespace pellamy
