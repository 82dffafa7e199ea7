// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_XMLWRITER_H
#define PELLAMY_REPORTS_XMLWRITER_H

#include "reports/XmlEscaping.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

class ReportFiles;
class ReportOutput;
class XmlNode;
class XmlWriter;
struct XmlStream;

/// The one attribute an element may carry; an empty `Name` means the element has none.
struct XmlNodeAttribute
{
    std::string Name;
    std::string Value;
};

/// An ordered list of elements, which it owns, and, for the writer's top-level list, the cursor
/// of a tree under construction: `Current` is the open element that new elements go into (none:
/// the top level). Destroying or clearing the list destroys its elements, last first.
///
/// While its writer streams a document (`XmlWriter::Stream`), the top-level list writes each
/// element as soon as it is complete and then lets it go: an element's start tag when its first
/// child begins, its end tag when it ends, and a leaf when the next element begins or its parent
/// ends (so a value given right after `AddElement` is still written). Only the open elements and
/// the leaves not yet written are held; they are what `Count` and `Items` show.
class XmlNodeList
{
public:
    XmlNodeList();
    ~XmlNodeList();
    XmlNodeList(const XmlNodeList&) = delete;
    XmlNodeList& operator=(const XmlNodeList&) = delete;

    /// Creates an element named through `XmlNode::SetName`, appends it to the children of
    /// `Current` (or to this list at the top level) and makes it `Current`. Throws
    /// std::invalid_argument, leaving the tree as it was, when the name is not an XML name.
    XmlNode& BeginElement(std::string_view name);
    /// `BeginElement` followed by `EndElement`: a leaf that the caller then gives a value.
    XmlNode& AddElement(std::string_view name);
    /// Closes `Current`: its parent becomes `Current`. With no open element it does nothing, so
    /// an unmatched call never changes the tree.
    void EndElement();
    /// Destroys every element with its subtree; `Current` becomes none. While streaming, what was
    /// already written stays written.
    void Clear();

    std::size_t Count() const { return m_items.size(); }
    XmlNode& Items(std::size_t index) { return *m_items.at(index); }
    const XmlNode& Items(std::size_t index) const { return *m_items.at(index); }
    XmlNode* Current() const { return m_current; }

private:
    friend class XmlWriter;

    std::unique_ptr<XmlNode> NewNode(XmlNode* parent);
    // Writes the complete leaves among `siblings` (all of them, when streaming) and lets them go.
    void WriteLeaves(std::vector<std::unique_ptr<XmlNode>>& siblings, std::size_t level);
    void Recycle(std::unique_ptr<XmlNode> node);

    XmlNode* m_current = nullptr;
    std::vector<std::unique_ptr<XmlNode>> m_items;
    std::size_t m_depth = 0; // open elements
    XmlStream* m_stream = nullptr;
    // Written elements kept for reuse, so a streamed document of a million rows does not allocate
    // a node (and its texts) per value.
    std::vector<std::unique_ptr<XmlNode>> m_spare;
};

/// One element: its name, its one attribute, its value in escaped form and its children, which
/// it owns. `Parent` is the enclosing element, or none at the top level.
class XmlNode
{
public:
    explicit XmlNode(XmlNode* parent)
        : m_parent(parent)
    {}

    /// Sets the name. One leading "<" and then one trailing ">" are dropped, then blanks and
    /// control characters at both ends. A text holding "=" carries an attribute in the form
    /// `name attribute="value"`: the name is the text before the first blank, the attribute name
    /// the text between that blank and the first "=", trimmed, and the attribute value the text
    /// from the first double quote on, with every double quote removed, trimmed. Without a blank
    /// before the first "=" the text before that "=", trimmed, is the name and there is no
    /// attribute. Throws std::invalid_argument, leaving the node as it was, when the element
    /// name or the attribute name that results is not an XML name (empty, or holding a character
    /// that XML does not allow there), since the document could not be read back.
    void SetName(std::string_view text);

