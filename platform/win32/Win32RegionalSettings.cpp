// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32RegionalSettings.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"
#include "scan/RegionalFormats.h"

#include <optional>

namespace pellamy {
namespace {

// The patterns of GetLocaleInfoEx: ASCII letters are fields, "h" and "H" choose the clock and "tt"
// places AM/PM.
constexpr FormatPatternRules kWindowsPatterns{IsAsciiLetter, ClockLetters::HourLetterCase};

std::optional<std::string> LocaleValue(const std::wstring& localeName, LCTYPE type)
{
    const wchar_t* name = localeName.empty() ? LOCALE_NAME_USER_DEFAULT : localeName.c_str();
    const int length = ::GetLocaleInfoEx(name, type, nullptr, 0);
    if (length <= 1) {
        return std::nullopt;
    }
    std::wstring value(static_cast<std::size_t>(length), L'\0');
    if (::GetLocaleInfoEx(name, type, value.data(), length) == 0) {
        return std::nullopt;
    }
    value.resize(static_cast<std::size_t>(length - 1));
    return Utf8FromWide(value);
}

} // namespace

RegionalSettings Win32RegionalSettings(const std::string& localeName)
{
    const std::wstring name = WideFromUtf8(localeName);
    RegionalSettings out;
    if (const auto decimal = LocaleValue(name, LOCALE_SDECIMAL)) {
        out.DecimalSeparator = *decimal;
    }
    if (const auto date = LocaleValue(name, LOCALE_SSHORTDATE)) {
        ConvertShortDateFormat(*date, kWindowsPatterns, out);
    }
    const auto time = LocaleValue(name, LOCALE_STIMEFORMAT);
    if (time) {
        ConvertTimeFormat(*time, kWindowsPatterns, out);
    }
    if (const auto am = LocaleValue(name, LOCALE_S1159)) {
        out.AmDesignator = *am;
    }
    if (const auto pm = LocaleValue(name, LOCALE_S2359)) {
        out.PmDesignator = *pm;
    }
    // Where the time format has no designator, the locale says on which side it goes.
    if (const auto position = LocaleValue(name, LOCALE_ITIMEMARKPOSN);
        position && out.TwelveHourClock && time && time->find('t') == std::string::npos) {
        out.DesignatorFirst = *position == "1";
    }
    return out;
}

} // namespace pellamy
