// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_PLATFORM_H
#define PELLAMY_SHELL_PLATFORM_H

#include "lists/TextCollator.h"
#include "reports/ReportFiles.h"
#include "scan/DirectorySource.h"
#include "scan/RegionalSettings.h"
#include "scan/TreeSource.h"
#include "scan/TypeInfoSource.h"
#include "shell/FileDetails.h"
#include "shell/FileOperations.h"
#include "shell/FolderSystem.h"
#include "shell/RegistrationStore.h"

#include <memory>
#include <optional>
#include <string>
#include <system_error>

namespace pellamy {

/// Everything the program takes from the system, in one bundle: where folders and trees are read,
/// types described, captions ordered, reports saved, files copied, moved and deleted, where the
/// context-menu registration is kept, and the drives and folders the navigator shows. One
/// implementation per system (POSIX with QtCore on Linux, the Windows API on Windows), chosen when
/// the program is built; `MakePlatform` in platform/Platform.h makes it. The window and
/// pellamy-report both run over it; tests hand the core fakes of its parts.
class Platform
{
public:
    virtual ~Platform() = default;

    virtual DirectorySource& Directory() = 0;
    /// Where whole trees are walked; null on a system without a tree walker.
    virtual TreeSource* Tree() = 0;
    virtual TypeInfoSource& Types() = 0;
    virtual const TextCollator& Collator() const = 0;
    /// The user's regional settings as they are now.
    virtual RegionalSettings Settings() const = 0;
    virtual const ReportFiles& Reports() const = 0;
    virtual FileOperations& Files() = 0;
    /// The current user's store of context-menu registrations.
    virtual std::unique_ptr<RegistrationStore> Registration() = 0;
    /// The full path of the running program, as the registration names it; empty when unknown.
    virtual std::string ProgramPath() const = 0;
    /// The drives, folder listings and working folder of the folder navigator and the
    /// select-folder dialog.
    virtual FolderSystem& Folders() = 0;
    /// What the window's own details box shows of the file at `path`, where no file manager shows
    /// its properties; the system's error when it cannot be read. Not every system has it.
    virtual std::optional<FileDetails> ReadFileDetails(const std::string& path, std::error_code& error)
    {
        (void)path;
        error = std::make_error_code(std::errc::not_supported);
        return std::nullopt;
    }
};

} // namespace pellamy

#endif
