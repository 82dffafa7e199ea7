// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report's command line and terminal on Linux.
#include "cli/CommandLine.h"
#include "reports/ReportText.h"

#include <filesystem>
#include <unistd.h>

namespace pellamy {

ReportStreams::ReportStreams() = default;

ReportStreams::~ReportStreams() = default;

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return std::vector<std::string>(argv + 1, argv + argc);
}

std::string NavigatorFolder(const std::string& currentFolder)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(currentFolder, error);
    return NavigatorFolderText(error ? currentFolder : absolute.lexically_normal().string());
}

bool StandardErrorIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace pellamy
