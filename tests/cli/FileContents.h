// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_CLI_FILECONTENTS_H
#define PELLAMY_TESTS_CLI_FILECONTENTS_H

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace pellamy {

/// The bytes of the file at `path`; empty when it cannot be read.
inline std::string FileText(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

/// The names of the entries of `folder`.
inline std::set<std::string> Names(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

} // namespace pellamy

#endif
