// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/CaseFold.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

TEST(FoldCase, FoldsLettersOfTheCommonScriptsAndKeepsEverythingElse)
{
    EXPECT_EQ(FoldCase(".TXT"), ".txt");
    EXPECT_EQ(FoldCase("ÄÖÜ"), "äöü");
    EXPECT_EQ(FoldCase("ŁĄĆ"), "łąć");
    EXPECT_EQ(FoldCase("ΣΩ"), "σω");
    EXPECT_EQ(FoldCase("ЖЁ"), "жё");
    EXPECT_EQ(FoldCase("ß×"), "ß×");
    EXPECT_EQ(FoldCase("漢字"), "漢字");
    // Invalid UTF-8 survives byte for byte, and the letters around it still fold.
    EXPECT_EQ(FoldCase(std::string("A\xFF\xC3Z")), std::string("a\xFF\xC3z"));
    EXPECT_TRUE(EqualsNoCase("Straße.PDF", "straße.pdf"));
    EXPECT_FALSE(EqualsNoCase("a.tx", "a.txt"));
}

TEST(CompareTextNoCase, FoldsOnlyAsciiLettersAndPutsPrefixesFirst)
{
    EXPECT_EQ(CompareTextNoCase(".TXT", ".txt"), 0);
    EXPECT_LT(CompareTextNoCase("abc", "abd"), 0);
    EXPECT_LT(CompareTextNoCase("ab", "abc"), 0);
    EXPECT_GT(CompareTextNoCase("b", "A"), 0);
    // "_" lies between the upper- and lower-case letters; mapping to upper case puts it after.
    EXPECT_GT(CompareTextNoCase("_", "a"), 0);
    // Bytes compare unsigned, so non-ASCII sorts after ASCII.
    EXPECT_GT(CompareTextNoCase("é", "z"), 0);
    EXPECT_NE(CompareTextNoCase("É", "é"), 0);
}

} // namespace
} // namespace pellamy
