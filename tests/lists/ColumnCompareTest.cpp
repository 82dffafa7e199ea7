// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/ColumnCompare.h"

#include "lists/ColumnOrder.h"
#include "scan/CaseFold.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <vector>

namespace pellamy {
namespace {

TEST(SizeSortValue, OrdersUnitsAboveEachOther)
{
    const RegionalSettings dot;
    EXPECT_LT(CompareTypeCells(3, "512 KB", "1.5 MB", dot), 0);
    EXPECT_LT(CompareTypeCells(3, "1.5 MB", "2 GB", dot), 0);
    EXPECT_LT(CompareTypeCells(3, "1024 KB", "1 MB", dot), 0);
    EXPECT_LT(CompareTypeCells(3, "1024 MB", "1 GB", dot), 0);
    EXPECT_EQ(CompareTypeCells(3, "1.5 KB", "1.5 KB", dot), 0);
    EXPECT_DOUBLE_EQ(SizeSortValue("2 GB", dot), 2.0 * 1073741824.0 * 1048576.0);
    EXPECT_DOUBLE_EQ(SizeSortValue("0.5 MB", dot), 524288.0);

    RegionalSettings comma;
    comma.DecimalSeparator = ",";
    EXPECT_DOUBLE_EQ(SizeSortValue("1,5 KB", comma), 1.5);
    EXPECT_DOUBLE_EQ(SizeSortValue("no unit", comma), 0.0);
}

// The C library's LC_NUMERIC set to a comma locale, as QApplication does for the user's
// locale; restored afterwards.
class CommaNumericLocale : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_old = std::setlocale(LC_NUMERIC, nullptr);
        if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
            GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed (locale-gen de_DE.UTF-8)";
        }
    }
    void TearDown() override { std::setlocale(LC_NUMERIC, m_old.c_str()); }

private:
    std::string m_old;
};

TEST_F(CommaNumericLocale, SizeTextsReadTheSameWhateverTheCLibrarysLocale)
{
    RegionalSettings comma;
    comma.DecimalSeparator = ",";
    EXPECT_GT(CompareTypeCells(3, "1,5 MB", "1,2 MB", comma), 0);
    EXPECT_LT(CompareFileCells(5, "1,2 MB", "1,5 MB", comma), 0);
    EXPECT_DOUBLE_EQ(SizeSortValue("1,25 KB", comma), 1.25);
    const RegionalSettings dot;
    EXPECT_GT(CompareTypeCells(3, "1.5 MB", "1.2 MB", dot), 0);
    EXPECT_DOUBLE_EQ(SizeSortValue("0.5 MB", dot), 524288.0);
}

TEST(TolerantCompare, EqualWithinOnePartInATrillion)
{
    EXPECT_EQ(TolerantCompare(1.0, 1.0 + 1e-13), 0);
    EXPECT_EQ(TolerantCompare(0.0, 1e-13), 0);
    EXPECT_EQ(TolerantCompare(1.0, 1.0 + 1e-9), -1);
    EXPECT_EQ(TolerantCompare(3e15, 2e15), 1);
}

TEST(CompareTypeCells, SizeTextTooLargeForADoubleEqualsItself)
{
    // Three hundred digits in gigabytes read as infinity; the cell must still equal itself and
    // order above every finite size, in either list.
    const RegionalSettings dot;
    const std::string huge = std::string(300, '9') + " GB";
    EXPECT_EQ(CompareTypeCells(3, huge, huge, dot), 0);
    EXPECT_EQ(CompareFileCells(5, huge, huge, dot), 0);
    EXPECT_GT(CompareTypeCells(3, huge, "1 GB", dot), 0);
    EXPECT_LT(CompareFileCells(5, "1 GB", huge, dot), 0);
}

TEST(CompareTypeCells, NumberIsNumericAndOtherColumnsAreText)
{
    const RegionalSettings dot;
    EXPECT_LT(CompareTypeCells(2, "9", "10", dot), 0);
    EXPECT_EQ(CompareTypeCells(2, "10", "10", dot), 0);
    EXPECT_GT(CompareTypeCells(1, "plain text", "Image", dot), 0);
    EXPECT_EQ(CompareTypeCells(0, ".TXT", ".txt", dot), 0);
}

TEST(CompareFileCells, TimesCompareByDateWhateverTheFieldOrder)
{
    RegionalSettings dmy;
    dmy.ShortDateFormat = "dd/MM/yyyy";
    EXPECT_LT(CompareFileCells(2, "31/01/2024 10:00:00", "01/02/2024", dmy), 0);
    EXPECT_EQ(CompareFileCells(3, "01/02/2024 10:00:00", "01/02/2024 10:00:00", dmy), 0);
    EXPECT_GT(CompareFileCells(3, "01/02/2024 10:00:01", "01/02/2024 10:00:00", dmy), 0);

    RegionalSettings mdy;
    mdy.ShortDateFormat = "M/d/yyyy";
    mdy.TwelveHourClock = true;
    mdy.LeadingZeroInHours = false;
    EXPECT_LT(CompareFileCells(2, "12/31/2023 11:59:59 PM", "1/1/2024", mdy), 0);
    EXPECT_LT(CompareFileCells(2, "1/1/2024 12:00:01 AM", "1/1/2024 1:00:00 AM", mdy), 0);
    EXPECT_GT(CompareFileCells(2, "1/1/2024 12:00:00 PM", "1/1/2024 11:00:00 AM", mdy), 0);

    EXPECT_EQ(CompareFileCells(4, "RA", "ra", dmy), 0);
    EXPECT_LT(CompareFileCells(5, "1023 KB", "1 MB", dmy), 0);
}

// The packed prefix decides most comparisons by its numbers alone; whichever way it decides, it must
// agree with the text comparison itself: on letter case, on bytes above 0x7f, on prefixes, and on
// names that share their first 16 bytes and differ after them.
TEST(PackedTextPrefix, OrdersAsTheListsTextComparison)
{
    const std::vector<std::string> texts = {
        "",
        "a",
        "A",
        "B",
        "ab",
        "aB",
        "a~",
        "a\x7f",
        "a\xff",
        "\xc3\xa9",
        "\xc3\x89",
        "_",
        "[",
        "{",
        "sixteen-bytes-ab",
        "SIXTEEN-BYTES-AB",
        "sixteen-bytes-abc",
        "sixteen-bytes-abC",
        "sixteen-bytes-abd",
        "sixteen-bytes-ab\xff",
        "fifteen-bytes-a",
        "seventeen-bytes-a",
    };
    for (const std::string& a : texts) {
        for (const std::string& b : texts) {
            const int expected = CompareTextNoCase(a, b);
            const int sign = expected < 0 ? -1 : (expected > 0 ? 1 : 0);
            // Held in two parts (a folder's path and a file's own name), a text orders as the
            // joined text, wherever either is split.
            for (std::size_t i = 0; i <= a.size(); ++i) {
                for (std::size_t j = 0; j <= b.size(); ++j) {
                    const TwoPartText ta{std::string_view(a).substr(0, i), std::string_view(a).substr(i)};
                    const TwoPartText tb{std::string_view(b).substr(0, j), std::string_view(b).substr(j)};
                    ASSERT_EQ(ComparePackedTexts(PackTextPrefix(ta), ta, PackTextPrefix(tb), tb), sign)
                        << a << " split at " << i << " vs " << b << " split at " << j;
                }
            }
        }
    }
}

} // namespace
} // namespace pellamy
