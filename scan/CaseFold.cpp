// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/CaseFold.h"

#include "scan/Utf8.h"

#include <cstdint>

namespace pellamy {
namespace {

// Lower-case partner of a code point in the folded ranges, or the code point itself.
char32_t FoldCodePoint(char32_t c)
{
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) {
        return c + 0x20;
    }
    if (c >= 0x100 && c <= 0x17F) {
        // Latin Extended-A pairs upper/lower as even/odd, except the runs 0x139-0x148 and
        // 0x179-0x17E, which pair odd/even, and a few letters without a partner here.
        if (c == 0x130 || c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) {
            return c;
        }
        if (c == 0x178) {
            return 0xFF;
        }
        const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddPairs) {
            return (c % 2 == 1) ? c + 1 : c;
        }
        return (c % 2 == 0) ? c + 1 : c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) {
        return c + 0x20;
    }
    if (c >= 0x410 && c <= 0x42F) {
        return c + 0x20;
    }
    if (c >= 0x400 && c <= 0x40F) {
        return c + 0x50;
    }
    return c;
}

} // namespace

void AppendFolded(std::string_view text, std::string& out)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b >= 'A' && b <= 'Z' ? b + 0x20 : b));
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        const char32_t folded = FoldCodePoint(cp);
        if (folded == cp) {
            out.append(text.substr(i, len));
        } else {
            AppendUtf8(folded, out);
        }
        i += len;
    }
}

std::string FoldCase(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendFolded(text, out);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    return FoldCase(a) == FoldCase(b);
}

int CompareTextNoCase(std::string_view a, std::string_view b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        auto ca = static_cast<unsigned char>(a[i]);
        auto cb = static_cast<unsigned char>(b[i]);
        if (ca >= 'a' && ca <= 'z') {
            ca -= 0x20;
        }
        if (cb >= 'a' && cb <= 'z') {
            cb -= 0x20;
        }
        if (ca != cb) {
            return static_cast<int>(ca) - static_cast<int>(cb);
        }
    }
    if (a.size() == b.size()) {
        return 0;
    }
    return a.size() < b.size() ? -1 : 1;
}

} // namespace pellamy
