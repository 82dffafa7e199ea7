// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/FileDestination.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

#if __has_include(<unistd.h>)
#include <unistd.h>
#define PELLAMY_HAVE_FSYNC 1
#endif

namespace pellamy {
namespace {

namespace fs = std::filesystem;

std::string CannotCreate(const fs::path& target, int error)
{
    return "Cannot create file \"" + target.string() + "\". " + std::generic_category().message(error);
}

struct FileCloser
{
    void operator()(std::FILE* f) const
    {
        if (f != nullptr) {
            std::fclose(f);
        }
    }
};

fs::path TemporaryBeside(const fs::path& target)
{
    std::random_device random;
    const auto tag = std::to_string(random()) + std::to_string(random());
    fs::path temp = target;
    temp += ".pellamy-" + tag + ".tmp";
    return temp;
}

} // namespace

std::optional<std::string> WriteFileReplacing(const std::string& path, std::string_view bytes)
{
    std::error_code ec;
    fs::path target = fs::absolute(fs::path(path), ec);
    if (ec) {
        target = fs::path(path);
    }
    target = target.lexically_normal();

    const fs::file_status status = fs::status(target, ec);
    const bool exists = !ec && fs::exists(status);
    if (exists) {
        if (fs::is_directory(status)) {
            return CannotCreate(target, EISDIR);
        }
        // A file without any write permission is read-only to this program, even for a user
        // whom the system would let write it.
        if ((status.permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                     fs::perms::others_write)) == fs::perms::none) {
            return CannotCreate(target, EACCES);
        }
        // Opening without truncation proves the file may be written and changes nothing.
        std::unique_ptr<std::FILE, FileCloser> probe(std::fopen(target.c_str(), "r+b"));
        if (!probe) {
            return CannotCreate(target, errno);
        }
    }

    const fs::path temp = TemporaryBeside(target);
    std::unique_ptr<std::FILE, FileCloser> out(std::fopen(temp.c_str(), "wxb"));
    if (!out) {
        const int error = errno;
        return CannotCreate(target, error);
    }
    const bool written =
        std::fwrite(bytes.data(), 1, bytes.size(), out.get()) == bytes.size() && std::fflush(out.get()) == 0;
#if defined(PELLAMY_HAVE_FSYNC)
    // The data must be on disk before the rename makes it the target, or a crash could leave an
    // empty file where the earlier one was.
    const bool synced = written && ::fsync(fileno(out.get())) == 0;
#else
    const bool synced = written;
#endif
    const bool closed = std::fclose(out.release()) == 0;
    if (!written || !synced || !closed) {
        fs::remove(temp, ec);
        return std::string("Stream write error");
    }
    if (exists) {
        fs::permissions(temp, status.permissions(), ec);
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return CannotCreate(target, ec.value());
    }
    return std::nullopt;
}

} // namespace pellamy
