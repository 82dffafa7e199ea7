// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32CaptionCollator.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace pellamy {

Win32CaptionCollator::Win32CaptionCollator(std::string localeName)
    : m_localeName(WideFromUtf8(localeName))
{}

int Win32CaptionCollator::Compare(std::string_view a, std::string_view b) const
{
    const std::wstring wideA = WideFromUtf8(a);
    const std::wstring wideB = WideFromUtf8(b);
    const wchar_t* locale = m_localeName.empty() ? LOCALE_NAME_USER_DEFAULT : m_localeName.c_str();
    const int result = ::CompareStringEx(locale, 0, wideA.c_str(), static_cast<int>(wideA.size()),
                                         wideB.c_str(), static_cast<int>(wideB.size()), nullptr, nullptr, 0);
    if (result == CSTR_LESS_THAN) {
        return -1;
    }
    if (result == CSTR_GREATER_THAN) {
        return 1;
    }
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

} // namespace pellamy
