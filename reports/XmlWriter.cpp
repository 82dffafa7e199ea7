// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/XmlWriter.h"

#include "reports/ReportFiles.h"
#include "reports/ReportOutput.h"
#include "reports/ReportText.h"
#include "reports/XmlEscaping.h"

#include <ostream>
#include <stdexcept>

namespace pellamy {
namespace {

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

// Throws unless `name` is an XML name: a document with such a name could not be read back.
void RequireXmlName(std::string_view name, std::string_view what)
{
    if (!IsXmlName(name)) {
        throw std::invalid_argument(std::string(what) + " \"" + std::string(name) + "\" is not an XML name");
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
            out += form == ValueForm::Display ? attribute.Value : XmlEscaped(attribute.Value, true);
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

// A document being streamed: where its lines go and in which form.
struct XmlStream
{
    const XmlWriter& Writer;
    ReportOutput& Out;
    ValueForm Form;
    bool Started = false; // the first line (the declaration, if any) is out
};

namespace {

// Starts a line of an element at `level`, the declaration first if this is the first line.
std::string& StartElementLine(XmlStream& stream, std::size_t level)
{
    if (!stream.Started) {
        stream.Started = true;
        if (stream.Writer.IncludeHeader) {
            std::string& header = stream.Out.StartLine();
            header += "<?xml version=\"1.0\"";
            if (!stream.Writer.Encoding.empty()) {
                header += " encoding=\"";
                header += stream.Writer.Encoding;
                header += '"';
            }
            header += "?>";
            stream.Out.EndLine();
        }
    }
    std::string& line = stream.Out.StartLine();
    if (stream.Writer.AutoIndent) {
        line.append(level * 2, ' ');
    }
    return line;
}

void AppendStartTag(const XmlStream& stream, const XmlNode& node, std::string& line)
{
    line += '<';
    line += node.Name();
    const XmlNodeAttribute& attribute = node.Attribute();
    if (!attribute.Name.empty()) {
        line += ' ';
        line += attribute.Name;
        line += "=\"";
        if (stream.Form == ValueForm::Display) {
            line += attribute.Value;
        } else {
            AppendXmlEscaped(line, attribute.Value, true);
        }
        line += '"';
    }
    line += '>';
}

void AppendEndTag(const XmlNode& node, std::string& line)
{
    line += "</";
    line += node.Name();
    line += '>';
}

void WriteLeaf(XmlStream& stream, const XmlNode& node, std::size_t level)
{
    std::string& line = StartElementLine(stream, level);
    AppendStartTag(stream, node, line);
    // A stored value without references shows as it is stored.
    if (stream.Form == ValueForm::Escaped || node.Value().find('&') == std::string::npos) {
        line += node.Value();
    } else {
        line += XmlDisplayValue(node.Value());
    }
    AppendEndTag(node, line);
    stream.Out.EndLine();
}

void WriteStartTag(XmlStream& stream, const XmlNode& node, std::size_t level)
{
    AppendStartTag(stream, node, StartElementLine(stream, level));
    stream.Out.EndLine();
}

void WriteEndTag(XmlStream& stream, const XmlNode& node, std::size_t level)
{
    AppendEndTag(node, StartElementLine(stream, level));
    stream.Out.EndLine();
}

} // namespace

XmlNodeList::XmlNodeList() = default;

XmlNodeList::~XmlNodeList()
{
    Clear();
}

std::unique_ptr<XmlNode> XmlNodeList::NewNode(XmlNode* parent)
{
    if (m_spare.empty()) {
        return std::make_unique<XmlNode>(parent);
    }
    std::unique_ptr<XmlNode> node = std::move(m_spare.back());
    m_spare.pop_back();
    node->m_parent = parent;
    return node;
}

void XmlNodeList::Recycle(std::unique_ptr<XmlNode> node)
{
    constexpr std::size_t kKeptSpares = 64;
    if (m_spare.size() >= kKeptSpares) {
        return;
    }
    node->m_children.Clear();
    node->m_attribute.Name.clear();
    node->m_attribute.Value.clear();
    node->m_value.clear();
    node->m_startWritten = false;
    m_spare.push_back(std::move(node));
}

void XmlNodeList::WriteLeaves(std::vector<std::unique_ptr<XmlNode>>& siblings, std::size_t level)
{
    for (std::unique_ptr<XmlNode>& node : siblings) {
        WriteLeaf(*m_stream, *node, level);
        Recycle(std::move(node));
    }
    siblings.clear();
}

XmlNode& XmlNodeList::BeginElement(std::string_view name)
{
    auto node = NewNode(m_current);
    node->SetName(name);
    XmlNode& added = *node;
    auto& siblings = m_current != nullptr ? m_current->Children().m_items : m_items;
    if (m_stream != nullptr) {
        // Every element already in `siblings` is closed, so complete: write it before the new
        // one, and the parent's start tag before its first child.
        WriteLeaves(siblings, m_depth);
        if (m_current != nullptr && !m_current->m_startWritten) {
            WriteStartTag(*m_stream, *m_current, m_depth - 1);
            m_current->m_startWritten = true;
        }
    }
    siblings.push_back(std::move(node));
    m_current = &added;
    ++m_depth;
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
    if (m_current == nullptr) {
        return;
    }
    XmlNode* closed = m_current;
    m_current = closed->Parent();
    --m_depth;
    if (m_stream == nullptr) {
        return;
    }
    // A closed element with children is complete; one without may still be given its value, so
    // it waits for the next element or the end of its parent.
    WriteLeaves(closed->m_children.m_items, m_depth + 1);
    if (closed->m_startWritten) {
        WriteEndTag(*m_stream, *closed, m_depth);
        auto& siblings = m_current != nullptr ? m_current->m_children.m_items : m_items;
        Recycle(std::move(siblings.back()));
        siblings.pop_back();
    }
}

void XmlNodeList::Clear()
{
    while (!m_items.empty()) {
        m_items.pop_back();
    }
    m_current = nullptr;
    m_depth = 0;
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
    m_value = XmlEscaped(text, false);
}

void XmlNode::SetValueInteger(std::int32_t value)
{
    m_value = std::to_string(value);
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

std::optional<std::string> XmlWriter::Stream(ReportOutput& out, Form form, const Builder& build)
{
    XmlStream stream{*this, out, form == Form::Display ? ValueForm::Display : ValueForm::Escaped};
    Nodes.Clear();
    Nodes.m_stream = &stream;
    // Whatever happens in `build`, the list stops streaming into this frame's state.
    struct Detach
    {
        XmlNodeList& Nodes;
        ~Detach()
        {
            Nodes.m_stream = nullptr;
            Nodes.Clear();
        }
    } detach{Nodes};
    build(*this);
    while (Nodes.Current() != nullptr) {
        Nodes.EndElement();
    }
    Nodes.WriteLeaves(Nodes.m_items, 0);
    return out.Finish();
}

std::string XmlWriter::StreamedText(const Builder& build)
{
    ReportText text;
    Stream(text, Form::Display, build);
    return text.TakeBytes();
}

std::optional<std::string> XmlWriter::StreamToFile(const ReportFiles& files, const std::string& fileName,
                                                   const Builder& build)
{
    return StreamToReportFile(files, fileName,
                              [&](ReportOutput& out) { return Stream(out, Form::Saved, build); });
}

void XmlWriter::RowsWritten(std::size_t done, std::size_t total)
{
    if (Nodes.m_stream != nullptr) {
        Nodes.m_stream->Out.RowsWritten(done, total);
    }
}

} // namespace pellamy
