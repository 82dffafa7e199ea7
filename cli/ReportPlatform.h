// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_CLI_REPORTPLATFORM_H
#define PELLAMY_CLI_REPORTPLATFORM_H

#include "reports/ReportFiles.h"
#include "scan/DirectorySource.h"
#include "scan/RegionalSettings.h"
#include "scan/TextCollator.h"
#include "scan/TreeSource.h"
#include "scan/TypeInfoSource.h"

#include <memory>
#include <string>
#include <vector>

namespace pellamy {

/// The system's side of pellamy-report: where folders are read, types described, captions
/// ordered, reports saved, and which regional settings apply. One implementation per system
/// (POSIX with QtCore, or the Windows API), chosen when the program is built.
class ReportPlatform
{
public:
    virtual ~ReportPlatform() = default;

    virtual DirectorySource& Directory() = 0;
    virtual TypeInfoSource& Types() = 0;
    virtual const TextCollator& Collator() const = 0;
    virtual RegionalSettings Settings() const = 0;
    virtual const ReportFiles& Files() const = 0;
    /// Where whole trees are walked for `--recursive`; null on a system without a tree walker.
    virtual TreeSource* Tree() = 0;
};

/// The platform of this system. On Windows it also puts standard output and standard error in
/// binary mode, so that reports leave the program with the bytes they were made of (CR LF
/// included, never doubled) and UTF-8 names reach a console intact.
std::unique_ptr<ReportPlatform> MakeReportPlatform();

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
