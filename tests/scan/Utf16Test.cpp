// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Utf16.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

TEST(Utf16, WellFormedTextRoundTripsThroughUtf8)
{
    const std::u16string texts[] = {u"",
                                    u"report.txt",
                                    u"Fa\u00e7ade \u00fcber",
                                    u"\u65e5\u672c\u8a9e.doc",
                                    u"\U0001F600 smile",
                                    u"\uFFFF\u0800\u07FF\u0080\u007F"};
    for (const std::u16string& text : texts) {
        const std::string utf8 = Wtf8FromUtf16(text);
        EXPECT_EQ(Utf16FromWtf8(utf8), text);
    }
    EXPECT_EQ(Wtf8FromUtf16(u"\u00e9\U0001F600"), "\xC3\xA9\xF0\x9F\x98\x80");
}

TEST(Utf16, UnpairedSurrogatesKeepTheirWtf8Form)
{
    // A high surrogate alone, a low one alone, two highs in a row, and a low before a high.
    const std::u16string texts[] = {std::u16string{u'a', char16_t(0xD83D), u'b'},
                                    std::u16string{char16_t(0xDE00)},
                                    std::u16string{char16_t(0xD800), char16_t(0xD800), u'x'},
                                    std::u16string{char16_t(0xDC00), char16_t(0xD800)}};
    for (const std::u16string& text : texts) {
        const std::string wtf8 = Wtf8FromUtf16(text);
        EXPECT_EQ(Utf16FromWtf8(wtf8), text);
    }
    EXPECT_EQ(Wtf8FromUtf16(std::u16string{char16_t(0xD83D)}), "\xED\xA0\xBD");
    EXPECT_EQ(Wtf8FromUtf16(std::u16string{char16_t(0xDE00)}), "\xED\xB8\x80");
}

TEST(Utf16, BytesThatBeginNoCharacterBecomeReplacementCharacters)
{
    EXPECT_EQ(Utf16FromWtf8("a\xFF"
                            "b"),
              (std::u16string{u'a', char16_t(0xFFFD), u'b'}));
    EXPECT_EQ(Utf16FromWtf8("\xC3"), std::u16string(1, char16_t(0xFFFD)));
    // An overlong "/" must never turn into a separator.
    EXPECT_EQ(Utf16FromWtf8("\xC0\xAF"), std::u16string(2, char16_t(0xFFFD)));
}

} // namespace
} // namespace pellamy
