// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WINDOW_STARTUPARGUMENTS_H
#define PELLAMY_WINDOW_STARTUPARGUMENTS_H

#include "scan/DirectorySource.h"

#include <string>
#include <vector>

namespace pellamy {

/// The folder the window opens on, from the command-line arguments (program name excluded): the
/// first argument when it names a folder (or nothing at all), else that argument's folder part;
/// with no argument, or an argument without any "/", the root folder "/". Always ends in "/".
std::string FirstFolder(const std::vector<std::string>& args, DirectorySource& source);

/// True when the last argument is exactly "/s": the skin is switched on at start.
bool SkinRequested(const std::vector<std::string>& args);

/// The folder a dropped item stands for: the item itself when it is a folder (or names nothing),
/// else the folder that holds it. Ends in "/".
std::string FolderOfPath(const std::string& path, DirectorySource& source);

/// What the command line asks of the program before any window exists.
enum class StartupRequest {
    OpenWindow,
    ShowHelp,
    ShowVersion,
};

/// `ShowHelp` or `ShowVersion` when the first argument is exactly "--help" or "--version"; every
/// other command line opens the window, so a folder of either name is reached as "./--help".
StartupRequest StartupRequestOf(const std::vector<std::string>& args);

/// The usage text that "--help" prints, ending in a newline.
std::string StartupUsageText();

} // namespace pellamy

#endif
