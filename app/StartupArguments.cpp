// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StartupArguments.h"

#include "scan/ScanFolder.h"

namespace pellamy {

std::string FolderOfPath(const std::string& path, DirectorySource& source)
{
    if (!path.empty() && IsFolderPath(source, path)) {
        return WithTrailingSlash(path);
    }
    return WithTrailingSlash(FolderPartOf(path));
}

std::string FirstFolder(const std::vector<std::string>& args, DirectorySource& source)
{
    return FolderOfPath(args.empty() ? std::string() : args.front(), source);
}

bool SkinRequested(const std::vector<std::string>& args)
{
    return !args.empty() && args.back() == "/s";
}

} // namespace pellamy
