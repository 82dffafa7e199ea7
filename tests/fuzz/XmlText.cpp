// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/fuzz/XmlText.h"

#include "tests/fuzz/XmlChecker.h"

namespace pellamy {
namespace {

// The code point and length of the well-formed sequence at `text[i]`, or length 0.
std::size_t Sequence(std::string_view text, std::size_t i, char32_t& cp)
{
    const auto b0 = static_cast<unsigned char>(text[i]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    std::size_t length = 0;
    unsigned lo = 0x80;
    unsigned hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        lo = b0 == 0xE0 ? 0xA0 : 0x80;
        hi = b0 == 0xED ? 0x9F : 0xBF;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        lo = b0 == 0xF0 ? 0x90 : 0x80;
        hi = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() - i < length) {
        return 0;
    }
    cp = b0 & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if (b < (k == 1 ? lo : 0x80) || b > (k == 1 ? hi : 0xBF)) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    return length;
}

} // namespace

std::string ExpectedXmlValue(std::string_view text)
{
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t length = Sequence(text, i, cp);
        if (length == 0) {
            out += kReplacement;
            ++i;
            continue;
        }
        if (IsXmlCharacter(cp)) {
            out += text.substr(i, length);
        } else {
            out += kReplacement;
        }
        i += length;
    }
    return out;
}

} // namespace pellamy
