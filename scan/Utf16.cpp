// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/Utf16.h"

#include "scan/Utf8.h"

namespace pellamy {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char32_t c)
{
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The code point of a three-byte form of a surrogate (ED A0..BF 80..BF) at `text[i]`, or 0.
char32_t SurrogateAt(std::string_view text, std::size_t i)
{
    if (text.size() - i < 3 || static_cast<unsigned char>(text[i]) != 0xED) {
        return 0;
    }
    const auto b1 = static_cast<unsigned char>(text[i + 1]);
    const auto b2 = static_cast<unsigned char>(text[i + 2]);
    if (b1 < 0xA0 || b1 > 0xBF || (b2 & 0xC0u) != 0x80u) {
        return 0;
    }
    return 0xD000u | ((b1 & 0x3Fu) << 6) | (b2 & 0x3Fu);
}

} // namespace

std::string Wtf8FromUtf16(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00u);
            ++i;
        }
        // AppendUtf8 writes a lone surrogate as its three-byte form, which is the WTF-8 one.
        AppendUtf8(c, out);
    }
    return out;
}

std::u16string Utf16FromWtf8(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t c = 0;
        if (const std::size_t length = DecodeUtf8(text, i, c); length != 0) {
            i += length;
            if (c >= 0x10000) {
                out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
                out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
            } else {
                out.push_back(static_cast<char16_t>(c));
            }
        } else if (const char32_t surrogate = SurrogateAt(text, i); surrogate != 0) {
            // A high surrogate's form followed by a low one's is the pair itself: WTF-8 never writes
            // a pair that way, but a joined pair must not turn into two lone halves.
            out.push_back(static_cast<char16_t>(surrogate));
            i += 3;
        } else {
            out.push_back(kReplacement);
            ++i;
        }
    }
    return out;
}

} // namespace pellamy
