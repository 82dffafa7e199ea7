// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/DisplayTexts.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <limits>
#include <vector>

namespace pellamy {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kEpochDifference = 11'644'473'600;
// The last second since 1970 whose every tick a file time still holds.
constexpr std::int64_t kLastUnixSecond =
    static_cast<std::int64_t>((UINT64_MAX - (kTicksPerSecond - 1)) / kTicksPerSecond) - kEpochDifference;

// Days since 1970-01-01 to a proleptic Gregorian date (H. Hinnant's civil_from_days).
void CivilFromDays(std::int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2 ? 1 : 0));
}

// Appends `value` as printf's "%0*lld" gives it: at least `minDigits` characters, the sign
// included, zeros after the sign. Without printf: a list of a million rows shows two dates a row.
void AppendNumber(std::string& out, long long value, int minDigits)
{
    char buf[24];
    const auto [end, error] = std::to_chars(buf, buf + sizeof buf, value);
    static_cast<void>(error);
    const auto length = static_cast<int>(end - buf);
    const char* digits = buf;
    if (value < 0) {
        out += '-';
        ++digits;
    }
    if (length < minDigits) {
        out.append(static_cast<std::size_t>(minDigits - length), '0');
    }
    out.append(digits, static_cast<std::size_t>(end - digits));
}

// One element of a short date format.
struct DateToken
{
    enum class Kind { Day, Month, Year, Literal };
    Kind What = Kind::Literal;
    int Width = 0; // letters in the run: 1 = no padding, 2 = two digits; for years 1-2 short, 3+ full
    std::string Text;
};

