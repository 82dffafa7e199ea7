// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_FUZZ_XMLCHECKER_H
#define PELLAMY_TESTS_FUZZ_XMLCHECKER_H

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellamy {

/// One element as a conforming XML 1.0 processor reports it: attribute values normalised, line
/// ends read as LF, references replaced. Texts are UTF-8.
struct XmlElement
{
    std::string Name;
    std::vector<std::pair<std::string, std::string>> Attributes;
    std::vector<XmlElement> Children;
    /// All character data directly inside the element, in order.
    std::string Text;
};

/// A document that passed the check: its declaration's fields (empty when absent) and its root.
struct XmlDocument
{
    bool HasDeclaration = false;
    std::string Version;
    std::string Encoding;
    XmlElement Root;
};

/// The outcome of `CheckXml`: the document, or the reason and byte offset of the first fault.
struct XmlCheckResult
{
    std::optional<XmlDocument> Document;
    std::string Error;
};

/// Checks that `bytes` are a well-formed XML 1.0 document in UTF-8 without a document type: valid
/// UTF-8 of XML characters only, an optional declaration, one root element, names by the XML Name
/// production, matching tags, unique attributes, only the five predefined entities and character
/// references to XML characters, no "]]>" in text. Comments, processing instructions and CDATA
/// sections are refused, as the writers under test never make them.
XmlCheckResult CheckXml(std::string_view bytes);

/// True for a code point an XML 1.0 document may hold.
bool IsXmlCharacter(char32_t cp);

} // namespace pellamy

#endif
