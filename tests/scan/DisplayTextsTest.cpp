// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/DisplayTexts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

namespace pellamy {
namespace {

struct SizeCase
{
    std::int64_t Bytes;
    bool ForceMegabytes;
    const char* Text;
};

TEST(SizeText, EveryRowOfTheSizeTable)
{
    const RegionalSettings dot;
    const SizeCase cases[] = {
        {0, false, "0 KB"},
        {5, false, "0 KB"},
        {6, false, "0.01 KB"},
        {128, false, "0.13 KB"},
        {1000, false, "0.98 KB"},
        {1536, false, "1.5 KB"},
        {1048575, false, "1024 KB"},
        {1048576, false, "1024 KB"},
        {1048577, false, "1 MB"},
        {123456789, false, "117.74 MB"},
        {1073741824, false, "1024 MB"},
        {1073741825, false, "1 GB"},
        {3758096384, false, "3.5 GB"},
        {5497558138880, false, "5120 GB"},
        {0, true, "0 MB"},
        {524288, true, "0.5 MB"},
        {5368709120, true, "5120 MB"},
    };
    for (const SizeCase& c : cases) {
        EXPECT_EQ(SizeText(c.Bytes, c.ForceMegabytes, dot), c.Text) << c.Bytes;
    }
}

TEST(SizeText, UsesTheUsersDecimalSeparatorAndNeverGroups)
{
    RegionalSettings comma;
    comma.DecimalSeparator = ",";
    EXPECT_EQ(SizeText(1536, false, comma), "1,5 KB");
    EXPECT_EQ(SizeText(5497558138880, false, comma), "5120 GB");
    EXPECT_EQ(SizeText(1024LL * 1024 * 1024 * 1024 * 1024, false, comma), "1048576 GB");
}

TEST(SizeText, RoundsOnTheExactQuotientAndCarries)
{
    const RegionalSettings dot;
    // 0.125 KB is exactly half a hundredth: away from zero.
    EXPECT_EQ(SizeText(128, false, dot), "0.13 KB");
    // 0.12402 KB stays 0.12.
    EXPECT_EQ(SizeText(127, false, dot), "0.12 KB");
    // 1.995 MB carries into the units.
    EXPECT_EQ(SizeText(2092105, false, dot), "2 MB");
    // A tenth shows one decimal, not a trailing zero.
    EXPECT_EQ(SizeText(104858 * 10, true, dot), "1 MB");
    EXPECT_EQ(SizeText(1153434, false, dot), "1.1 MB");
}

TEST(AttributeLetters, FollowTheFixedOrder)
{
    EXPECT_EQ(AttributeLetters(33), "RA");
    EXPECT_EQ(AttributeLetters(128), "");
    EXPECT_EQ(AttributeLetters(2048 + 32 + 1), "RAC");
    EXPECT_EQ(AttributeLetters(Attr::kInvalid), "RHSAC");
    EXPECT_EQ(AttributeLetters(Attr::kDirectory | Attr::kVolumeLabel | Attr::kNormal), "");
    EXPECT_EQ(AttributeLetters(2 + 4), "HS");
}

RegionalSettings UsSettings()
{
    RegionalSettings s;
    s.ShortDateFormat = "M/d/yyyy";
    s.TwelveHourClock = true;
    s.LeadingZeroInHours = false;
    return s;
}

TEST(DateTimeText, MidnightShowsTheDateAlone)
{
    const RegionalSettings s;
    EXPECT_EQ(DateTimeText({2024, 3, 7, 0, 0, 0, 0}, s), "07/03/2024");
    // Milliseconds play no part in the midnight test.
    EXPECT_EQ(DateTimeText({2024, 3, 7, 0, 0, 0, 999}, s), "07/03/2024");
    EXPECT_EQ(DateTimeText({2024, 3, 7, 0, 0, 1, 0}, s), "07/03/2024 00:00:01");
}

TEST(DateTimeText, TwelveHourClockWithTheDesignatorAfterOrBefore)
{
    RegionalSettings s = UsSettings();
    EXPECT_EQ(DateTimeText({2024, 3, 7, 13, 5, 9, 0}, s), "3/7/2024 1:05:09 PM");
    EXPECT_EQ(DateTimeText({2024, 3, 7, 0, 30, 0, 0}, s), "3/7/2024 12:30:00 AM");
    EXPECT_EQ(DateTimeText({2024, 3, 7, 12, 0, 1, 0}, s), "3/7/2024 12:00:01 PM");
    s.DesignatorFirst = true;
    s.AmDesignator = "a.m.";
    s.PmDesignator = "p.m.";
    s.LeadingZeroInHours = true;
    EXPECT_EQ(DateTimeText({2024, 3, 7, 13, 5, 9, 0}, s), "3/7/2024 p.m. 01:05:09");
}

TEST(DateTimeText, SeparatorsAndFieldWidthsFollowTheSettings)
{
    RegionalSettings s;
    s.ShortDateFormat = "dd/MM/yy";
    s.DateSeparator = ".";
    s.TimeSeparator = ".";
    s.LeadingZeroInHours = false;
    EXPECT_EQ(DateTimeText({2009, 1, 2, 7, 8, 9, 500}, s), "02.01.09 7.08.09");
    s.ShortDateFormat = "yyyy'年'M'月'd'日'";
    EXPECT_EQ(DateTimeText({2009, 1, 2, 0, 0, 0, 0}, s), "2009年1月2日");
}

TEST(ParseDateTimeText, ReadsBackWhatDateTimeTextWrote)
{
    const LocalDateTime t{2023, 11, 30, 23, 59, 58, 0};
    RegionalSettings settings[4];
    settings[1] = UsSettings();
    settings[2] = UsSettings();
    settings[2].DesignatorFirst = true;
    settings[3].ShortDateFormat = "yyyy/MM/dd";
    settings[3].DateSeparator = "-";
    settings[3].TimeSeparator = ".";
    for (const RegionalSettings& s : settings) {
        const std::string text = DateTimeText(t, s);
        EXPECT_EQ(ParseDateTimeText(text, s), t) << text;
        const LocalDateTime midnight{2023, 1, 5, 0, 0, 0, 0};
        EXPECT_EQ(ParseDateTimeText(DateTimeText(midnight, s), s), midnight);
    }
    EXPECT_FALSE(ParseDateTimeText("", RegionalSettings{}).has_value());
    EXPECT_FALSE(ParseDateTimeText("30/11/2023 25:00:00", RegionalSettings{}).has_value());
    EXPECT_FALSE(ParseDateTimeText("30/11/2023 ", RegionalSettings{}).has_value());
}

// Runs a body with the time zone set to `zone`, restoring the previous one afterwards.
class TimeZoneScope
{
public:
    explicit TimeZoneScope(const char* zone)
    {
        if (const char* old = std::getenv("TZ")) {
            m_old = old;
            m_hadOld = true;
        }
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    TimeZoneScope(const TimeZoneScope&) = delete;
    TimeZoneScope& operator=(const TimeZoneScope&) = delete;
    ~TimeZoneScope()
    {
        if (m_hadOld) {
            ::setenv("TZ", m_old.c_str(), 1);
        } else {
            ::unsetenv("TZ");
        }
        ::tzset();
    }

private:
    std::string m_old;
    bool m_hadOld = false;
};

TEST(FileTimeToLocalDateTime, UsesTheOffsetInForceOnTheFilesOwnDate)
{
    const TimeZoneScope berlin("CET-1CEST,M3.5.0,M10.5.0/3");
    // 2024-07-01 10:00:00.250 UTC is summer time: UTC+2.
    const FileTime summer = FileTimeFromUnix(1719828000, 250'000'000);
    EXPECT_EQ(FileTimeToLocalDateTime(summer), (LocalDateTime{2024, 7, 1, 12, 0, 0, 250}));
    // 2024-01-15 10:00:00 UTC is winter time: UTC+1.
    const FileTime winter = FileTimeFromUnix(1705312800, 0);
    EXPECT_EQ(FileTimeToLocalDateTime(winter), (LocalDateTime{2024, 1, 15, 11, 0, 0, 0}));
}

TEST(FileTimeToLocalDateTime, TimesThatCannotBeShownGiveNothing)
{
    const TimeZoneScope utc("UTC0");
    EXPECT_EQ(FileTimeToLocalDateTime(0), (LocalDateTime{1601, 1, 1, 0, 0, 0, 0}));
    EXPECT_FALSE(FileTimeToLocalDateTime(~FileTime{0}).has_value());
    EXPECT_EQ(FileTimeText(~FileTime{0}, RegionalSettings{}), "");
    EXPECT_EQ(FileTimeText(FileTimeFromUnix(0, 0), RegionalSettings{}), "01/01/1970");
}

TEST(FileTimeToIso8601, WritesUtcWithMicroseconds)
{
    EXPECT_EQ(FileTimeToIso8601(FileTimeFromUnix(1719828000, 250'000'900)), "2024-07-01T10:00:00.250000Z");
    EXPECT_EQ(FileTimeToIso8601(0), "1601-01-01T00:00:00.000000Z");
    EXPECT_EQ(FileTimeToIso8601(~FileTime{0}), "");
    EXPECT_EQ(FileTimeFromUnix(-20'000'000'000LL, 0), 0u);
}

} // namespace
} // namespace pellamy
