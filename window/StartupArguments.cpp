// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/StartupArguments.h"

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

StartupRequest StartupRequestOf(const std::vector<std::string>& args)
{
    if (!args.empty() && args.front() == "--help") {
        return StartupRequest::ShowHelp;
    }
    if (!args.empty() && args.front() == "--version") {
        return StartupRequest::ShowVersion;
    }
    return StartupRequest::OpenWindow;
}

std::string StartupUsageText()
{
    return "Usage: pellamy [FOLDER | FILE] [/s]\n"
           "\n"
           "Shows what one folder contains, grouped by file type, in a window.\n"
           "\n"
           "The window opens on FOLDER, or on the folder that holds FILE; with no argument, on the\n"
           "root folder \"/\". A last argument of exactly /s switches the skin on.\n"
           "\n"
           "  --help              show this text\n"
           "  --version           show the version\n"
           "\n"
           "Only a first argument of exactly --help or --version is taken as an option; a folder\n"
           "of that name is opened as ./--help.\n";
}

bool SkinRequested(const std::vector<std::string>& args)
{
    return !args.empty() && args.back() == "/s";
}

} // namespace pellamy
