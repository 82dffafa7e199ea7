// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_WIN32_SHELLICONS_H
#define PELLAMY_APP_WIN32_SHELLICONS_H

#include <windows.h>
#include <commctrl.h>

#include <string_view>

namespace pellamy::win32 {

/// The shell's shared list of small icons (`ImageList1`): the window uses it and never frees it.
HIMAGELIST SystemSmallIcons();

/// The index in that list of the icon of files with `extension` (with its dot, or empty for files
/// without one), as the shell shows them; looked up once per extension.
int TypeIconIndex(std::string_view extension);

} // namespace pellamy::win32

#endif
