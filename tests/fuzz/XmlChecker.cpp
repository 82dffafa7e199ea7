// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/fuzz/XmlChecker.h"

#include <cctype>
#include <set>

namespace pellamy {
namespace {

// Decodes strict UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF); false at the
// first fault, with its offset in `at`.
bool DecodeAll(std::string_view bytes, std::u32string& out, std::size_t& at)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        at = i;
        std::size_t need = 0;
        char32_t cp = 0;
        char32_t least = 0;
        if (b0 < 0x80) {
            out.push_back(b0);
            ++i;
            continue;
        }
        if ((b0 & 0xE0) == 0xC0) {
            need = 1;
            cp = b0 & 0x1F;
            least = 0x80;
        } else if ((b0 & 0xF0) == 0xE0) {
            need = 2;
            cp = b0 & 0x0F;
            least = 0x800;
        } else if ((b0 & 0xF8) == 0xF0) {
            need = 3;
            cp = b0 & 0x07;
            least = 0x10000;
        } else {
            return false;
        }
        if (bytes.size() - i <= need) {
            return false;
        }
        for (std::size_t k = 1; k <= need; ++k) {
            const auto b = static_cast<unsigned char>(bytes[i + k]);
            if ((b & 0xC0) != 0x80) {
                return false;
            }
            cp = (cp << 6) | (b & 0x3F);
        }
        if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        out.push_back(cp);
        i += need + 1;
    }
    return true;
}

