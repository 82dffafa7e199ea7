// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/XmlWriter.h"

#include "reports/ReportFiles.h"
#include "scan/Utf8.h"

#include <ostream>

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
    if (node.Name().empty()) {
        return;
    }
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
            out += attribute.Value;
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
    m_attribute = XmlNodeAttribute{};
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        m_name = text;
        return;
    }
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos || blank > equals) {
        m_name = Trimmed(text.substr(0, equals));
        return;
    }
    m_name = text.substr(0, blank);
    const std::string_view rest = text.substr(blank);
    m_attribute.Name = Trimmed(rest.substr(0, rest.find('=')));
    std::string value;
    if (const std::size_t quote = rest.find('"'); quote != std::string_view::npos) {
        for (const char c : rest.substr(quote)) {
            if (c != '"') {
                value += c;
            }
        }
    }
    m_attribute.Value = Trimmed(value);
}

void XmlNode::SetValueText(std::string_view text)
{
    const std::string safe = XmlSafe(text);
    m_value.clear();
    m_value.reserve(safe.size());
    // One pass gives what the five replacements in their order give: "&" is replaced first, and
    // no later replacement inserts a character that an earlier one would have replaced.
    for (const char c : safe) {
        switch (c) {
        case '&':
            m_value += "&amp;";
            break;
        case '<':
            m_value += "&lt;";
            break;
        case '>':
            m_value += "&gt;";
            break;
        case '\'':
            m_value += "&apos;";
            break;
        case '"':
            m_value += "&quot;";
            break;
        default:
            m_value += c;
        }
    }
}

void XmlNode::SetValueInteger(std::int32_t value)
{
    m_value = std::to_string(value);
}

std::string XmlDisplayValue(std::string_view escaped)
{
    std::string text(escaped);
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

std::optional<std::string> XmlWriter::SaveToFile(const ReportFiles& files, const std::string& fileName) const
{
    return WriteFileReplacing(files, fileName, SavedText());
}

} // namespace pellamy
