// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportFormats.h"

#include "lists/DisplayTexts.h"
#include "scan/ByteCount.h"
#include "scan/Utf8.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <limits>

namespace pellamy {
namespace {

bool IsCombining(char32_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x0483 && c <= 0x0489) || (c >= 0x0591 && c <= 0x05BD) ||
           (c >= 0x0610 && c <= 0x061A) || (c >= 0x064B && c <= 0x065F) ||
           (c >= 0x0E31 && c <= 0x0E3A && c != 0x0E32 && c != 0x0E33) || (c >= 0x1AB0 && c <= 0x1AFF) ||
           (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x200B && c <= 0x200F) || (c >= 0x20D0 && c <= 0x20FF) ||
           (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F);
}

bool IsWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x1F900 && c <= 0x1F9FF) || (c >= 0x20000 && c <= 0x3FFFD);
}

bool IsRightAligned(std::string_view column)
{
    return column == "Number" || column == "Size";
}

void Pad(std::string& out, std::size_t n)
{
    out.append(n, ' ');
}

// Appends `text` as a JSON string; bytes that are not valid UTF-8 become U+FFFD.
void AppendJsonString(std::string& out, std::string_view text)
{
    out += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// Sets `value` to the string `text`, reusing the room of the string it already holds.
void SetString(nlohmann::ordered_json& value, std::string_view text)
{
    if (value.is_string()) {
        value.get_ref<std::string&>().assign(text);
    } else {
        value = std::string(text);
    }
}

// Sets `value` to the time's ISO 8601 text, or null when the time cannot be shown.
void SetTime(nlohmann::ordered_json& value, FileTime time)
{
    const std::string iso = FileTimeToIso8601(time);
    if (iso.empty()) {
        value = nullptr;
    } else {
        SetString(value, iso);
    }
}

bool IsPlainAscii(std::string_view text)
{
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20 || code >= 0x7F) {
            return false;
        }
    }
    return true;
}

void AppendTerminalSafe(std::string& out, std::string_view text)
{
    if (IsPlainAscii(text)) {
        out += text;
    } else {
        out += TerminalSafe(text);
    }
}

// The lines of the JSON document: a member "key": value, one a line, as nlohmann's dump with an
// indent of two lays it out. The document's head is written here; the rows are nlohmann objects,
// one at a time, placed into the "rows" array at its depth.
class JsonDocument
{
public:
    explicit JsonDocument(ReportOutput& out)
        : m_out(out)
    {
        m_out.Buffer() += '{';
    }

    void Member(std::string_view key)
    {
        std::string& text = m_out.Buffer();
        text += m_first ? "\n  " : ",\n  ";
        m_first = false;
        AppendJsonString(text, key);
        text += ": ";
    }

    void StringMember(std::string_view key, std::string_view value)
    {
        Member(key);
        AppendJsonString(m_out.Buffer(), value);
    }

    void BoolMember(std::string_view key, bool value)
    {
        Member(key);
        m_out.Buffer() += value ? "true" : "false";
    }

    /// A number given as its decimal digits, so a size sum beyond 64 bits keeps every digit.
    void NumberMember(std::string_view key, std::string_view digits)
    {
        Member(key);
        m_out.Buffer() += digits;
    }

    void NullMember(std::string_view key)
    {
        Member(key);
        m_out.Buffer() += "null";
    }

    void StringArrayMember(std::string_view key, const std::vector<std::string_view>& items)
    {
        Member(key);
        std::string& text = m_out.Buffer();
        if (items.empty()) {
            text += "[]";
            return;
        }
        text += '[';
        for (std::size_t i = 0; i < items.size(); ++i) {
            text += i == 0 ? "\n    " : ",\n    ";
            AppendJsonString(text, items[i]);
        }
        text += "\n  ]";
    }

    /// Starts the "rows" array; then `Row` for each row and `EndRows`.
    void BeginRows()
    {
        Member("rows");
        m_out.Buffer() += '[';
    }

    /// A row object, written by nlohmann's serializer straight into the output at the depth of
    /// the "rows" array, as `dump` with an indent of two lays it out.
    void Row(const nlohmann::ordered_json& row)
    {
        m_out.Buffer() += m_rows == 0 ? "\n    " : ",\n    ";
        ++m_rows;
        m_serializer.dump(row, true, false, 2, 4);
        m_out.Written();
    }

    static std::string Dumped(const nlohmann::ordered_json& row)
    {
        return row.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    }

