// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_CLI_COMMANDLINE_H
#define PELLAMY_CLI_COMMANDLINE_H

#include <string>
#include <vector>

namespace pellamy {

/// Standard output and standard error made ready for reports while the object lives. On Windows
/// they are put in binary mode, so that reports leave the program with the bytes they were made
/// of (CR LF included, never doubled), and a console shows UTF-8 while the program runs; the
/// console gets its own code page back, after the last output is flushed, when the object goes.
/// Elsewhere the streams carry bytes as they are, and the object does nothing.
class ReportStreams
{
public:
    ReportStreams();
    ReportStreams(const ReportStreams&) = delete;
    ReportStreams& operator=(const ReportStreams&) = delete;
    ~ReportStreams();

private:
    unsigned m_consoleCodePage = 0;
};

/// The command-line arguments after the program's name, as UTF-8. On Windows they are read from the
/// wide command line, so that no name outside the ANSI code page is lost, and their backslashes
/// become "/", the separator the program keeps paths with (Windows takes either, and no Windows
/// name holds a backslash), so that a file named on the command line stands for its folder.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

/// `currentFolder` as the folder navigator shows it: absolute, normalised, and without a
/// separator at its end, except for a root ("/", "C:\").
std::string NavigatorFolder(const std::string& currentFolder);

/// True when standard error is a terminal (or a console), where a progress line may be drawn.
bool StandardErrorIsTerminal();

} // namespace pellamy

#endif
