// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_LISTS_DISPLAYTEXTS_H
#define PELLAMY_LISTS_DISPLAYTEXTS_H

#include "scan/ByteCount.h"
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

/// The units of a size text, smallest first.
enum class SizeUnit { Kilobytes, Megabytes, Gigabytes };

/// What a size text shows of a byte count: its unit and its number in hundredths of that unit,
/// rounded half away from zero on the exact quotient. Ordered by unit, then number, which is the
/// order of the texts' values: every GB text lies above every MB text, every MB text above every
/// KB text. Two byte counts with the same text have equal values.
struct ShownSize
{
    SizeUnit Unit = SizeUnit::Kilobytes;
    ByteCount Hundredths = 0;

    auto operator<=>(const ShownSize&) const = default;
};

/// The unit and rounded number of `SizeText` for `size`, computed exactly from the bytes.
ShownSize ShowSize(ByteCount size, bool forceMegabytes);

/// A byte count as "0.## KB", "0.## MB" or "0.## GB": KB up to 1,048,576 bytes, MB up to
/// 1,073,741,824, GB above (strict comparisons), or always MB with `forceMegabytes`. Rounded half
/// away from zero on the exact quotient; the user's decimal separator; no grouping. GB is the
/// largest unit, so a sum of huge sparse files shows as many gigabytes as it holds.
std::string SizeText(ByteCount size, bool forceMegabytes, const RegionalSettings& settings);

/// The letters R, H, S, A, C for read-only, hidden, system, archive and compressed, in that order.
std::string AttributeLetters(std::uint32_t attributes);

/// A UTC file time as local date and time, with the time-zone offset that was in force on that
/// date (so a summer file keeps its summer wall-clock time when read in winter). Empty for
/// `kNoFileTime`, and when the time cannot be converted or its year lies beyond 9999.
std::optional<LocalDateTime> FileTimeToLocalDateTime(FileTime time);

/// The date in the short date format, then, unless the time is midnight to the second, a blank
/// and the time (hours, minutes, seconds; 12- or 24-hour as the settings say).
std::string DateTimeText(const LocalDateTime& time, const RegionalSettings& settings);

/// `DateTimeText` of `FileTimeToLocalDateTime`, or the empty text for a time that cannot be shown.
std::string FileTimeText(FileTime time, const RegionalSettings& settings);

/// Reads a `DateTimeText` back, under the settings that made it. Empty for a text that does not
/// have that form.
std::optional<LocalDateTime> ParseDateTimeText(std::string_view text, const RegionalSettings& settings);

/// A UTC file time in ISO 8601, "2024-05-01T12:30:05.000000Z", or empty for `kNoFileTime` and for
/// a time beyond year 9999.
std::string FileTimeToIso8601(FileTime time);

/// Seconds and nanoseconds since 1970-01-01 UTC as a file time. A time before 1601-01-01 or too
/// late for a file time to hold (after about the year 60000) gives `kNoFileTime`; nanoseconds
/// beyond a second count as the last tick of that second.
FileTime FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds);

/// A local date-time to the whole second, counted from 0001-01-01 00:00:00.
std::int64_t SecondsSinceYearOne(const LocalDateTime& time);

/// A file time to the whole second as the lists show it: the local date and time counted in
/// seconds from 0001-01-01, in the order of the times. Empty for a time without a text. Two times
/// with one `DateTimeText` (for a short date format that shows the full year) have one value.
std::optional<std::int64_t> ShownSecond(FileTime time);

/// The totals line of the filter bar: "Folder attributes:%s       TOTALS:    Files:%d   Size:%s "
/// filled in.
std::string TotalsLine(std::uint32_t folderAttributes, std::int32_t totalFiles, ByteCount totalSize,
                       const RegionalSettings& settings);

} // namespace pellamy

#endif
