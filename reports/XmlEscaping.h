// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_XMLESCAPING_H
#define PELLAMY_REPORTS_XMLESCAPING_H

#include <string>
#include <string_view>

namespace pellamy {

/// Whether `text` is an XML 1.0 name: valid UTF-8, not empty, a name-start character followed by
/// name characters.
bool IsXmlName(std::string_view text);

/// Appends `text` to `out` in the escaped form of a saved document: "&", "<", ">", "'" and the
/// double quote as entity references. A carriage return is written as "&#13;" because a parser
/// reads a raw one as a line feed; inside an attribute value (`attributeValue`) a parser also turns
/// raw line feeds and tabs into blanks, so those are written as references there too. Bytes that
/// are not valid UTF-8 and characters XML 1.0 cannot hold become U+FFFD. Never fails.
void AppendXmlEscaped(std::string& out, std::string_view text, bool attributeValue);

/// `text` escaped as by `AppendXmlEscaped`.
std::string XmlEscaped(std::string_view text, bool attributeValue);

/// `text` with "&#13;", "&amp;", "&lt;", "&gt;", "&apos;" and "&quot;" turned back, in that
/// order, each pass over the result of the one before: the display form of a stored value.
std::string XmlDisplayValue(std::string_view escaped);

} // namespace pellamy

#endif