    /// Sets the value to `text` with "&", "<", ">", "'" and the double quote escaped, in that
    /// order, and a carriage return written as "&#13;" (a parser reads a raw one as a line
    /// feed). Bytes that are not valid UTF-8 and characters XML 1.0 cannot carry (control
    /// characters other than tab, newline and carriage return, U+FFFE, U+FFFF) become U+FFFD, so
    /// that any name gives a well-formed document.
    void SetValueText(std::string_view text);

    /// Sets the value to the decimal text of `value`, with a minus sign when negative.
    void SetValueInteger(std::int32_t value);

    const std::string& Name() const { return m_name; }
    /// The value in escaped form, as a saved document holds it.
    const std::string& Value() const { return m_value; }
    XmlNode* Parent() const { return m_parent; }
    XmlNodeAttribute& Attribute() { return m_attribute; }
    const XmlNodeAttribute& Attribute() const { return m_attribute; }
    XmlNodeList& Children() { return m_children; }
    const XmlNodeList& Children() const { return m_children; }

private:
    friend class XmlNodeList;

    XmlNodeList m_children;
    XmlNodeAttribute m_attribute;
    std::string m_name;
    XmlNode* m_parent;
    std::string m_value;
    bool m_startWritten = false; // streaming: the start tag is out, the children follow it
};

/// A write-only XML document builder. Callers build the element tree in `Nodes`, then take the
/// document as `Text` (values shown unescaped, for the clipboard) or as the saved form (values
/// escaped) through `SavedText`, `SaveToStream` or `SaveToFile`. A large document is instead
/// streamed: `Stream`, `StreamedText` and `StreamToFile` run a builder and write each element as
/// it is completed, in either form, so the document is never held as a tree. In the saved form an attribute
/// value is escaped like a value, with line feeds and tabs also written as references, so that a
/// parser reads back its own characters. Each line of a document is followed by CR LF; a writer
/// without elements gives the empty document.
class XmlWriter
{
public:
    /// Indent each element by two blanks per level.
    bool AutoIndent = true;
    /// Begin with the declaration `<?xml version="1.0"?>`, naming `Encoding` when it is set.
    bool IncludeHeader = true;
    std::string Encoding;
    /// The top-level elements and the cursor of the tree under construction.
    XmlNodeList Nodes;

    /// The document with the values in display form ("&amp;" shown as "&", and so on); what the
    /// clipboard receives.
    std::string Text() const;

    /// The document with the values in escaped form; what a saved file holds.
    std::string SavedText() const;

    /// Writes `SavedText` to `stream` at its position. Returns "Stream write error" when the
    /// stream does not take every byte.
    std::optional<std::string> SaveToStream(std::ostream& stream) const;

    /// Replaces the file `fileName` of `files` with `SavedText` (an empty document gives an empty
    /// file). Returns the message of a failed write ("Cannot create file "%s". %s" or "Stream
    /// write error"); the earlier file is then left as it was. The tree is never changed.
    std::optional<std::string> SaveToFile(const ReportFiles& files, const std::string& fileName) const;

    /// The two forms of a document: values shown unescaped (the clipboard), or escaped (a file).
    enum class Form { Display, Saved };

    /// Adds elements to `Nodes`, as `ExportFilesXml` does.
    using Builder = std::function<void(XmlWriter&)>;

    /// Runs `build` with `Nodes` streaming into `out` in `form`, closes the elements it left open
    /// and finishes `out`. The bytes are those `Text` or `SavedText` would give for the tree that
    /// `build` makes. `Nodes` is empty afterwards. Returns the output's failure, if any; an
    /// exception from `build` leaves `Nodes` empty and propagates.
    std::optional<std::string> Stream(ReportOutput& out, Form form, const Builder& build);

    /// The document that `build` makes, in display form, made in one text without a tree.
    std::string StreamedText(const Builder& build);

    /// Replaces the file `fileName` of `files` with the saved form of the document that `build`
    /// makes, streamed. Fails as `SaveToFile` does, leaving the earlier file as it was.
    std::optional<std::string> StreamToFile(const ReportFiles& files, const std::string& fileName,
                                            const Builder& build);

    /// Tells a streaming output that `done` of `total` rows are written (see
    /// `ReportOutput::RowsWritten`); nothing otherwise.
    void RowsWritten(std::size_t done, std::size_t total);
};

} // namespace pellamy

#endif
