// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_UTF8_H
#define PELLAMY_SCAN_UTF8_H

#include <cstddef>
#include <string>
#include <string_view>

namespace pellamy {

/// The length of the well-formed UTF-8 character at `text[i]` (1 for ASCII) with its code point in
/// `cp`, or 0 for a byte that does not begin one: overlong forms, surrogates, values above
/// U+10FFFF and cut-off sequences included. File names are bytes, so callers decide what such a
/// byte becomes.
std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& cp);

/// Appends the UTF-8 form of `cp`.
void AppendUtf8(char32_t cp, std::string& out);

} // namespace pellamy

#endif
