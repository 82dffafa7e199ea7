// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/FolderAccess.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pellamy {

bool IsFolder(const std::string& path)
{
    struct stat info
    {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CanEnterFolder(const std::string& path)
{
    return IsFolder(path) && ::access(path.c_str(), X_OK) == 0;
}

bool SetWorkingFolder(const std::string& folder)
{
    return IsFolder(folder) && ::chdir(folder.c_str()) == 0;
}

std::string WorkingFolder()
{
    std::vector<char> buffer(PATH_MAX);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    return std::string(buffer.data());
}

bool MakeFolders(const std::string& folder)
{
    if (folder.empty()) {
        return false;
    }
    // Each prefix that ends before a "/" is a parent; the folder itself comes last.
    for (std::size_t end = folder.find('/', 1);; end = folder.find('/', end + 1)) {
        const std::string part = folder.substr(0, end);
        if (!part.empty() && ::mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            return false;
        }
        if (end == std::string::npos) {
            break;
        }
    }
    return IsFolder(folder);
}

} // namespace pellamy
