// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportFormats.h"

#include "scan/ByteCount.h"
#include "scan/DisplayTexts.h"
#include "scan/Utf8.h"

#include <nlohmann/json.hpp>

#include <algorithm>

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

// Writes JSON laid out as nlohmann's dump with an indent of two: one member or element a line,
// "key": value, empty containers as [] and {}. Numbers are written as their digits, so a size sum
// beyond 64 bits keeps every digit (no JSON library value type holds it).
class JsonWriter
{
public:
    void BeginObject() { Open('{'); }
    void EndObject() { Close('}'); }
    void BeginArray() { Open('['); }
    void EndArray() { Close(']'); }

    void Key(std::string_view key)
    {
        NextItem();
        AppendString(key);
        m_out += ": ";
        m_afterKey = true;
    }

    /// A string; bytes that are not valid UTF-8 become U+FFFD.
    void String(std::string_view text)
    {
        NextItem();
        AppendString(text);
    }

    /// A number given as its decimal digits.
    void Number(std::string_view digits)
    {
        NextItem();
        m_out += digits;
    }

    void Bool(bool value)
    {
        NextItem();
        m_out += value ? "true" : "false";
    }

    void Null()
    {
        NextItem();
        m_out += "null";
    }

    std::string Take() { return std::move(m_out); }

private:
    void Open(char bracket)
    {
        NextItem();
        m_out += bracket;
        m_empty.push_back(true);
    }

    void Close(char bracket)
    {
        const bool empty = m_empty.back();
        m_empty.pop_back();
        if (!empty) {
            m_out += '\n';
            m_out.append(2 * m_empty.size(), ' ');
        }
        m_out += bracket;
    }

    // Starts a member or element: after a key the value follows on its line; otherwise a comma
    // after the previous item, a new line and the indent of the current level.
    void NextItem()
    {
        if (m_afterKey) {
            m_afterKey = false;
            return;
        }
        if (m_empty.empty()) {
            return;
        }
        if (!m_empty.back()) {
            m_out += ',';
        }
        m_empty.back() = false;
        m_out += '\n';
        m_out.append(2 * m_empty.size(), ' ');
    }

    void AppendString(std::string_view text)
    {
        m_out +=
            nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    }

    std::string m_out;
    std::vector<bool> m_empty; // per open container: nothing written in it yet
    bool m_afterKey = false;
};

} // namespace

std::size_t DisplayWidth(std::string_view text)
{
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

std::string FormatTable(const ReportData& data)
{
    const std::size_t columns = data.Columns.size();
    std::vector<std::vector<std::string>> shown;
    shown.reserve(data.Cells.size());
    std::vector<std::size_t> widths(columns, 0);
    for (std::size_t c = 0; c < columns; ++c) {
        widths[c] = DisplayWidth(data.Columns[c]);
    }
    for (const auto& row : data.Cells) {
        std::vector<std::string> safe;
        safe.reserve(columns);
        for (std::size_t c = 0; c < columns; ++c) {
            safe.push_back(TerminalSafe(c < row.size() ? row[c] : std::string()));
            widths[c] = std::max(widths[c], DisplayWidth(safe.back()));
        }
        shown.push_back(std::move(safe));
    }
    std::string out;
    auto line = [&](const auto& cells) {
        std::string text;
        for (std::size_t c = 0; c < columns; ++c) {
            const std::string_view cell = cells[c];
            const std::size_t gap = widths[c] - DisplayWidth(cell);
            if (c > 0) {
                text += "  ";
            }
            if (IsRightAligned(data.Columns[c])) {
                Pad(text, gap);
                text += cell;
            } else {
                text += cell;
                if (c + 1 < columns) {
                    Pad(text, gap);
                }
            }
        }
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
        out += text;
        out += '\n';
    };
    line(data.Columns);
    for (const auto& row : shown) {
        line(row);
    }
    if (data.IsTypeList) {
        out += TerminalSafe(data.TotalsLine);
    } else {
        out += "Files: " + std::to_string(data.Cells.size());
    }
    out += '\n';
    return out;
}

std::string FormatJson(const ReportData& data)
{
    JsonWriter json;
    json.BeginObject();
    json.Key("folder");
    json.String(data.CurrentFolder);
    if (data.Recursive) {
        json.Key("recursive");
        json.Bool(true);
    }
    if (!data.IsTypeList) {
        json.Key("pattern");
        json.String(data.Pattern.Text());
    }
    if (data.IsTypeList) {
        json.Key("totalsLine");
        json.String(data.TotalsLine);
        json.Key("totalFiles");
        json.Number(std::to_string(data.Summary.TotalFiles));
        json.Key("totalSize");
        json.Number(ByteCountDigits(data.Summary.TotalSize));
        json.Key("folderAttributes");
        if (data.Summary.FolderAttributes == Attr::kInvalid) {
            json.Null();
        } else {
            json.Number(std::to_string(data.Summary.FolderAttributes));
        }
    }
    json.Key("columns");
    json.BeginArray();
    for (const std::string_view column : data.Columns) {
        json.String(column);
    }
    json.EndArray();
    auto time = [&json](FileTime t) {
        const std::string iso = FileTimeToIso8601(t);
        if (iso.empty()) {
            json.Null();
        } else {
            json.String(iso);
        }
    };
    json.Key("rows");
    json.BeginArray();
    for (std::size_t r = 0; r < data.Cells.size(); ++r) {
        json.BeginObject();
        json.Key("cells");
        json.BeginArray();
        for (const std::string& cell : data.Cells[r]) {
            json.String(cell);
        }
        json.EndArray();
        if (data.IsTypeList) {
            const TypeRow& t = data.Summary.Rows[r];
            json.Key("extension");
            json.String(t.Extension);
            json.Key("count");
            json.Number(std::to_string(t.Count));
            json.Key("size");
            json.Number(ByteCountDigits(t.Size));
        } else {
            const FileEntry& e = data.Entries[r];
            json.Key("name");
            json.String(e.Name);
            if (data.Recursive) {
                // The name is the path below the report's folder; its folder part on its own.
                json.Key("folder");
                json.String(FolderPartOf(e.Name));
            }
            json.Key("size");
            json.Number(std::to_string(e.Size));
            json.Key("created");
            time(e.CreationTime);
            json.Key("modified");
            time(e.LastWriteTime);
            json.Key("accessed");
            time(e.LastAccessTime);
            json.Key("attributes");
            json.Number(std::to_string(e.Attributes));
        }
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    return json.Take() + "\n";
}

} // namespace pellamy
