// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/XmlWriter.h"

#include "reports/FileDestination.h"
#include "scan/Utf8.h"

#include <ostream>
#include <stdexcept>

namespace pellamy {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool IsBlank(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsXmlChar(char32_t cp)
{
    if (cp < 0x20) {
        return cp == 0x09 || cp == 0x0A || cp == 0x0D;
    }
    return cp != 0xFFFE && cp != 0xFFFF;
}

// `text` with U+FFFD in place of every byte that is not valid UTF-8 and of every character that
// an XML 1.0 document cannot hold.
std::string XmlSafe(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t length = DecodeUtf8(text, i, cp);
        if (length == 0) {
            out += kReplacementCharacter;
            ++i;
        } else if (!IsXmlChar(cp)) {
            out += kReplacementCharacter;
            i += length;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

// Whether `cp` may begin an XML name.
bool IsNameStartChar(char32_t cp)
{
    return cp == ':' || cp == '_' || (cp >= 'A' && cp <= 'Z') || (cp >= 'a' && cp <= 'z') ||
           (cp >= 0xC0 && cp <= 0xD6) || (cp >= 0xD8 && cp <= 0xF6) || (cp >= 0xF8 && cp <= 0x2FF) ||
           (cp >= 0x370 && cp <= 0x37D) || (cp >= 0x37F && cp <= 0x1FFF) || (cp >= 0x200C && cp <= 0x200D) ||
           (cp >= 0x2070 && cp <= 0x218F) || (cp >= 0x2C00 && cp <= 0x2FEF) ||
           (cp >= 0x3001 && cp <= 0xD7FF) || (cp >= 0xF900 && cp <= 0xFDCF) ||
           (cp >= 0xFDF0 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0xEFFFF);
}

// Whether `cp` may stand in an XML name after its first character.
bool IsNameChar(char32_t cp)
{
    return IsNameStartChar(cp) || cp == '-' || cp == '.' || (cp >= '0' && cp <= '9') || cp == 0xB7 ||
           (cp >= 0x300 && cp <= 0x36F) || (cp >= 0x203F && cp <= 0x2040);
}

bool IsXmlName(std::string_view text)
{
    if (text.empty()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t length = DecodeUtf8(text, i, cp);
        if (length == 0 || !(i == 0 ? IsNameStartChar(cp) : IsNameChar(cp))) {
            return false;
        }
        i += length;
    }
    return true;
}

// Throws unless `name` is an XML name: a document with such a name could not be read back.
void RequireXmlName(std::string_view name, std::string_view what)
{
    if (!IsXmlName(name)) {
        throw std::invalid_argument(std::string(what) + " \"" + std::string(name) + "\" is not an XML name");
    }
}

// `text` in the escaped form of a saved document. A carriage return is written as a character
// reference because a parser reads a raw one as a line feed; inside an attribute value a parser
// also turns raw line feeds and tabs into blanks, so those are written as references there too.
std::string Escaped(std::string_view text, bool attributeValue)
{
    const std::string safe = XmlSafe(text);
    std::string out;
    out.reserve(safe.size());
    // One pass gives what the five replacements in their order give: "&" is replaced first, and
    // no later replacement inserts a character that an earlier one would have replaced.
    for (const char c : safe) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '\'':
            out += "&apos;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\r':
            out += "&#13;";
            break;
        case '\n':
            out += attributeValue ? "&#10;" : "\n";
            break;
        case '\t':
            out += attributeValue ? "&#9;" : "\t";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Replaces every `from` by `to`, left to right, continuing after each inserted text.
void ReplaceAll(std::string& text, std::string_view from, std::string_view to)
{
    std::size_t at = 0;
    while ((at = text.find(from, at)) != std::string::npos) {
        text.replace(at, from.size(), to);
        at += to.size();
    }
}

enum class ValueForm { Display, Escaped };

// Appends the lines of `node` and its subtree, each followed by CR LF, straight to the document
// text: a report of a large list would otherwise hold its text twice.
void AppendElement(const XmlNode& node, std::size_t level, bool indent, ValueForm form, std::string& out)
{
    const std::size_t spaces = indent ? level * 2 : 0;
    const XmlNodeAttribute& attribute = node.Attribute();
    auto openTag = [&]() {
        out.append(spaces, ' ');
        out += '<';
        out += node.Name();
        if (!attribute.Name.empty()) {
            out += ' ';
            out += attribute.Name;
            out += "=\"";
            out += form == ValueForm::Display ? attribute.Value : Escaped(attribute.Value, true);
            out += '"';
        }
        out += '>';
    };
    auto closeTag = [&]() {
        out += "</";
        out += node.Name();
        out += ">\r\n";
    };
    const XmlNodeList& children = node.Children();
    openTag();
    if (children.Count() == 0) {
        out += form == ValueForm::Display ? XmlDisplayValue(node.Value()) : node.Value();
        closeTag();
        return;
    }
    out += "\r\n";
    for (std::size_t i = 0; i < children.Count(); ++i) {
        AppendElement(children.Items(i), level + 1, indent, form, out);
    }
    out.append(spaces, ' ');
    closeTag();
}

std::string Document(const XmlWriter& writer, ValueForm form)
{
    std::string elements;
    for (std::size_t i = 0; i < writer.Nodes.Count(); ++i) {
        AppendElement(writer.Nodes.Items(i), 0, writer.AutoIndent, form, elements);
    }
    if (elements.empty() || !writer.IncludeHeader) {
        return elements;
    }
    std::string header = "<?xml version=\"1.0\"";
    if (!writer.Encoding.empty()) {
        header += " encoding=\"" + writer.Encoding + "\"";
    }
    header += "?>\r\n";
    return elements.insert(0, header);
}

} // namespace

XmlNodeList::XmlNodeList() = default;

XmlNodeList::~XmlNodeList()
{
    Clear();
}

XmlNode& XmlNodeList::BeginElement(std::string_view name)
{
    auto node = std::make_unique<XmlNode>(m_current);
    node->SetName(name);
    XmlNode& added = *node;
    auto& siblings = m_current != nullptr ? m_current->Children().m_items : m_items;
    siblings.push_back(std::move(node));
    m_current = &added;
    return added;
}

XmlNode& XmlNodeList::AddElement(std::string_view name)
{
    XmlNode& added = BeginElement(name);
    EndElement();
    return added;
}

void XmlNodeList::EndElement()
{
    if (m_current != nullptr) {
        m_current = m_current->Parent();
    }
}

void XmlNodeList::Clear()
{
    while (!m_items.empty()) {
        m_items.pop_back();
    }
    m_current = nullptr;
}

void XmlNode::SetName(std::string_view text)
{
    if (!text.empty() && text.front() == '<') {
        text.remove_prefix(1);
    }
    if (!text.empty() && text.back() == '>') {
        text.remove_suffix(1);
    }
    text = Trimmed(text);
    XmlNodeAttribute attribute;
    std::string_view name = text;
    const std::size_t equals = text.find('=');
    if (equals != std::string_view::npos) {
        const std::size_t blank = text.find(' ');
        if (blank == std::string_view::npos || blank > equals) {
            name = Trimmed(text.substr(0, equals));
        } else {
            name = text.substr(0, blank);
            const std::string_view rest = text.substr(blank);
            attribute.Name = Trimmed(rest.substr(0, rest.find('=')));
            std::string value;
            if (const std::size_t quote = rest.find('"'); quote != std::string_view::npos) {
                for (const char c : rest.substr(quote)) {
                    if (c != '"') {
                        value += c;
                    }
                }
            }
            attribute.Value = Trimmed(value);
            RequireXmlName(attribute.Name, "attribute name");
        }
    }
    RequireXmlName(name, "element name");
    m_name = name;
    m_attribute = std::move(attribute);
}

void XmlNode::SetValueText(std::string_view text)
{
    m_value = Escaped(text, false);
}

void XmlNode::SetValueInteger(std::int32_t value)
{
    m_value = std::to_string(value);
}

std::string XmlDisplayValue(std::string_view escaped)
{
    std::string text(escaped);
    // A carriage return is stored as a reference; it is turned back before "&amp;", so a stored
    // "&amp;#13;" (the typed text "&#13;") still shows as typed.
    ReplaceAll(text, "&#13;", "\r");
    ReplaceAll(text, "&amp;", "&");
    ReplaceAll(text, "&lt;", "<");
    ReplaceAll(text, "&gt;", ">");
    ReplaceAll(text, "&apos;", "'");
    ReplaceAll(text, "&quot;", "\"");
    return text;
}

std::string XmlWriter::Text() const
{
    return Document(*this, ValueForm::Display);
}

std::string XmlWriter::SavedText() const
{
    return Document(*this, ValueForm::Escaped);
}

std::optional<std::string> XmlWriter::SaveToStream(std::ostream& stream) const
{
    const std::string bytes = SavedText();
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!stream) {
        return std::string("Stream write error");
    }
    return std::nullopt;
}

std::optional<std::string> XmlWriter::SaveToFile(const std::string& fileName) const
{
    return WriteFileReplacing(fileName, SavedText());
}

} // namespace pellamy