void Encode(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsNameStart(char32_t c)
{
    return c == ':' || (c >= 'A' && c <= 'Z') || c == '_' || (c >= 'a' && c <= 'z') ||
           (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) ||
           (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool IsNameChar(char32_t c)
{
    return IsNameStart(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
           (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

bool IsSpace(char32_t c)
{
    return c == 0x20 || c == 0x09 || c == 0x0A || c == 0x0D;
}

class Parser
{
public:
    explicit Parser(std::u32string text)
        : m_text(std::move(text))
    {}

    XmlCheckResult Run()
    {
        XmlCheckResult result;
        XmlDocument document;
        if (!Declaration(document) || !Misc() || !Element(document.Root, 0) || !Misc()) {
            result.Error = m_error + " at character " + std::to_string(m_pos);
            return result;
        }
        if (m_pos != m_text.size()) {
            result.Error = "content after the root element at character " + std::to_string(m_pos);
            return result;
        }
        result.Document = std::move(document);
        return result;
    }

private:
    bool Fail(std::string message)
    {
        if (m_error.empty()) {
            m_error = std::move(message);
        }
        return false;
    }

    bool AtText(std::u32string_view s) const { return m_text.compare(m_pos, s.size(), s) == 0; }
    bool AtEnd() const { return m_pos >= m_text.size(); }
    char32_t Peek() const { return AtEnd() ? 0 : m_text[m_pos]; }

    bool Spaces()
    {
        const std::size_t start = m_pos;
        while (!AtEnd() && IsSpace(Peek())) {
            ++m_pos;
        }
        return m_pos > start;
    }

    bool Name(std::string& out)
    {
        if (AtEnd() || !IsNameStart(Peek())) {
            return Fail("a name expected");
        }
        out.clear();
        while (!AtEnd() && IsNameChar(Peek())) {
            Encode(m_text[m_pos++], out);
        }
        return true;
    }

    bool Eq()
    {
        Spaces();
        if (Peek() != '=') {
            return Fail("\"=\" expected");
        }
        ++m_pos;
        Spaces();
        return true;
    }

    // A reference after its "&": appends what it stands for.
    bool Reference(std::string& out)
    {
        if (Peek() == '#') {
            ++m_pos;
            const bool hex = Peek() == 'x';
            if (hex) {
                ++m_pos;
            }
            char32_t value = 0;
            std::size_t digits = 0;
            while (!AtEnd() && Peek() != ';') {
                const char32_t c = Peek();
                unsigned digit = 0;
                if (c >= '0' && c <= '9') {
                    digit = c - '0';
                } else if (hex && c >= 'a' && c <= 'f') {
                    digit = c - 'a' + 10;
                } else if (hex && c >= 'A' && c <= 'F') {
                    digit = c - 'A' + 10;
                } else {
                    return Fail("a bad digit in a character reference");
                }
                if (value > 0x10FFFF) {
                    return Fail("a character reference out of range");
                }
                value = value * (hex ? 16 : 10) + digit;
                ++digits;
                ++m_pos;
            }
            if (AtEnd() || digits == 0) {
                return Fail("an unfinished character reference");
            }
            ++m_pos;
            if (!IsXmlCharacter(value)) {
                return Fail("a character reference to a character XML cannot hold");
            }
            Encode(value, out);
            return true;
        }
        std::string name;
        if (!Name(name) || Peek() != ';') {
            return Fail("an unfinished entity reference");
        }
        ++m_pos;
        if (name == "amp") {
            out += '&';
        } else if (name == "lt") {
            out += '<';
        } else if (name == "gt") {
            out += '>';
        } else if (name == "apos") {
            out += '\'';
        } else if (name == "quot") {
            out += '"';
        } else {
            return Fail("an undeclared entity &" + name + ";");
        }
        return true;
    }

    bool QuotedValue(std::string& out, bool normaliseSpaces)
    {
        const char32_t quote = Peek();
        if (quote != '"' && quote != '\'') {
            return Fail("a quoted value expected");
        }
        ++m_pos;
        out.clear();
        while (true) {
            if (AtEnd()) {
                return Fail("an unclosed quoted value");
            }
            const char32_t c = m_text[m_pos];
            if (c == quote) {
                ++m_pos;
                return true;
            }
            if (c == '<') {
                return Fail("\"<\" inside an attribute value");
            }
            ++m_pos;
            if (c == '&') {
                if (!normaliseSpaces) {
                    return Fail("a reference inside the declaration");
                }
                if (!Reference(out)) {
                    return false;
                }
            } else {
                Encode(normaliseSpaces && IsSpace(c) ? U' ' : c, out);
            }
        }
    }

    bool Declaration(XmlDocument& document)
    {
        if (!AtText(U"<?xml") || m_pos + 5 >= m_text.size() || !IsSpace(m_text[m_pos + 5])) {
            if (AtText(U"<?")) {
                return Fail("a processing instruction");
            }
            return true;
        }
        m_pos += 5;
        document.HasDeclaration = true;
        std::vector<std::string> seen;
        while (true) {
            const bool spaced = Spaces();
            if (AtText(U"?>")) {
                m_pos += 2;
                break;
            }
            if (!spaced) {
                return Fail("a blank expected in the declaration");
            }
            std::string name;
            std::string value;
            if (!Name(name) || !Eq() || !QuotedValue(value, false)) {
                return false;
            }
            const char* order[] = {"version", "encoding", "standalone"};
            const std::size_t index = seen.size();
            bool fits = false;
            for (std::size_t k = index; k < 3; ++k) {
                if (name == order[k] && (k == 0 || index > 0)) {
                    fits = true;
                    seen.resize(k + 1);
                }
            }
            if (!fits) {
                return Fail("declaration field " + name + " out of place");
            }
            if (name == "version") {
                if (value.size() < 3 || value.compare(0, 2, "1.") != 0 ||
                    value.find_first_not_of("0123456789", 2) != std::string::npos) {
                    return Fail("a bad version");
                }
                document.Version = value;
            } else if (name == "encoding") {
                const bool ok = !value.empty() && std::isalpha(static_cast<unsigned char>(value[0])) &&
                                value.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                                        "0123456789._-") == std::string::npos;
                if (!ok) {
                    return Fail("a bad encoding name");
                }
                document.Encoding = value;
            } else if (value != "yes" && value != "no") {
                return Fail("a bad standalone value");
            }
        }
        if (seen.empty()) {
            return Fail("a declaration without version");
        }
        return true;
    }

    bool Misc()
    {
        Spaces();
        if (AtText(U"<!--") || AtText(U"<?") || AtText(U"<!")) {
            return Fail("a comment, processing instruction or document type");
        }
        return true;
    }

    bool Element(XmlElement& element, std::size_t depth)
    {
        if (Peek() != '<') {
            return Fail("an element expected");
        }
        ++m_pos;
        if (!Name(element.Name)) {
            return false;
        }
        std::set<std::string> names;
        while (true) {
            const bool spaced = Spaces();
            if (AtText(U"/>")) {
                m_pos += 2;
                return true;
            }
            if (Peek() == '>') {
                ++m_pos;
                break;
            }
            if (!spaced) {
                return Fail("a blank expected before an attribute");
            }
            std::string name;
            std::string value;
            if (!Name(name) || !Eq() || !QuotedValue(value, true)) {
                return false;
            }
            if (!names.insert(name).second) {
                return Fail("attribute " + name + " given twice");
            }
            element.Attributes.emplace_back(std::move(name), std::move(value));
        }
        // Content up to the matching end tag.
        while (true) {
            if (AtEnd()) {
                return Fail("element " + element.Name + " not closed");
            }
            if (AtText(U"</")) {
                m_pos += 2;
                std::string name;
                if (!Name(name)) {
                    return false;
                }
                if (name != element.Name) {
                    return Fail("end tag " + name + " closes " + element.Name);
                }
                Spaces();
                if (Peek() != '>') {
                    return Fail("\">\" expected after an end tag");
                }
                ++m_pos;
                return true;
            }
            if (AtText(U"<!") || AtText(U"<?")) {
                return Fail("a comment, CDATA section or processing instruction");
            }
            if (Peek() == '<') {
                element.Children.emplace_back();
                if (!Element(element.Children.back(), depth + 1)) {
                    return false;
                }
                continue;
            }
            if (AtText(U"]]>")) {
                return Fail("\"]]>\" in character data");
            }
            const char32_t c = m_text[m_pos++];
            if (c == '&') {
                if (!Reference(element.Text)) {
                    return false;
                }
            } else {
                Encode(c, element.Text);
            }
        }
    }

    std::u32string m_text;
    std::size_t m_pos = 0;
    std::string m_error;
};

} // namespace

bool IsXmlCharacter(char32_t cp)
{
    return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
           (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

XmlCheckResult CheckXml(std::string_view bytes)
{
    std::u32string decoded;
    std::size_t at = 0;
    if (!DecodeAll(bytes, decoded, at)) {
        return {std::nullopt, "bytes that are not UTF-8 at byte " + std::to_string(at)};
    }
    // A processor reads CR LF and a lone CR as LF before anything else.
    std::u32string text;
    text.reserve(decoded.size());
    for (std::size_t i = 0; i < decoded.size(); ++i) {
        if (!IsXmlCharacter(decoded[i])) {
            return {std::nullopt, "a character XML cannot hold at character " + std::to_string(i)};
        }
        if (decoded[i] == '\r') {
            text.push_back('\n');
            if (i + 1 < decoded.size() && decoded[i + 1] == '\n') {
                ++i;
            }
        } else {
            text.push_back(decoded[i]);
        }
    }
    return Parser(std::move(text)).Run();
}

} // namespace pellamy