std::vector<DateToken> ReadDateFormat(const RegionalSettings& settings)
{
    std::vector<DateToken> tokens;
    const std::string& f = settings.ShortDateFormat;
    std::size_t i = 0;
    auto literal = [&tokens](std::string_view text) {
        if (!tokens.empty() && tokens.back().What == DateToken::Kind::Literal) {
            tokens.back().Text += text;
        } else {
            tokens.push_back({DateToken::Kind::Literal, 0, std::string(text)});
        }
    };
    while (i < f.size()) {
        const char c = f[i];
        if (c == 'd' || c == 'M' || c == 'y') {
            std::size_t j = i;
            while (j < f.size() && f[j] == c) {
                ++j;
            }
            const int run = static_cast<int>(j - i);
            const auto kind = c == 'd'   ? DateToken::Kind::Day
                              : c == 'M' ? DateToken::Kind::Month
                                         : DateToken::Kind::Year;
            tokens.push_back({kind, kind == DateToken::Kind::Year ? run : (run >= 2 ? 2 : 1), {}});
            i = j;
        } else if (c == '/') {
            literal(settings.DateSeparator);
            ++i;
        } else if (c == '\'') {
            ++i;
            std::string text;
            while (i < f.size()) {
                if (f[i] == '\'') {
                    if (i + 1 < f.size() && f[i + 1] == '\'') {
                        text.push_back('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text.push_back(f[i++]);
            }
            if (text.empty() && i >= 2 && f[i - 2] == '\'' && f[i - 1] == '\'') {
                text = "'";
            }
            literal(text);
        } else {
            literal(std::string_view(&f[i], 1));
            ++i;
        }
    }
    return tokens;
}

// The tokens of the settings' short date format. The last format read on this thread is kept,
// since every date of a list is shown with the same settings.
const std::vector<DateToken>& TokenizeDateFormat(const RegionalSettings& settings)
{
    thread_local std::string format;
    thread_local std::string separator;
    thread_local std::vector<DateToken> tokens;
    thread_local bool read = false;
    if (!read || format != settings.ShortDateFormat || separator != settings.DateSeparator) {
        tokens = ReadDateFormat(settings);
        format = settings.ShortDateFormat;
        separator = settings.DateSeparator;
        read = true;
    }
    return tokens;
}

void AppendTime(std::string& out, const LocalDateTime& t, const RegionalSettings& s)
{
    int hour = t.Hour;
    const std::string* designator = nullptr;
    if (s.TwelveHourClock) {
        designator = hour < 12 ? &s.AmDesignator : &s.PmDesignator;
        hour %= 12;
        if (hour == 0) {
            hour = 12;
        }
    }
    if (designator != nullptr && s.DesignatorFirst) {
        out += *designator;
        out += ' ';
    }
    AppendNumber(out, hour, s.LeadingZeroInHours ? 2 : 1);
    out += s.TimeSeparator;
    AppendNumber(out, t.Minute, 2);
    out += s.TimeSeparator;
    AppendNumber(out, t.Second, 2);
    if (designator != nullptr && !s.DesignatorFirst) {
        out += ' ';
        out += *designator;
    }
}

// Reads up to `maxDigits` decimal digits (at least one) from `text` at `pos`.
bool ReadDigits(std::string_view text, std::size_t& pos, int minDigits, int maxDigits, int& value)
{
    int n = 0;
    value = 0;
    while (n < maxDigits && pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        value = value * 10 + (text[pos] - '0');
        ++pos;
        ++n;
    }
    return n >= minDigits;
}

bool ReadLiteral(std::string_view text, std::size_t& pos, std::string_view literal)
{
    if (text.substr(pos, literal.size()) != literal) {
        return false;
    }
    pos += literal.size();
    return true;
}

bool ReadTime(std::string_view text, std::size_t& pos, const RegionalSettings& s, LocalDateTime& t)
{
    int designator = -1; // 0 morning, 1 afternoon
    auto readDesignator = [&]() {
        // The longer designator is tried first so that one that begins with the other still reads.
        const bool pmFirst = s.PmDesignator.size() >= s.AmDesignator.size();
        const std::string& first = pmFirst ? s.PmDesignator : s.AmDesignator;
        const std::string& second = pmFirst ? s.AmDesignator : s.PmDesignator;
        if (!first.empty() && ReadLiteral(text, pos, first)) {
            designator = pmFirst ? 1 : 0;
            return true;
        }
        if (!second.empty() && ReadLiteral(text, pos, second)) {
            designator = pmFirst ? 0 : 1;
            return true;
        }
        return false;
    };
    if (s.TwelveHourClock && s.DesignatorFirst) {
        if (!readDesignator() || !ReadLiteral(text, pos, " ")) {
            return false;
        }
    }
    if (!ReadDigits(text, pos, 1, 2, t.Hour) || !ReadLiteral(text, pos, s.TimeSeparator) ||
        !ReadDigits(text, pos, 2, 2, t.Minute) || !ReadLiteral(text, pos, s.TimeSeparator) ||
        !ReadDigits(text, pos, 2, 2, t.Second)) {
        return false;
    }
    if (s.TwelveHourClock && !s.DesignatorFirst) {
        if (!ReadLiteral(text, pos, " ") || !readDesignator()) {
            return false;
        }
    }
    if (s.TwelveHourClock) {
        if (t.Hour < 1 || t.Hour > 12) {
            return false;
        }
        t.Hour = (t.Hour % 12) + (designator == 1 ? 12 : 0);
    }
    return t.Hour < 24 && t.Minute < 60 && t.Second < 60;
}

} // namespace

std::optional<LocalDateTime> FileTimeToLocalDateTime(FileTime time)
{
    if (time == kNoFileTime) {
        return std::nullopt;
    }
    // At most about 1.8e12 seconds: the subtraction cannot overflow.
    const auto seconds = static_cast<std::int64_t>(time / static_cast<std::uint64_t>(kTicksPerSecond));
    const std::int64_t unixSeconds = seconds - kEpochDifference;
    if constexpr (sizeof(std::time_t) < sizeof(std::int64_t)) {
        // A 32-bit time_t holds 1901 to 2038 only.
        if (unixSeconds < static_cast<std::int64_t>(std::numeric_limits<std::time_t>::min()) ||
            unixSeconds > static_cast<std::int64_t>(std::numeric_limits<std::time_t>::max())) {
            return std::nullopt;
        }
    }
    const auto t = static_cast<std::time_t>(unixSeconds);
    std::tm tm{};
#if defined(_WIN32)
    if (localtime_s(&tm, &t) != 0) {
        return std::nullopt;
    }
#else
    if (localtime_r(&t, &tm) == nullptr) {
        return std::nullopt;
    }
#endif
    const long long year = static_cast<long long>(tm.tm_year) + 1900;
    if (year < 1 || year > 9999) {
        return std::nullopt;
    }
    LocalDateTime out;
    out.Year = static_cast<int>(year);
    out.Month = tm.tm_mon + 1;
    out.Day = tm.tm_mday;
    out.Hour = tm.tm_hour;
    out.Minute = tm.tm_min;
    out.Second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    out.Millisecond = static_cast<int>((time % static_cast<std::uint64_t>(kTicksPerSecond)) / 10'000);
    return out;
}

std::string DateTimeText(const LocalDateTime& time, const RegionalSettings& settings)
{
    std::string out;
    for (const DateToken& token : TokenizeDateFormat(settings)) {
        switch (token.What) {
        case DateToken::Kind::Day:
            AppendNumber(out, time.Day, token.Width);
            break;
        case DateToken::Kind::Month:
            AppendNumber(out, time.Month, token.Width);
            break;
        case DateToken::Kind::Year:
            if (token.Width <= 2) {
                AppendNumber(out, time.Year % 100, token.Width);
            } else {
                AppendNumber(out, time.Year, 4);
            }
            break;
        case DateToken::Kind::Literal:
            out += token.Text;
            break;
        }
    }
    if (time.Hour == 0 && time.Minute == 0 && time.Second == 0) {
        return out;
    }
    out += ' ';
    AppendTime(out, time, settings);
    return out;
}

std::string FileTimeText(FileTime time, const RegionalSettings& settings)
{
    const auto local = FileTimeToLocalDateTime(time);
    return local ? DateTimeText(*local, settings) : std::string();
}

std::optional<LocalDateTime> ParseDateTimeText(std::string_view text, const RegionalSettings& settings)
{
    LocalDateTime t;
    std::size_t pos = 0;
    for (const DateToken& token : TokenizeDateFormat(settings)) {
        bool ok = true;
        switch (token.What) {
        case DateToken::Kind::Day:
            ok = ReadDigits(text, pos, 1, 2, t.Day);
            break;
        case DateToken::Kind::Month:
            ok = ReadDigits(text, pos, 1, 2, t.Month);
            break;
        case DateToken::Kind::Year:
            if (token.Width <= 2) {
                ok = ReadDigits(text, pos, 1, 2, t.Year);
                // Two-digit years read in the window 1930-2029.
                t.Year += t.Year < 30 ? 2000 : 1900;
            } else {
                ok = ReadDigits(text, pos, 1, 4, t.Year);
            }
            break;
        case DateToken::Kind::Literal:
            ok = ReadLiteral(text, pos, token.Text);
            break;
        }
        if (!ok) {
            return std::nullopt;
        }
    }
    if (t.Day < 1 || t.Day > 31 || t.Month < 1 || t.Month > 12) {
        return std::nullopt;
    }
    if (pos == text.size()) {
        return t;
    }
    if (!ReadLiteral(text, pos, " ") || !ReadTime(text, pos, settings, t) || pos != text.size()) {
        return std::nullopt;
    }
    return t;
}

std::string FileTimeToIso8601(FileTime time)
{
    if (time == kNoFileTime) {
        return {};
    }
    const auto totalSeconds = static_cast<std::int64_t>(time / static_cast<std::uint64_t>(kTicksPerSecond));
    const auto ticks = static_cast<long long>(time % static_cast<std::uint64_t>(kTicksPerSecond));
    const std::int64_t unixSeconds = totalSeconds - kEpochDifference;
    std::int64_t days = unixSeconds / 86400;
    std::int64_t secs = unixSeconds % 86400;
    if (secs < 0) {
        secs += 86400;
        --days;
    }
    int y = 0;
    int m = 0;
    int d = 0;
    CivilFromDays(days, y, m, d);
    if (y > 9999) {
        return {};
    }
    // "%04d-%02d-%02dT%02d:%02d:%02d.%06lldZ", without printf: JSON lists give three a row.
    std::string out;
    out.reserve(27);
    AppendNumber(out, y, 4);
    out += '-';
    AppendNumber(out, m, 2);
    out += '-';
    AppendNumber(out, d, 2);
    out += 'T';
    AppendNumber(out, secs / 3600, 2);
    out += ':';
    AppendNumber(out, secs / 60 % 60, 2);
    out += ':';
    AppendNumber(out, secs % 60, 2);
    out += '.';
    AppendNumber(out, ticks / 10, 6);
    out += 'Z';
    return out;
}

FileTime FileTimeFromUnix(std::int64_t seconds, std::uint32_t nanoseconds)
{
    // Both bounds are checked before adding the epoch difference, which could overflow otherwise.
    if (seconds < -kEpochDifference || seconds > kLastUnixSecond) {
        return kNoFileTime;
    }
    constexpr std::uint32_t kLastNanosecond = 999'999'999;
    const auto since1601 = static_cast<std::uint64_t>(seconds + kEpochDifference);
    return since1601 * static_cast<std::uint64_t>(kTicksPerSecond) +
           std::min(nanoseconds, kLastNanosecond) / 100;
}

std::int64_t SecondsSinceYearOne(const LocalDateTime& time)
{
    int y = time.Year;
    const int m = time.Month;
    y -= m <= 2 ? 1 : 0;
    // Days from 0001-01-01 to a proleptic Gregorian date (H. Hinnant's days_from_civil).
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const auto doy = static_cast<unsigned>((153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + time.Day - 1);
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t days = era * 146097 + static_cast<std::int64_t>(doe) + 306 - 366;
    return ((days * 24 + time.Hour) * 60 + time.Minute) * 60 + time.Second;
}

std::optional<std::int64_t> ShownSecond(FileTime time)
{
    const auto local = FileTimeToLocalDateTime(time);
    if (!local) {
        return std::nullopt;
    }
    return SecondsSinceYearOne(*local);
}

} // namespace pellamy
