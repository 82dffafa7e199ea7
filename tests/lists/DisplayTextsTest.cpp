// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/DisplayTexts.h"

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
}

// Sizes and sums far beyond 64 bits: a sparse file may claim 2^63 - 1 bytes, and a folder may hold
// 2^32 of them.
TEST(SizeText, ShowsTheTrueValueOfSumsBeyondSixtyFourBits)
{
    const RegionalSettings dot;
    const ByteCount twoTo63 = ByteCount{1} << 63;
    EXPECT_EQ(SizeText(twoTo63, false, dot), "8589934592 GB");
    EXPECT_EQ(SizeText(twoTo63 - 1, false, dot), "8589934592 GB"); // 8589934591.999... rounds up
    EXPECT_EQ(SizeText(2 * (twoTo63 - 1), false, dot), "17179869184 GB");
    EXPECT_EQ(SizeText(twoTo63, true, dot), "8796093022208 MB");
    const ByteCount mostInAFolder = (ByteCount{1} << 32) * (twoTo63 - 1);
    EXPECT_EQ(SizeText(mostInAFolder, false, dot), "36893488147419103228 GB");
    EXPECT_EQ(SizeText(mostInAFolder + (ByteCount{1} << 29), false, dot), "36893488147419103228.5 GB");
    EXPECT_EQ(ByteCountDigits(mostInAFolder), "39614081257132168792477007872");
    EXPECT_EQ(ByteCountDigits(0), "0");
}

TEST(ShowSize, OrdersByUnitThenByTheShownNumber)
{
    // The value of each text, and one value for one text.
    EXPECT_LT(ShowSize(1048576, false), ShowSize(1048577, false));       // 1024 KB < 1 MB
    EXPECT_LT(ShowSize(1073741824, false), ShowSize(1073741825, false)); // 1024 MB < 1 GB
    EXPECT_LT(ShowSize(1536, false), ShowSize(1537 + 10, false));        // 1.5 KB < 1.51 KB
    EXPECT_EQ(ShowSize(1536, false), ShowSize(1538, false));             // both 1.5 KB
    EXPECT_EQ(ShowSize(0, false), ShowSize(5, false));                   // both 0 KB
    EXPECT_EQ(ShowSize(1048575, false), (ShownSize{SizeUnit::Kilobytes, 102400}));
}

// Times a file time cannot hold, or no text can show.
TEST(FileTimeFromUnix, TimesOutsideWhatAFileTimeHoldsBecomeNoTime)
{
    constexpr std::int64_t kTo1601 = 11'644'473'600;
    EXPECT_EQ(FileTimeFromUnix(-kTo1601, 0), 0u);
    EXPECT_EQ(FileTimeFromUnix(-kTo1601 - 1, 999'999'999), kNoFileTime);
    EXPECT_EQ(FileTimeFromUnix(INT64_MIN, 0), kNoFileTime);
    EXPECT_EQ(FileTimeFromUnix(INT64_MAX, 999'999'999), kNoFileTime);
    EXPECT_EQ(FileTimeFromUnix(1'899'981'014'400, 0), kNoFileTime); // 62178-01-01
    const FileTime last = FileTimeFromUnix(1'833'029'933'769, 999'999'999);
    EXPECT_NE(last, kNoFileTime);
    EXPECT_EQ(FileTimeFromUnix(1'833'029'933'770, 0), kNoFileTime);
    // Nanoseconds beyond a second stay inside it.
    EXPECT_EQ(FileTimeFromUnix(0, 4'000'000'000u), FileTimeFromUnix(0, 999'999'999));
}

TEST(FileTimeText, TimesThatCannotBeShownGiveEmptyTexts)
{
    const TimeZoneScope utc("UTC0");
    const RegionalSettings settings;
    constexpr std::int64_t kLastSecondOf9999 = 253'402'300'799;
    EXPECT_EQ(FileTimeText(FileTimeFromUnix(kLastSecondOf9999, 0), settings), "31/12/9999 23:59:59");
    EXPECT_EQ(FileTimeToIso8601(FileTimeFromUnix(kLastSecondOf9999, 0)), "9999-12-31T23:59:59.000000Z");
    EXPECT_EQ(FileTimeText(FileTimeFromUnix(kLastSecondOf9999 + 1, 0), settings), "");
    EXPECT_EQ(FileTimeToIso8601(FileTimeFromUnix(kLastSecondOf9999 + 1, 0)), "");
    // Year 62178 lies past every file time: empty, not a wrapped year.
    EXPECT_EQ(FileTimeText(FileTimeFromUnix(1'899'981'014'400, 0), settings), "");
    EXPECT_EQ(FileTimeToIso8601(FileTimeFromUnix(1'899'981'014'400, 0)), "");
    EXPECT_EQ(FileTimeText(FileTimeFromUnix(INT64_MAX, 0), settings), "");
    EXPECT_EQ(FileTimeText(FileTimeFromUnix(-20'000'000'000LL, 0), settings), "");
    EXPECT_EQ(FileTimeToIso8601(FileTimeFromUnix(-20'000'000'000LL, 0)), "");
    // The largest file time (about the year 60000) has no text either.
    EXPECT_EQ(FileTimeText(kNoFileTime - 1, settings), "");
    EXPECT_EQ(FileTimeToIso8601(kNoFileTime - 1), "");
    EXPECT_FALSE(ShownSecond(kNoFileTime).has_value());
}

TEST(FileTimeText, ALocalTimePastTheYear9999IsEmptyWhileUtcStillShows)
{
    const TimeZoneScope ahead("XYZ-14");
    const FileTime noonOfTheLastDay = FileTimeFromUnix(253'402'300'799 - 12 * 3600, 0);
    EXPECT_EQ(FileTimeText(noonOfTheLastDay, RegionalSettings{}), "");
    EXPECT_EQ(FileTimeToIso8601(noonOfTheLastDay), "9999-12-31T11:59:59.000000Z");
}

TEST(ShownSecond, CountsLocalSecondsAndIgnoresFractions)
{
    const TimeZoneScope utc("UTC0");
    const auto a = ShownSecond(FileTimeFromUnix(86'400, 100'000'000));
    const auto b = ShownSecond(FileTimeFromUnix(86'400, 900'000'000));
    const auto c = ShownSecond(FileTimeFromUnix(86'401, 0));
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(*a, *b);
    EXPECT_EQ(*c, *a + 1);
    EXPECT_EQ(ShownSecond(0), SecondsSinceYearOne(LocalDateTime{1601, 1, 1, 0, 0, 0, 0}));
    EXPECT_LT(*ShownSecond(FileTimeFromUnix(-631'152'000, 0)), *a); // 1950 before 1970
}

} // namespace
} // namespace pellamy
