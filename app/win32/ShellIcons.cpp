// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/win32/ShellIcons.h"

#include "platform/win32/WideText.h"

#include <shellapi.h>

#include <string>
#include <unordered_map>

namespace pellamy::win32 {

HIMAGELIST SystemSmallIcons()
{
    SHFILEINFOW info{};
    // The list is the system's own: asking with any name and only the attributes reads no disk.
    return reinterpret_cast<HIMAGELIST>(SHGetFileInfoW(L"file", FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                                                       SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

int TypeIconIndex(std::string_view extension)
{
    // Every row of a type shows the same icon: the shell is asked once per extension, by the
    // extension alone, so no file is opened to find its icon.
    static std::unordered_map<std::string, int> indexes;
    const std::string key(extension);
    if (const auto found = indexes.find(key); found != indexes.end()) {
        return found->second;
    }
    const std::wstring name = L"file" + WideFromUtf8(extension);
    SHFILEINFOW info{};
    const bool found = SHGetFileInfoW(name.c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                                      SHGFI_USEFILEATTRIBUTES | SHGFI_SYSICONINDEX | SHGFI_SMALLICON) != 0;
    const int index = found ? info.iIcon : -1;
    indexes.emplace(key, index);
    return index;
}

} // namespace pellamy::win32
