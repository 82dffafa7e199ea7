// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/DisplayTexts.h"
#include "scan/RegionalFormats.h"

#include <gtest/gtest.h>

#include <string>

namespace pellamy {
namespace {

const FormatPatternRules kWindows{IsAsciiLetter, ClockLetters::HourLetterCase};
const FormatPatternRules kAmPmMarker{IsAsciiLetter, ClockLetters::AmPmMarker};

const LocalDateTime kMorning{2024, 3, 7, 7, 5, 9, 0};
const LocalDateTime kAfternoon{2024, 3, 7, 13, 5, 9, 0};

// A system that counts the CJK date words as letters, as Qt does.
bool IsLetterOrDateWord(char32_t c)
{
    return IsAsciiLetter(c) || c == U'\u5E74' || c == U'\u6708' || c == U'\u65E5';
}

RegionalSettings WithDate(const std::string& pattern, const FormatPatternRules& rules = kWindows)
{
    RegionalSettings out;
    ConvertShortDateFormat(pattern, rules, out);
    return out;
}

RegionalSettings WithTime(const std::string& pattern, const FormatPatternRules& rules = kWindows)
{
    RegionalSettings out;
    ConvertTimeFormat(pattern, rules, out);
    return out;
}

TEST(RegionalFormats, WindowsFormatsBecomeTheProgramsForms)
{
    RegionalSettings out;
    ConvertShortDateFormat("yyyy-MM-dd", kWindows, out);
    EXPECT_EQ(out.ShortDateFormat, "yyyy/MM/dd");
    EXPECT_EQ(out.DateSeparator, "-");
    ConvertShortDateFormat("dd MMM yy", kWindows, out);
    EXPECT_EQ(out.ShortDateFormat, "dd/MM/yy");
    EXPECT_EQ(out.DateSeparator, " ");
    ConvertShortDateFormat("d'/'M", kWindows, out);
    EXPECT_EQ(DateTimeText(LocalDateTime{2024, 3, 7, 0, 0, 0, 0}, out), "7/3");

    ConvertTimeFormat("tt hh.mm.ss", kWindows, out);
    EXPECT_TRUE(out.TwelveHourClock);
    EXPECT_TRUE(out.LeadingZeroInHours);
    EXPECT_TRUE(out.DesignatorFirst);
    EXPECT_EQ(out.TimeSeparator, ".");
    ConvertTimeFormat("H:mm:ss", kWindows, out);
    EXPECT_FALSE(out.TwelveHourClock);
    EXPECT_FALSE(out.LeadingZeroInHours);
    EXPECT_FALSE(out.DesignatorFirst);
    EXPECT_EQ(out.TimeSeparator, ":");
}

TEST(RegionalFormats, DateFieldsKeepTheirWidthAndNamesBecomeNumbers)
{
    const RegionalSettings american = WithDate("M/d/yy");
    EXPECT_EQ(american.ShortDateFormat, "M/d/yy");
    EXPECT_EQ(american.DateSeparator, "/");
    EXPECT_EQ(DateTimeText(kAfternoon, american), "3/7/24 13:05:09");

    const RegionalSettings named = WithDate("ddd-MMMM-yyy");
    EXPECT_EQ(named.ShortDateFormat, "dd/MM/yyyy") << "names show as numbers";
    EXPECT_EQ(named.DateSeparator, "-");
    EXPECT_EQ(DateTimeText(kMorning, WithDate("g dd.MM.y")), " 07.03.24 07:05:09") << "the era is left out";
    EXPECT_EQ(WithDate("").DateSeparator, "/");
}

TEST(RegionalFormats, QuotedDateTextStaysAsItIs)
{
    const RegionalSettings bulgarian = WithDate("d.M.yyyy 'г.'");
    EXPECT_EQ(bulgarian.DateSeparator, ".");
    EXPECT_EQ(DateTimeText(kMorning, bulgarian), "7.3.2024 г. 07:05:09");

    // Letters between quotes are no fields, and a doubled quote is one quote.
    EXPECT_EQ(DateTimeText(kMorning, WithDate("'day' d 'of' M")), "day 7 of 3 07:05:09");
    const RegionalSettings doubled = WithDate("dd''MM''yy");
    EXPECT_EQ(doubled.DateSeparator, "/") << "a quote is never the separator";
    EXPECT_EQ(DateTimeText(kMorning, doubled), "07'03'24 07:05:09");
    EXPECT_EQ(DateTimeText(kMorning, WithDate("'it''s' d.M")), "it's 7.3 07:05:09");
    EXPECT_EQ(DateTimeText(kMorning, WithDate("d.M 'open")), "7.3 open 07:05:09") << "an unclosed quote runs to the end";
}

TEST(RegionalFormats, SeparatorsOfSeveralCharacters)
{
    const RegionalSettings korean = WithDate("yyyy. MM. dd.");
    EXPECT_EQ(korean.ShortDateFormat, "yyyy/MM/dd.");
    EXPECT_EQ(korean.DateSeparator, ". ");
    EXPECT_EQ(DateTimeText(kMorning, korean), "2024. 03. 07. 07:05:09");

    // A separator with a mark of writing direction in front of the slash comes through whole.
    const RegionalSettings marked = WithDate("d\u200F/M\u200F/yyyy");
    EXPECT_EQ(marked.ShortDateFormat, "d/M/yyyy");
    EXPECT_EQ(marked.DateSeparator, "\u200F/");

    // A slash that is not the separator stays a slash whatever the separator.
    const RegionalSettings mixed = WithDate("dd.MM/yyyy");
    EXPECT_EQ(mixed.DateSeparator, ".");
    EXPECT_EQ(DateTimeText(kMorning, mixed), "07.03/2024 07:05:09");

    EXPECT_EQ(WithDate("dd\xFFMM\xFFyy").DateSeparator, "\xFF") << "bytes that are not UTF-8 are literal";
}

TEST(RegionalFormats, WhatIsALetterIsTheSystemsDecision)
{
    const RegionalSettings ascii = WithDate("yyyy\u5E74M\u6708d\u65E5");
    EXPECT_EQ(ascii.DateSeparator, "\u5E74");
    EXPECT_EQ(ascii.ShortDateFormat, "yyyy/M\u6708d\u65E5");

    const FormatPatternRules words{IsLetterOrDateWord, ClockLetters::AmPmMarker};
    const RegionalSettings dropped = WithDate("yyyy\u5E74M\u6708d\u65E5", words);
    EXPECT_EQ(dropped.ShortDateFormat, "yyyyMd");
    EXPECT_EQ(dropped.DateSeparator, "/");
    EXPECT_EQ(WithTime("H\u6708mm", words).TimeSeparator, ":") << "a letter ends the time separator";
}

TEST(RegionalFormats, TwelveHourClocksWithTheMarkerBeforeOrAfter)
{
    RegionalSettings after = WithTime("h:mm:ss tt");
    EXPECT_TRUE(after.TwelveHourClock);
    EXPECT_FALSE(after.LeadingZeroInHours);
    EXPECT_FALSE(after.DesignatorFirst);
    ConvertShortDateFormat("M/d/yyyy", kWindows, after);
    EXPECT_EQ(DateTimeText(kAfternoon, after), "3/7/2024 1:05:09 PM");

    RegionalSettings before = WithTime("tt hh:mm:ss");
    EXPECT_TRUE(before.TwelveHourClock);
    EXPECT_TRUE(before.LeadingZeroInHours);
    EXPECT_TRUE(before.DesignatorFirst);
    ConvertShortDateFormat("M/d/yyyy", kWindows, before);
    EXPECT_EQ(DateTimeText(kMorning, before), "3/7/2024 AM 07:05:09");

    // Where the marker decides the clock, "h" without it is a 24-hour clock and "t" a time zone.
    const RegionalSettings marked = WithTime("AP h:mm:ss t", kAmPmMarker);
    EXPECT_TRUE(marked.TwelveHourClock);
    EXPECT_TRUE(marked.DesignatorFirst);
    EXPECT_FALSE(WithTime("h:mm:ss ap", kAmPmMarker).DesignatorFirst);
    EXPECT_TRUE(WithTime("h:mm:ss ap", kAmPmMarker).TwelveHourClock);
    const RegionalSettings zone = WithTime("t HH:mm:ss", kAmPmMarker);
    EXPECT_FALSE(zone.TwelveHourClock);
    EXPECT_FALSE(zone.DesignatorFirst);
    EXPECT_FALSE(WithTime("t HH:mm:ss", kWindows).TwelveHourClock) << "HH is the 24-hour clock";
}

TEST(RegionalFormats, QuotedTimeTextIsNeitherHourNorMarker)
{
    const RegionalSettings esperanto = WithTime("H-'a' 'horo' 'kaj' m:ss t", kAmPmMarker);
    EXPECT_FALSE(esperanto.TwelveHourClock);
    EXPECT_EQ(esperanto.TimeSeparator, "-");

    const RegionalSettings french = WithTime("HH 'h' mm 'min' ss 's'");
    EXPECT_EQ(french.TimeSeparator, " ") << "the separator ends at a quote";
    EXPECT_TRUE(french.LeadingZeroInHours);

    const RegionalSettings quotedMarker = WithTime("'tt' H:mm");
    EXPECT_FALSE(quotedMarker.TwelveHourClock);
    EXPECT_FALSE(quotedMarker.DesignatorFirst);
    const RegionalSettings quotedHour = WithTime("'hh' H.mm");
    EXPECT_FALSE(quotedHour.LeadingZeroInHours);
    EXPECT_EQ(quotedHour.TimeSeparator, ".");
}

TEST(RegionalFormats, TimeSeparatorsAndPatternsWithoutHours)
{
    RegionalSettings spaced = WithTime("H : mm : ss");
    EXPECT_EQ(spaced.TimeSeparator, " : ");
    ConvertShortDateFormat("d.M.", kWindows, spaced);
    EXPECT_EQ(DateTimeText(kMorning, spaced), "7.3. 7 : 05 : 09");
    EXPECT_EQ(WithTime("HHmmss").TimeSeparator, ":");

    // Nothing to read: the settings stay as they were.
    RegionalSettings kept;
    kept.TwelveHourClock = true;
    kept.TimeSeparator = ".";
    ConvertTimeFormat("mm:ss", kWindows, kept);
    EXPECT_TRUE(kept.TwelveHourClock);
    EXPECT_EQ(kept.TimeSeparator, ".");
}

} // namespace
} // namespace pellamy
