// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/ShellTypeDescriptions.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <cwchar>

namespace pellamy {
namespace {

constexpr UINT kIconIndexFlags = SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON;

std::wstring TypePattern(const std::string& extension)
{
    return L"*" + WideFromUtf8(extension);
}

std::string UnregisteredTypeDescription(const std::string& extension)
{
    if (extension.size() <= 1) {
        return "File";
    }
    std::string letters = extension.substr(1);
    for (char& c : letters) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return letters + " File";
}

} // namespace

std::string ShellTypeDescriptions::GetTypeDescription(const std::string& extension)
{
    if (const auto found = m_cache.find(extension); found != m_cache.end()) {
        return found->second;
    }
    SHFILEINFOW info{};
    std::string description;
    if (::SHGetFileInfoW(TypePattern(extension).c_str(), FILE_ATTRIBUTE_NORMAL, &info, sizeof info,
                         SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES) != 0) {
        description = Utf8FromWide(std::wstring_view(info.szTypeName, ::wcsnlen(info.szTypeName, 80)));
    }
    if (description.empty()) {
        description = UnregisteredTypeDescription(extension);
    }
    return m_cache.emplace(extension, std::move(description)).first->second;
}

int ShellTypeDescriptions::GetTypeIconIndex(const std::string& extension)
{
    SHFILEINFOW info{};
    info.iIcon = -1;
    if (::SHGetFileInfoW(TypePattern(extension).c_str(), 0, &info, sizeof info, kIconIndexFlags) == 0) {
        return -1;
    }
    return info.iIcon;
}

void* ShellTypeDescriptions::SystemSmallImageList()
{
    SHFILEINFOW info{};
    return reinterpret_cast<void*>(::SHGetFileInfoW(L"", 0, &info, sizeof info, kIconIndexFlags));
}

} // namespace pellamy
