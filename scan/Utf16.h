// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_UTF16_H
#define PELLAMY_SCAN_UTF16_H

#include <string>
#include <string_view>

namespace pellamy {

/// UTF-16 text, as the Windows API takes and gives names, in the UTF-8 form the core keeps. A
/// surrogate without its partner (Windows lets a name hold one) becomes the three-byte form of its
/// code point, as WTF-8 writes it, so every UTF-16 text has a form of its own and comes back whole
/// through `Utf16FromWtf8`.
std::string Wtf8FromUtf16(std::u16string_view text);

/// The UTF-16 form of UTF-8 text, undoing `Wtf8FromUtf16`: the three-byte forms of surrogates
/// become those surrogates again. A byte that begins no well-formed character becomes U+FFFD,
/// since UTF-16 has no form for it.
std::u16string Utf16FromWtf8(std::string_view text);

} // namespace pellamy

#endif
