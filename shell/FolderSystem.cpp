// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FolderSystem.h"

namespace pellamy {
namespace {

bool IsAtOrUnder(std::string_view path, std::string_view folder)
{
    return path == folder || (path.size() > folder.size() && path.substr(0, folder.size()) == folder &&
                              (folder.back() == '/' || path[folder.size()] == '/'));
}

} // namespace

const Drive* DriveOfPath(const std::vector<Drive>& drives, std::string_view path)
{
    const Drive* best = nullptr;
    for (const Drive& drive : drives) {
        const bool holds =
            drive.Root == "/" ? (!path.empty() && path.front() == '/') : IsAtOrUnder(path, drive.Root);
        if (holds && (best == nullptr || drive.Root.size() > best->Root.size())) {
            best = &drive;
        }
    }
    return best;
}

} // namespace pellamy
