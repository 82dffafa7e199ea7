// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_TEMPORARYFILES_H
#define PELLAMY_PLATFORM_POSIX_TEMPORARYFILES_H

#include "platform/posix/TemporaryName.h"
#include "platform/posix/UniqueFd.h"

#include <string>
#include <variant>

namespace pellamy {

/// A file written before it takes its place (a report, a copy): without a name where the file
/// system makes unnamed files (`Name` empty), so that nothing is left behind whatever happens to
/// the process; else under a short name that a SIGINT or SIGTERM removes.
struct TemporaryFile
{
    UniqueFd Fd;
    TemporaryName Name;
};

/// A short name of its own in `folder` (never derived from a target's name, so a target whose
/// name has the longest length the system allows still gets one). Not created.
std::string FreshNameIn(const std::string& folder);

/// A named file in `folder`, created exclusively with mode 0600 so that no one else can read it
/// while it is written, and registered for removal on a termination signal. The error of the last
/// attempt when none could be made.
std::variant<TemporaryFile, int> CreateNamedIn(const std::string& folder);

/// A file in `folder`: unnamed (O_TMPFILE) with mode 0600, or, only where the file system makes no
/// unnamed files, a named one as `CreateNamedIn` makes it. The folder's error otherwise.
std::variant<TemporaryFile, int> CreateTemporaryIn(const std::string& folder);

/// Gives the unnamed file `fd` the name `path`, which must not exist (EEXIST when it does):
/// straight from the descriptor where the process may (CAP_DAC_READ_SEARCH), else through its link
/// in /proc, which any user may do for a file made with O_TMPFILE without O_EXCL. 0 or the error.
int LinkUnnamed(int fd, const std::string& path);

/// Gives the unnamed file `fd` a fresh short name in `folder`, registered for removal on a
/// termination signal until it is released; the error when it cannot be named.
std::variant<TemporaryName, int> NameUnnamed(int fd, const std::string& folder);

} // namespace pellamy

#endif
