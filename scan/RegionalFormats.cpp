// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/RegionalFormats.h"

#include "scan/Utf8.h"

#include <string>

namespace pellamy {
namespace {

// One character of a pattern: its length in bytes and whether it is a letter. A byte that does
// not begin valid UTF-8 stands alone and is literal text.
struct PatternChar
{
    std::size_t Length = 1;
    bool Letter = false;
};

PatternChar CharAt(std::string_view pattern, std::size_t i, const FormatPatternRules& rules)
{
    char32_t cp = 0;
    const std::size_t length = DecodeUtf8(pattern, i, cp);
    if (length == 0) {
        return {};
    }
    return {length, rules.IsLetter(cp)};
}

// The literal characters from `i` up to the next letter or quote.
std::string_view LiteralRun(std::string_view pattern, std::size_t i, const FormatPatternRules& rules)
{
    std::size_t j = i;
    while (j < pattern.size() && pattern[j] != '\'') {
        const PatternChar c = CharAt(pattern, j, rules);
        if (c.Letter) {
            break;
        }
        j += c.Length;
    }
    return pattern.substr(i, j - i);
}

bool IsAmPmMarker(char c, ClockLetters clock)
{
    return clock == ClockLetters::HourLetterCase ? c == 't' : (c == 'a' || c == 'A');
}

} // namespace

bool IsAsciiLetter(char32_t c)
{
    return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
}

void ConvertShortDateFormat(std::string_view pattern, const FormatPatternRules& rules, RegionalSettings& out)
{
    std::string result;
    std::string_view separator;
    bool sawField = false;
    for (std::size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'') {
            // Quoted text stays quoted, so that the date texts copy it as it stands; "''" is kept
            // as the quote it stands for.
            const std::size_t close = pattern.find('\'', i + 1);
            const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
            result += '\'';
            result += pattern.substr(i + 1, end - i - 1);
            result += '\'';
            i = end + 1;
            continue;
        }
        if (c == 'd' || c == 'M' || c == 'y') {
            std::size_t j = i;
            while (j < pattern.size() && pattern[j] == c) {
                ++j;
            }
            std::size_t run = j - i;
            if (c == 'y') {
                run = run >= 3 ? 4 : 2;
            } else if (run > 2) {
                run = 2; // day and month names: shown as two-digit numbers
            }
            result.append(run, c);
            sawField = true;
            i = j;
            continue;
        }
        const PatternChar here = CharAt(pattern, i, rules);
        if (here.Letter) {
            // Other fields (weekday names, the era) are left out.
            i += here.Length;
            continue;
        }
        if (sawField && separator.empty()) {
            separator = LiteralRun(pattern, i, rules);
        }
        if (!separator.empty() && pattern.substr(i, separator.size()) == separator) {
            result += '/';
            i += separator.size();
            continue;
        }
        if (c == '/') {
            result += "'/'";
        } else {
            result += pattern.substr(i, here.Length);
        }
        i += here.Length;
    }
    out.ShortDateFormat = result;
    out.DateSeparator = separator.empty() ? std::string("/") : std::string(separator);
}

void ConvertTimeFormat(std::string_view pattern, const FormatPatternRules& rules, RegionalSettings& out)
{
    std::size_t hourAt = std::string_view::npos;
    std::size_t markerAt = std::string_view::npos;
    bool inQuote = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '\'') {
            inQuote = !inQuote;
        } else if (!inQuote && (c == 'h' || c == 'H') && hourAt == std::string_view::npos) {
            hourAt = i;
        } else if (!inQuote && IsAmPmMarker(c, rules.Clock) && markerAt == std::string_view::npos) {
            markerAt = i;
        }
    }
    if (hourAt == std::string_view::npos) {
        return;
    }
    std::size_t afterHour = hourAt;
    while (afterHour < pattern.size() && pattern[afterHour] == pattern[hourAt]) {
        ++afterHour;
    }
    out.TwelveHourClock = rules.Clock == ClockLetters::HourLetterCase ? pattern[hourAt] == 'h'
                                                                      : markerAt != std::string_view::npos;
    out.LeadingZeroInHours = afterHour - hourAt >= 2;
    const std::string_view separator = LiteralRun(pattern, afterHour, rules);
    out.TimeSeparator = separator.empty() ? std::string(":") : std::string(separator);
    out.DesignatorFirst = out.TwelveHourClock && markerAt != std::string_view::npos && markerAt < hourAt;
}

} // namespace pellamy
