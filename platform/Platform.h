// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_PLATFORM_H
#define PELLAMY_PLATFORM_PLATFORM_H

#include "shell/FolderSystem.h"
#include "shell/Platform.h"

#include <memory>

namespace pellamy {

/// The Platform of the system the program was built for: POSIX with QtCore on Linux, the Windows
/// API on Windows. One definition per system, in platform/posix and platform/win32.
std::unique_ptr<Platform> MakePlatform();

/// The folders and drives of this system on their own, for a navigator made without a Platform at
/// hand; the same kind of object as `MakePlatform()->Folders()`.
std::unique_ptr<FolderSystem> MakeFolderSystem();

} // namespace pellamy

#endif
