// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WORKINGFOLDER_H
#define PELLAMY_PLATFORM_WORKINGFOLDER_H

#include <string>

namespace pellamy {

/// The process's working folder, with "/" between its parts on every system: on POSIX systems the
/// file system's own bytes, on Windows UTF-8. Empty when it cannot be read (it has been removed,
/// or the system will not give it). One definition per system, in platform/posix and
/// platform/win32.
std::string WorkingFolder();

} // namespace pellamy

#endif
