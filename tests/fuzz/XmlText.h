// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_FUZZ_XMLTEXT_H
#define PELLAMY_TESTS_FUZZ_XMLTEXT_H

#include <string>
#include <string_view>

namespace pellamy {

/// What a reader of a saved document gets back for a value set as `text`: the text with U+FFFD in
/// place of each byte that does not begin a well-formed UTF-8 sequence and of each character XML
/// 1.0 cannot carry. Tab, LF and CR come back as they were.
std::string ExpectedXmlValue(std::string_view text);

} // namespace pellamy

#endif
