// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_REPORTTARGET_H
#define PELLAMY_PLATFORM_POSIX_REPORTTARGET_H

#include "platform/posix/InheritedDescriptors.h"

#include <optional>
#include <string>
#include <sys/stat.h>
#include <variant>

namespace pellamy {

/// The file a report for a path goes to: the end of its chain of symbolic links.
struct ReportTarget
{
    std::string Path;
    bool Exists = false;
    struct stat Status = {};
    // Reached through a link of a process's descriptor table (/proc/PID/fd/N, /dev/stdout), which
    // names an open file rather than a path: the file is written where it is.
    bool ThroughDescriptor = false;
    // For a descriptor of this process: what it was when the process inherited it, which is what
    // the file opened through its link must still be.
    std::optional<DescriptorIdentity> Inherited;
};

/// Follows the symbolic links of the absolute `path` to the file a report goes to. A link of this
/// process's descriptor table (/dev/stdout, /dev/fd/N, /proc/self/fd/N) names a target only for a
/// descriptor the process inherited (EBADF otherwise); the process's other /proc entries are
/// refused (EACCES); another process's descriptor names the open file it leads to. The error of
/// the step that failed, or ELOOP for a chain too long.
std::variant<ReportTarget, int> ResolveReportTarget(std::string path);

} // namespace pellamy

#endif
