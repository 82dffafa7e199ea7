// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_PLATFORM_DEEPTREE_H
#define PELLAMY_TESTS_PLATFORM_DEEPTREE_H

#include "platform/posix/UniqueFd.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace pellamy {

/// Makes a chain of `levels` nested folders named "d0000000", "d0000001", ... inside `root`, too
/// deep for one path to name its bottom. In the root and in every folder of the chain but the last:
/// a file "nLEVEL.txt" of LEVEL % 7 bytes, and two empty folders, "leafA" made before the chain's
/// next folder and "leafB" after it, so that whatever the directory order a sibling of the chain's
/// next folder waits while a walk goes down. Every folder is made relative to its parent's
/// descriptor. Returns the files' paths below `root`. `TempFolder` removes the tree: libstdc++'s
/// `std::filesystem::remove_all` goes down by descriptors, so depth does not stop it. Throws when a
/// folder or file cannot be made.
inline std::vector<std::string> MakeDeepTree(const std::filesystem::path& root, int levels)
{
    const auto fail = [](const std::string& what) { throw std::runtime_error("cannot make " + what); };
    const auto writeFile = [&](int folder, const std::string& name, std::size_t size) {
        UniqueFd fd(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
        if (!fd.Valid() || ::write(fd.Get(), std::string(size, 'x').data(), size) != static_cast<ssize_t>(size)) {
            fail(name);
        }
    };
    const auto makeLeaf = [&](int folder, const std::string& name) {
        if (::mkdirat(folder, name.c_str(), 0755) != 0) {
            fail(name);
        }
    };

    std::vector<std::string> files;
    UniqueFd folder(::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    std::string prefix;
    for (int level = 0; level < levels && folder.Valid(); ++level) {
        const std::string own = "n" + std::to_string(level) + ".txt";
        writeFile(folder.Get(), own, static_cast<std::size_t>(level % 7));
        makeLeaf(folder.Get(), "leafA");
        char next[16];
        std::snprintf(next, sizeof next, "d%07d", level);
        if (::mkdirat(folder.Get(), next, 0755) != 0) {
            fail(next);
        }
        makeLeaf(folder.Get(), "leafB");
        files.push_back(prefix + own);
        prefix += std::string(next) + "/";
        folder = UniqueFd(::openat(folder.Get(), next, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    }
    if (!folder.Valid()) {
        fail("the chain of folders");
    }
    return files;
}

} // namespace pellamy

#endif
