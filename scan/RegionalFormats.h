// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_REGIONALFORMATS_H
#define PELLAMY_SCAN_REGIONALFORMATS_H

#include "scan/RegionalSettings.h"

#include <string_view>

namespace pellamy {

/// How a system marks the 12-hour clock in its time patterns.
enum class ClockLetters
{
    /// "h" is an hour of the 12-hour clock and "H" one of the 24-hour clock; "t" ("tt") marks
    /// where AM or PM goes (the Windows time format).
    HourLetterCase,
    /// The AM/PM marker ("a" or "A", alone or followed by "p" or "P") makes the clock 12-hour,
    /// whichever hour letter is used; "t" is the time zone (the Qt time format).
    AmPmMarker,
};

/// True for the letters A to Z and a to z.
bool IsAsciiLetter(char32_t c);

/// The pattern language of a system's date and time formats. Every system writes days, months and
/// years as "d", "M" and "y", hours as "h" or "H" and minutes as "m", and copies text between
/// single quotes as it stands; the systems differ in what they count as a letter and in how they
/// mark the 12-hour clock.
struct FormatPatternRules
{
    /// Whether a character outside quotes is a letter, that is a field or part of one, rather
    /// than literal text. Never null.
    bool (*IsLetter)(char32_t) = IsAsciiLetter;
    ClockLetters Clock = ClockLetters::HourLetterCase;
};

/// Reads a system's short date pattern ("dd.MM.yyyy", "M/d/yy") into `out.ShortDateFormat` and
/// `out.DateSeparator`. The first run of literal characters after the first field is the date
/// separator; it becomes "/" wherever it recurs. Day and month fields keep their width up to two
/// letters (names of days and months show as two-digit numbers), years become "yy" or "yyyy",
/// other fields are left out, quoted text is kept with its quotes, and a literal "/" that is not
/// the separator is quoted so that it stays a slash. Without a separator it is "/". Never fails:
/// text that is not valid UTF-8 is copied byte by byte.
void ConvertShortDateFormat(std::string_view pattern, const FormatPatternRules& rules, RegionalSettings& out);

/// Reads a system's time pattern ("HH:mm:ss", "h:mm:ss tt", "AP h.mm.ss") into `out`: the time
/// separator (what stands between the first hour field and the next letter or quote, ":" if
/// nothing does), the 12- or 24-hour clock, the leading zero in hours ("hh", "HH") and whether the
/// AM/PM marker comes before the hours. Letters inside quotes are literal text. A pattern without
/// an hour leaves `out` as it is; the AM/PM texts themselves are the system's and not set here.
void ConvertTimeFormat(std::string_view pattern, const FormatPatternRules& rules, RegionalSettings& out);

} // namespace pellamy

#endif
