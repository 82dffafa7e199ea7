// SPDX-License-Identifier: GPL-3.0-or-later
// UTF-8 decoding of file names: DecodeUtf8 accepts exactly the well-formed sequences, gives their
// code points, and AppendUtf8 writes those back byte for byte.
#include "scan/Utf8.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The length of the well-formed sequence at `text[i]`, by the table of well-formed byte
// sequences (first byte, then the allowed range of the second byte), or 0.
std::size_t WellFormedLength(std::string_view text, std::size_t i)
{
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    const unsigned b0 = at(0);
    const std::size_t left = text.size() - i;
    auto cont = [&](std::size_t k, unsigned lo = 0x80, unsigned hi = 0xBF) {
        return k < left && at(k) >= lo && at(k) <= hi;
    };
    if (b0 <= 0x7F) {
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        return cont(1) ? 2 : 0;
    }
    if (b0 == 0xE0) {
        return cont(1, 0xA0) && cont(2) ? 3 : 0;
    }
    if ((b0 >= 0xE1 && b0 <= 0xEC) || b0 == 0xEE || b0 == 0xEF) {
        return cont(1) && cont(2) ? 3 : 0;
    }
    if (b0 == 0xED) {
        return cont(1, 0x80, 0x9F) && cont(2) ? 3 : 0;
    }
    if (b0 == 0xF0) {
        return cont(1, 0x90) && cont(2) && cont(3) ? 4 : 0;
    }
    if (b0 >= 0xF1 && b0 <= 0xF3) {
        return cont(1) && cont(2) && cont(3) ? 4 : 0;
    }
    if (b0 == 0xF4) {
        return cont(1, 0x80, 0x8F) && cont(2) && cont(3) ? 4 : 0;
    }
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = 0xFFFFFFFF;
        const std::size_t length = pellamy::DecodeUtf8(text, i, cp);
        PELLAMY_FUZZ_CHECK(length == WellFormedLength(text, i));
        if (length == 0) {
            continue;
        }
        PELLAMY_FUZZ_CHECK(cp <= 0x10FFFF && (cp < 0xD800 || cp > 0xDFFF));
        std::string encoded;
        pellamy::AppendUtf8(cp, encoded);
        PELLAMY_FUZZ_CHECK(encoded == text.substr(i, length));
    }
    // Every scalar value encodes to a sequence that decodes back to it, whole.
    if (size >= 3) {
        const char32_t cp =
            (static_cast<char32_t>(data[0]) << 16 | static_cast<char32_t>(data[1]) << 8 | data[2]) % 0x110000;
        if (cp < 0xD800 || cp > 0xDFFF) {
            std::string encoded;
            pellamy::AppendUtf8(cp, encoded);
            char32_t back = 0;
            PELLAMY_FUZZ_CHECK(pellamy::DecodeUtf8(encoded, 0, back) == encoded.size() && back == cp);
        }
    }
    return 0;
}
