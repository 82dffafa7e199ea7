// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/XmlEscaping.h"

#include "scan/Utf8.h"

namespace pellamy {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool IsXmlChar(char32_t cp)
{
    if (cp < 0x20) {
        return cp == 0x09 || cp == 0x0A || cp == 0x0D;
    }
    return cp != 0xFFFE && cp != 0xFFFF;
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

void AppendReference(std::string& out, char c, bool attributeValue)
{
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
        // Control characters XML 1.0 cannot carry.
        out += kReplacementCharacter;
    }
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

} // namespace

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

// One pass gives what the five replacements in their order give: "&" is replaced first, and no
// later replacement inserts a character that an earlier one would have replaced.
void AppendXmlEscaped(std::string& out, std::string_view text, bool attributeValue)
{
    std::size_t plain = 0; // start of the bytes not yet appended, all kept as they are
    auto flush = [&](std::size_t end) { out.append(text.substr(plain, end - plain)); };
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            const bool special =
                byte < 0x20 || byte == '&' || byte == '<' || byte == '>' || byte == '\'' || byte == '"';
            if (special) {
                flush(i);
                AppendReference(out, static_cast<char>(byte), attributeValue);
                plain = i + 1;
            }
            ++i;
            continue;
        }
        char32_t cp = 0;
        const std::size_t length = DecodeUtf8(text, i, cp);
        if (length == 0 || !IsXmlChar(cp)) {
            flush(i);
            out += kReplacementCharacter;
            i += length == 0 ? 1 : length;
            plain = i;
            continue;
        }
        i += length;
    }
    flush(text.size());
}

std::string XmlEscaped(std::string_view text, bool attributeValue)
{
    std::string out;
    out.reserve(text.size());
    AppendXmlEscaped(out, text, attributeValue);
    return out;
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

} // namespace pellamy
