// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/SparseCopy.h"

#include <algorithm>
#include <cerrno>
#include <unistd.h>
#include <vector>

namespace pellamy {
namespace {

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

std::error_code WriteAll(int fd, const char* data, std::size_t size, off_t at)
{
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, at);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        data += written;
        at += written;
        size -= static_cast<std::size_t>(written);
    }
    return {};
}

/// Copies the bytes of `in` from `from` up to `to` into `out` at the same place.
std::error_code CopyRange(int in, int out, off_t from, off_t to, std::vector<char>& buffer)
{
    while (from < to) {
        const auto want = static_cast<std::size_t>(std::min<off_t>(to - from, static_cast<off_t>(buffer.size())));
        const ssize_t got = ::pread(in, buffer.data(), want, from);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (got == 0) {
            return {}; // cut short meanwhile: the size check after the copy catches it
        }
        if (const auto error = WriteAll(out, buffer.data(), static_cast<std::size_t>(got), from)) {
            return error;
        }
        from += got;
    }
    return {};
}

} // namespace

std::error_code CopyContents(int in, int out, off_t size)
{
    std::vector<char> buffer(256 * 1024);
    off_t at = 0;
    while (at < size) {
        off_t data = ::lseek(in, at, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) {
                break; // nothing but a hole up to the end
            }
            if (errno != EINVAL && errno != EOPNOTSUPP) {
                return LastError();
            }
            // A file system that cannot tell holes: everything is data.
            return CopyRange(in, out, at, size, buffer);
        }
        off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0) {
            return LastError();
        }
        hole = std::min(hole, size);
        if (const auto error = CopyRange(in, out, data, hole, buffer)) {
            return error;
        }
        at = hole;
    }
    return ::ftruncate(out, size) == 0 ? std::error_code() : LastError();
}

} // namespace pellamy
