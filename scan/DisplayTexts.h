// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_DISPLAYTEXTS_H
#define PELLAMY_SCAN_DISPLAYTEXTS_H

#include "scan/FileEntry.h"
#include "scan/RegionalSettings.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pellamy {

/// A calendar date and time of day to the millisecond.
struct LocalDateTime
{
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Millisecond = 0;

    bool operator==(const LocalDateTime&) const = default;
};

/// A byte count as "0.## KB", "0.## MB" or "0.## GB": KB up to 1,048,576 bytes, MB up to
/// 1,073,741,824, GB above (strict comparisons), or always MB with `forceMegabytes`. Rounded half
/// away from zero on the exact quotient; the user's decimal separator; no grouping.
std::string SizeText(std::int64_t size, bool forceMegabytes, const RegionalSettings& settings);

/// The letters R, H, S, A, C for read-only, hidden, system, archive and compressed, in that order.
std::string AttributeLetters(std::uint32_t attributes);

/// A UTC file time as local date and time, with the time-zone offset that was in force on that
/// date (so a summer file keeps its summer wall-clock time when read in winter). Empty when the
/// time cannot be converted or its year lies beyond 9999.
std::optional<LocalDateTime> FileTimeToLocalDateTime(FileTime time);

/// The date in the short date format, then, unless the time is midnight to the second, a blank
/// and the time (hours, minutes, seconds; 12- or 24-hour as the settings say).
std::string DateTimeText(const LocalDateTime& time, const RegionalSettings& settings);

/// `DateTimeText` of `FileTimeToLocalDateTime`, or the empty text for a time that cannot be shown.
std::string FileTimeText(FileTime time, const RegionalSettings& settings);

/// Reads a `DateTimeText` back, under the settings that made it. Empty for a text that does not
/// have that form.
std::optional<LocalDateTime> ParseDateTimeText(std::string_view text, const RegionalSettings& settings);

/// A UTC file time in ISO 8601, "2024-05-01T12:30:05.000000Z", or empty for a time beyond year 9999.
std::string FileTimeToIso8601(FileTime time);

/// Seconds since 1970-01-01 UTC and 100-ns ticks to file times and back.
FileTime FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds);

} // namespace pellamy

#endif
