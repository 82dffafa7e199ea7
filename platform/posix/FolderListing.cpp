// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/FolderListing.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace pellamy {
namespace {

enum class EntryType {
    Folder,
    File,
    System,
};

EntryType TypeFromMode(mode_t mode)
{
    if (S_ISDIR(mode)) {
        return EntryType::Folder;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode) || S_ISFIFO(mode) || S_ISSOCK(mode)) {
        return EntryType::System;
    }
    return EntryType::File;
}

// A link counts as what it points to when that is a folder; any other link, dangling ones
// included, is a file.
EntryType ClassifyLink(int dirFd, const char* name)
{
    struct stat target
    {};
    if (::fstatat(dirFd, name, &target, 0) == 0 && S_ISDIR(target.st_mode)) {
        return EntryType::Folder;
    }
    return EntryType::File;
}

EntryType Classify(int dirFd, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_DIR:
        return EntryType::Folder;
    case DT_REG:
        return EntryType::File;
    case DT_LNK:
        return ClassifyLink(dirFd, entry.d_name);
    case DT_CHR:
    case DT_BLK:
    case DT_FIFO:
    case DT_SOCK:
        return EntryType::System;
    default:
        break;
    }
    struct stat st
    {};
    if (::fstatat(dirFd, entry.d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return EntryType::File;
    }
    return S_ISLNK(st.st_mode) ? ClassifyLink(dirFd, entry.d_name) : TypeFromMode(st.st_mode);
}

} // namespace

FolderListing ReadFolderListing(const std::string& folder, bool withFiles, std::error_code* error)
{
    FolderListing listing;
    if (error != nullptr) {
        error->clear();
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (dir == nullptr) {
        const int reason = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        if (error != nullptr) {
            *error = std::error_code(reason, std::generic_category());
        }
        return listing;
    }
    const std::unique_ptr<DIR, int (*)(DIR*)> closer(dir, ::closedir);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            if (errno != 0 && error != nullptr) {
                *error = std::error_code(errno, std::generic_category());
            }
            break;
        }
        const std::string_view name = entry->d_name;
        if (name.empty() || name.front() == '.') {
            continue;
        }
        if (!withFiles && entry->d_type == DT_REG) {
            continue;
        }
        switch (Classify(::dirfd(dir), *entry)) {
        case EntryType::Folder:
            listing.Folders.emplace_back(name);
            break;
        case EntryType::File:
            if (withFiles) {
                listing.Files.emplace_back(name);
            }
            break;
        case EntryType::System:
            break;
        }
    }
    return listing;
}

} // namespace pellamy