    /// A row object as `Dumped` gives it.
    void RowText(std::string_view dumped)
    {
        std::string& text = m_out.Buffer();
        text += m_rows == 0 ? "\n    " : ",\n    ";
        ++m_rows;
        // The object's own lines move two levels in; a string's line breaks are escapes, so every
        // raw line feed is one of the layout.
        std::size_t start = 0;
        for (std::size_t at = dumped.find('\n'); at != std::string::npos; at = dumped.find('\n', start)) {
            text.append(dumped.substr(start, at + 1 - start));
            text += "    ";
            start = at + 1;
        }
        text.append(dumped.substr(start));
        m_out.Written();
    }

    void EndRows() { m_out.Buffer() += m_rows == 0 ? "]" : "\n  ]"; }

    void End()
    {
        m_out.Buffer() += "\n}\n";
        m_out.Written();
    }

private:
    ReportOutput& m_out;
    bool m_first = true;
    std::size_t m_rows = 0;
    // The serializer that `dump` makes for each call, made once: it writes to the output's buffer,
    // which stays the same string while the output hands its bytes on.
    nlohmann::detail::serializer<nlohmann::ordered_json> m_serializer{
        nlohmann::detail::output_adapter<char, std::string>(m_out.Buffer()), ' ',
        nlohmann::json::error_handler_t::replace};
};

} // namespace

std::size_t DisplayWidth(std::string_view text)
{
    // Names, dates and sizes are mostly ASCII, one column a byte.
    std::size_t ascii = 0;
    while (ascii < text.size() && static_cast<unsigned char>(text[ascii]) < 0x80) {
        ++ascii;
    }
    if (ascii == text.size()) {
        return ascii;
    }
    std::size_t width = 0;
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            ++width;
            ++i;
            continue;
        }
        i += len;
        if (IsCombining(cp)) {
            continue;
        }
        width += IsWide(cp) ? 2 : 1;
    }
    return width;
}

std::string TerminalSafe(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        char32_t cp = 0;
        const std::size_t len = DecodeUtf8(text, i, cp);
        if (len == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        if (cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0)) {
            out += '?';
        } else {
            out.append(text.substr(i, len));
        }
        i += len;
    }
    return out;
}

void WriteTable(const ReportData& data, ReportOutput& out)
{
    const ListRows& rows = data.Rows();
    const std::size_t columns = data.Columns.size();
    std::vector<std::size_t> widths(columns, 0);
    for (std::size_t c = 0; c < columns; ++c) {
        widths[c] = DisplayWidth(data.Columns[c]);
    }
    // The widths come first, from texts made and dropped one at a time. A text made safe for the
    // terminal is as wide as the text itself: each replaced byte or control character takes one
    // column either way.
    std::string cell;
    for (std::size_t r = 0; r < rows.RowCount(); ++r) {
        for (std::size_t c = 0; c < columns; ++c) {
            cell.clear();
            rows.AppendCellText(r, c, cell);
            widths[c] = std::max(widths[c], DisplayWidth(cell));
        }
    }
    auto line = [&](auto&& cellAt) {
        std::string& text = out.Buffer();
        const std::size_t start = text.size();
        for (std::size_t c = 0; c < columns; ++c) {
            if (c > 0) {
                text += "  ";
            }
            const std::size_t cellStart = text.size();
            cellAt(c, text);
            const std::size_t width = DisplayWidth(std::string_view(text).substr(cellStart));
            const std::size_t gap = widths[c] - width;
            if (IsRightAligned(data.Columns[c])) {
                text.insert(cellStart, gap, ' ');
            } else if (c + 1 < columns) {
                Pad(text, gap);
            }
        }
        while (text.size() > start && text.back() == ' ') {
            text.pop_back();
        }
        text += '\n';
        out.Written();
    };
    line([&](std::size_t c, std::string& text) { text += data.Columns[c]; });
    for (std::size_t r = 0; r < rows.RowCount() && !out.Failed(); ++r) {
        line([&](std::size_t c, std::string& text) {
            cell.clear();
            rows.AppendCellText(r, c, cell);
            AppendTerminalSafe(text, cell);
        });
    }
    std::string& text = out.Buffer();
    if (data.IsTypeList) {
        AppendTerminalSafe(text, data.TotalsLine);
    } else {
        text += "Files: " + std::to_string(data.RowCount());
    }
    text += '\n';
    out.Written();
}

