// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32RegionalSettings.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <optional>

namespace pellamy {
namespace {

bool IsAsciiLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

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

void ConvertWindowsDateFormat(const std::string& format, RegionalSettings& out)
{
    std::string result;
    std::string separator;
    bool sawField = false;
    for (std::size_t i = 0; i < format.size();) {
        const char c = format[i];
        if (c == '\'') {
            std::size_t j = i + 1;
            std::string literal;
            while (j < format.size() && format[j] != '\'') {
                literal += format[j++];
            }
            result += '\'' + literal + '\'';
            i = j + 1;
            continue;
        }
        if (c == 'd' || c == 'M' || c == 'y') {
            std::size_t j = i;
            while (j < format.size() && format[j] == c) {
                ++j;
            }
            std::size_t run = j - i;
            if (c != 'y' && run > 2) {
                run = 2; // day and month names: shown as two-digit numbers
            }
            if (c == 'y') {
                run = run >= 3 ? 4 : 2;
            }
            result.append(run, c);
            sawField = true;
            i = j;
            continue;
        }
        if (IsAsciiLetter(c)) {
            // Other fields (the era "g", "gg") are dropped.
            ++i;
            continue;
        }
        if (sawField && separator.empty()) {
            std::size_t j = i;
            while (j < format.size() && !IsAsciiLetter(format[j]) && format[j] != '\'') {
                ++j;
            }
            separator = format.substr(i, j - i);
        }
        if (!separator.empty() && format.compare(i, separator.size(), separator) == 0) {
            result += '/';
            i += separator.size();
            continue;
        }
        if (c == '/') {
            result += "'/'";
        } else {
            result += c;
        }
        ++i;
    }
    out.ShortDateFormat = result;
    out.DateSeparator = separator.empty() ? std::string("/") : separator;
}

void ConvertWindowsTimeFormat(const std::string& format, RegionalSettings& out)
{
    std::size_t hourAt = std::string::npos;
    std::size_t designatorAt = std::string::npos;
    bool inQuote = false;
    for (std::size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '\'') {
            inQuote = !inQuote;
        } else if (!inQuote && (c == 'h' || c == 'H') && hourAt == std::string::npos) {
            hourAt = i;
        } else if (!inQuote && c == 't' && designatorAt == std::string::npos) {
            designatorAt = i;
        }
    }
    if (hourAt == std::string::npos) {
        return;
    }
    std::size_t j = hourAt;
    while (j < format.size() && format[j] == format[hourAt]) {
        ++j;
    }
    out.TwelveHourClock = format[hourAt] == 'h';
    out.LeadingZeroInHours = j - hourAt >= 2;
    std::string separator;
    while (j < format.size() && format[j] != 'm' && format[j] != '\'') {
        separator += format[j++];
    }
    out.TimeSeparator = separator.empty() ? std::string(":") : separator;
    out.DesignatorFirst = out.TwelveHourClock && designatorAt != std::string::npos && designatorAt < hourAt;
}

RegionalSettings Win32RegionalSettings(const std::string& localeName)
{
    const std::wstring name = WideFromUtf8(localeName);
    RegionalSettings out;
    if (const auto decimal = LocaleValue(name, LOCALE_SDECIMAL)) {
        out.DecimalSeparator = *decimal;
    }
    if (const auto date = LocaleValue(name, LOCALE_SSHORTDATE)) {
        ConvertWindowsDateFormat(*date, out);
    }
    const auto time = LocaleValue(name, LOCALE_STIMEFORMAT);
    if (time) {
        ConvertWindowsTimeFormat(*time, out);
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
