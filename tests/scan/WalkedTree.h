// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_SCAN_WALKEDTREE_H
#define PELLAMY_TESTS_SCAN_WALKEDTREE_H

#include "scan/TreeWalk.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellamy {

/// A walk's result with its file list taken: the files as entries named by their path below the
/// root.
struct Walked : TreeWalkResult
{
    explicit Walked(TreeWalkResult result)
        : TreeWalkResult(std::move(result))
    {
        TreeWalkResult::Files.Take([this](std::string_view folder, const DirectoryEntryView& file) {
            Files.push_back(FileEntry{std::string(folder).append(file.Name), file.Attributes, file.CreationTime,
                                      file.LastAccessTime, file.LastWriteTime, file.Size});
        });
    }
    ScanResults Files;
};

/// The listed files' names (their paths below the root), in the walk's order.
inline std::vector<std::string> Names(const Walked& result)
{
    std::vector<std::string> names;
    for (const FileEntry& file : result.Files) {
        names.push_back(file.Name);
    }
    return names;
}

inline std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace pellamy

#endif