void WriteJson(const ReportData& data, ReportOutput& out)
{
    const ListRows& rows = data.Rows();
    JsonDocument json(out);
    json.StringMember("folder", data.CurrentFolder);
    if (data.Recursive) {
        json.BoolMember("recursive", true);
    }
    if (data.IsTypeList) {
        json.StringMember("totalsLine", data.TotalsLine);
        json.NumberMember("totalFiles", std::to_string(data.Summary.TotalFiles));
        json.NumberMember("totalSize", ByteCountDigits(data.Summary.TotalSize));
        if (data.Summary.FolderAttributes == Attr::kInvalid) {
            json.NullMember("folderAttributes");
        } else {
            json.NumberMember("folderAttributes", std::to_string(data.Summary.FolderAttributes));
        }
    } else {
        json.StringMember("pattern", data.Pattern.Text());
    }
    json.StringArrayMember("columns", data.Columns);
    json.BeginRows();

    // One row object, its members made once and given each row's values in turn. An ordered
    // object keeps its members in a vector, so every member is added before any is referred to.
    nlohmann::ordered_json row = nlohmann::ordered_json::object();
    row["cells"] = nlohmann::ordered_json::array();
    for (std::size_t c = 0; c < data.Columns.size(); ++c) {
        row["cells"].push_back(std::string());
    }
    const std::vector<std::string_view> members =
        data.IsTypeList
            ? std::vector<std::string_view>{"extension", "count", "size"}
        : data.Recursive
            ? std::vector<std::string_view>{"name", "folder", "size", "created", "modified", "accessed", "attributes"}
            : std::vector<std::string_view>{"name", "size", "created", "modified", "accessed", "attributes"};
    for (const std::string_view member : members) {
        row[std::string(member)] = nullptr;
    }
    nlohmann::ordered_json& cells = row["cells"];
    std::string cell;
    auto setCells = [&](std::size_t r) {
        for (std::size_t c = 0; c < data.Columns.size(); ++c) {
            cell.clear();
            rows.AppendCellText(r, c, cell);
            SetString(cells[c], cell);
        }
    };
    if (data.IsTypeList) {
        nlohmann::ordered_json& extension = row["extension"];
        nlohmann::ordered_json& count = row["count"];
        nlohmann::ordered_json& size = row["size"];
        for (std::size_t r = 0; r < rows.RowCount(); ++r) {
            const TypeRow& type = data.Types.At(r);
            setCells(r);
            SetString(extension, type.Extension);
            count = type.Count;
            if (type.Size <= std::numeric_limits<std::uint64_t>::max()) {
                size = static_cast<std::uint64_t>(type.Size);
                json.Row(row);
            } else {
                // No JSON number type holds more than 64 bits: the digits are written as a string
                // and its quotes dropped. "size" is the row's last member.
                const std::string digits = ByteCountDigits(type.Size);
                SetString(size, digits);
                std::string dumped = JsonDocument::Dumped(row);
                const std::size_t closingQuote = dumped.size() - 3; // before "\n}"
                dumped.erase(closingQuote, 1);
                dumped.erase(closingQuote - digits.size() - 1, 1);
                json.RowText(dumped);
            }
        }
    } else {
        nlohmann::ordered_json& name = row["name"];
        // In a tree's list the name is the path below the report's folder; "folder" is its
        // folder part on its own.
        nlohmann::ordered_json* folder = data.Recursive ? &row["folder"] : nullptr;
        nlohmann::ordered_json& size = row["size"];
        nlohmann::ordered_json& created = row["created"];
        nlohmann::ordered_json& modified = row["modified"];
        nlohmann::ordered_json& accessed = row["accessed"];
        nlohmann::ordered_json& attributes = row["attributes"];
        std::string joined;
        for (std::size_t r = 0; r < rows.RowCount() && !out.Failed(); ++r) {
            const FileRowView entry = data.Files.At(r);
            setCells(r);
            if (entry.Folder.empty()) {
                SetString(name, entry.Name);
            } else {
                joined.assign(entry.Folder).append(entry.Name);
                SetString(name, joined);
            }
            if (folder != nullptr) {
                SetString(*folder, entry.Folder);
            }
            size = entry.Size;
            SetTime(created, entry.CreationTime);
            SetTime(modified, entry.LastWriteTime);
            SetTime(accessed, entry.LastAccessTime);
            attributes = entry.Attributes;
            json.Row(row);
        }
    }
    json.EndRows();
    json.End();
}

} // namespace pellamy
