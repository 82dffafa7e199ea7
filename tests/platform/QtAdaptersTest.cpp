// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/DisplayTexts.h"
#include "platform/qt/QtCaptionCollator.h"
#include "platform/qt/QtRegionalSettings.h"
#include "shell/qt/MimeTypeDescriptions.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pellamy {
namespace {

const LocalDateTime kAfternoon{2024, 3, 7, 13, 5, 9, 0};

TEST(RegionalSettingsFromLocale, UnitedStatesUsesTheTwelveHourClock)
{
    const RegionalSettings s = RegionalSettingsFromLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(s.DecimalSeparator, ".");
    EXPECT_TRUE(s.TwelveHourClock);
    EXPECT_FALSE(s.LeadingZeroInHours);
    EXPECT_FALSE(s.DesignatorFirst);
    EXPECT_EQ(DateTimeText(kAfternoon, s), "3/7/24 1:05:09 PM");
}

TEST(RegionalSettingsFromLocale, GermanUsesCommaDotsAndTwentyFourHours)
{
    const RegionalSettings s = RegionalSettingsFromLocale(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(s.DecimalSeparator, ",");
    EXPECT_EQ(s.DateSeparator, ".");
    EXPECT_FALSE(s.TwelveHourClock);
    EXPECT_EQ(DateTimeText(kAfternoon, s), "07.03.24 13:05:09");
    EXPECT_EQ(SizeText(1536, false, s), "1,5 KB");
    EXPECT_EQ(ParseDateTimeText(DateTimeText(kAfternoon, s), s), kAfternoon);
}

TEST(RegionalSettingsFromLocale, DesignatorBeforeTheTimeWhereTheLocalePutsItThere)
{
    const QLocale korean(QLocale::Korean, QLocale::SouthKorea);
    const RegionalSettings s = RegionalSettingsFromLocale(korean);
    EXPECT_TRUE(s.TwelveHourClock);
    EXPECT_TRUE(s.DesignatorFirst);
    EXPECT_EQ(s.PmDesignator, korean.pmText().toStdString());
    const std::string text = DateTimeText(kAfternoon, s);
    EXPECT_NE(text.find(s.PmDesignator + " 1"), std::string::npos) << text;
    EXPECT_EQ(ParseDateTimeText(text, s), kAfternoon);
}

TEST(RegionalSettingsFromLocale, CLocaleGetsNumericDates)
{
    const RegionalSettings s = RegionalSettingsFromLocale(QLocale::c());
    EXPECT_EQ(DateTimeText(kAfternoon, s), "2024-03-07 13:05:09");
}

TEST(RegionalSettingsFromLocales, DatesFollowTheTimeLocaleAndTheSeparatorTheNumericOne)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    RegionalSettings s = RegionalSettingsFromLocales(german, QLocale::c());
    EXPECT_EQ(DateTimeText(kAfternoon, s), "07.03.24 13:05:09");
    EXPECT_EQ(SizeText(1536, false, s), "1.5 KB");

    s = RegionalSettingsFromLocales(QLocale::c(), german);
    EXPECT_EQ(DateTimeText(kAfternoon, s), "2024-03-07 13:05:09");
    EXPECT_EQ(SizeText(1536, false, s), "1,5 KB");
}

// Sets the locale variables of one test and puts the earlier values back afterwards.
class LocaleVariables : public ::testing::Test
{
protected:
    static constexpr std::array<const char*, 6> kNames = {"LC_ALL",      "LC_TIME", "LC_NUMERIC",
                                                          "LC_MESSAGES", "LANG",    "LANGUAGE"};

    void SetUp() override
    {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            m_saved.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
            ::unsetenv(name);
        }
    }
    void TearDown() override
    {
        for (const auto& [name, value] : m_saved) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

private:
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

TEST_F(LocaleVariables, EachCategoryFollowsLcAllThenItsOwnVariableThenLang)
{
    EXPECT_EQ(CategoryLocale("LC_TIME").language(), QLocale::C) << "nothing set: the C locale";

    ::setenv("LANG", "en_US.UTF-8", 1);
    ::setenv("LC_TIME", "de_DE.UTF-8", 1);
    EXPECT_EQ(CategoryLocale("LC_TIME").language(), QLocale::German);
    EXPECT_EQ(CategoryLocale("LC_NUMERIC").language(), QLocale::English);

    ::setenv("LC_ALL", "C.UTF-8", 1);
    ::setenv("LANGUAGE", "de", 1);
    EXPECT_EQ(CategoryLocale("LC_TIME").language(), QLocale::C);
    EXPECT_EQ(CategoryLocale("LC_NUMERIC").language(), QLocale::C);

    // The message languages never change the formats.
    ::setenv("LC_ALL", "de_DE.UTF-8", 1);
    ::setenv("LANGUAGE", "C", 1);
    const RegionalSettings s = SystemRegionalSettings();
    EXPECT_EQ(DateTimeText(kAfternoon, s), "07.03.24 13:05:09");
    EXPECT_EQ(s.DecimalSeparator, ",");
}

TEST(MimeTypeDescriptions, KnownUnknownAndMissingExtensions)
{
    MimeTypeDescriptions types;
    const std::string text = types.GetTypeDescription(".txt");
    EXPECT_FALSE(text.empty());
    EXPECT_NE(text, "TXT File") << "the MIME database knows plain text";
    EXPECT_EQ(types.GetTypeDescription(".TXT"), types.GetTypeDescription(".txt"));
    EXPECT_EQ(types.GetTypeDescription(".zq9x"), "ZQ9X File");
    EXPECT_EQ(types.GetTypeDescription(""), "File");
    EXPECT_EQ(types.GetTypeDescription("."), "File");
}

TEST(QtCaptionCollator, OrdersCaptionsLikeTheListDoes)
{
    const QtCaptionCollator collator(QLocale(QLocale::English, QLocale::UnitedStates));
    const std::vector<std::string_view> captions = {".txt", "", ".Doc", ".TXT", ".abc", "", ".txt"};
    const auto order = collator.SortedOrder(captions);
    std::vector<std::string_view> sorted;
    for (const std::size_t i : order) {
        sorted.push_back(captions[i]);
    }
    ASSERT_EQ(sorted.size(), captions.size());
    EXPECT_EQ(sorted[0], "");
    EXPECT_EQ(sorted[1], "");
    EXPECT_EQ(sorted[2], ".abc");
    EXPECT_EQ(sorted[3], ".Doc");
    // Case-sensitive: the two spellings stay distinct but sit together.
    EXPECT_EQ(sorted[4], ".txt");
    EXPECT_EQ(sorted[5], ".txt");
    EXPECT_EQ(sorted[6], ".TXT");
    EXPECT_LT(collator.Compare(".txt", ".TXT"), 0);
    EXPECT_EQ(collator.Compare(".txt", ".txt"), 0);
    EXPECT_NE(collator.Compare("\xff", "\xfe"), 0) << "different bytes never compare equal";
}

} // namespace
} // namespace pellamy
