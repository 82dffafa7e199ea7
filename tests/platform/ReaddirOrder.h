// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_PLATFORM_READDIRORDER_H
#define PELLAMY_TESTS_PLATFORM_READDIRORDER_H

#include <dirent.h>
#include <filesystem>
#include <string>
#include <vector>

namespace pellamy {

/// The names of `folder` in the order the C library's readdir gives them, "." and ".." left out:
/// the directory order an independent reader sees.
inline std::vector<std::string> ReaddirOrder(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    DIR* d = ::opendir(folder.c_str());
    if (d == nullptr) {
        return names;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(d);
    return names;
}

} // namespace pellamy

#endif
