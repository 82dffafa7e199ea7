// SPDX-License-Identifier: GPL-3.0-or-later
// The working folder on Windows, read as UTF-16 so that no name outside the ANSI code page is lost.
#include "platform/WorkingFolder.h"
#include "platform/win32/LongPaths.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <algorithm>

namespace pellamy {

std::string WorkingFolder()
{
    const DWORD length = ::GetCurrentDirectoryW(0, nullptr);
    if (length == 0) {
        return {};
    }
    std::wstring folder(length, L'\0');
    const DWORD written = ::GetCurrentDirectoryW(length, folder.data());
    if (written == 0 || written >= length) {
        return {};
    }
    folder.resize(written);
    // The program keeps paths with "/" between their parts, and never shows the long form's prefix.
    return ShownPath(folder);
}

} // namespace pellamy
