// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_WINDOWSAPI_H
#define PELLAMY_PLATFORM_WIN32_WINDOWSAPI_H

// The Windows API headers in the order they need: the shell's build on the types of <windows.h>.
// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

#endif
