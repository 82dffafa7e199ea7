// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_COMMATEXT_H
#define PELLAMY_REPORTS_COMMATEXT_H

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace pellamy {

/// One CSV line made of `items`, joined by single commas. An item holding a control character or
/// blank (codes 1 to 32), a double quote or a comma is enclosed in double quotes with each double
/// quote inside it doubled; any other item is written as it is, an empty one as nothing.
std::string CommaText(std::span<const std::string> items);
std::string CommaText(std::span<const std::string_view> items);
std::string CommaText(std::initializer_list<std::string_view> items);

/// Appends one item of a comma text to `out`, quoted as `CommaText` quotes it (the comma before it
/// is the caller's).
void AppendCommaItem(std::string& out, std::string_view item);

} // namespace pellamy

#endif
