// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/FileDetails.h"

#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <vector>

namespace pellamy {

std::optional<FileDetails> ReadFileDetails(const std::string& path, std::error_code& error)
{
    struct statx info
    {};
    if (statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &info) != 0) {
        error.assign(errno, std::system_category());
        return std::nullopt;
    }
    error.clear();
    FileDetails details;
    details.size = info.stx_size;
    if ((info.stx_mask & STATX_BTIME) != 0) {
        details.created = info.stx_btime.tv_sec;
    }
    details.modified = info.stx_mtime.tv_sec;
    details.accessed = info.stx_atime.tv_sec;
    details.changed = info.stx_ctime.tv_sec;
    details.mode = info.stx_mode;

    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(info.stx_uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        details.owner = found->pw_name;
    } else {
        details.owner = std::to_string(info.stx_uid);
    }
    if ((info.stx_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        details.attributes += 'R';
    }
    const auto slash = path.find_last_of('/');
    if (path.compare(slash == std::string::npos ? 0 : slash + 1, 1, ".") == 0) {
        details.attributes += 'H';
    }
    return details;
}

} // namespace pellamy
