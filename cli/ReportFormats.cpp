// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportFormats.h"

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
    nlohmann::ordered_json doc;
    doc["folder"] = data.CurrentFolder;
    if (!data.IsTypeList) {
        doc["pattern"] = data.Pattern.Text();
    }
    if (data.IsTypeList) {
        doc["totalsLine"] = data.TotalsLine;
        doc["totalFiles"] = data.Summary.TotalFiles;
        doc["totalSize"] = data.Summary.TotalSize;
        if (data.Summary.FolderAttributes == Attr::kInvalid) {
            doc["folderAttributes"] = nullptr;
        } else {
            doc["folderAttributes"] = data.Summary.FolderAttributes;
        }
    }
    doc["columns"] = nlohmann::ordered_json::array();
    for (const std::string_view column : data.Columns) {
        doc["columns"].push_back(std::string(column));
    }
    auto time = [](FileTime t) -> nlohmann::ordered_json {
        const std::string iso = FileTimeToIso8601(t);
        return iso.empty() ? nlohmann::ordered_json(nullptr) : nlohmann::ordered_json(iso);
    };
    nlohmann::ordered_json rows = nlohmann::ordered_json::array();
    for (std::size_t r = 0; r < data.Cells.size(); ++r) {
        nlohmann::ordered_json row;
        row["cells"] = data.Cells[r];
        if (data.IsTypeList) {
            const TypeRow& t = data.Summary.Rows[r];
            row["extension"] = t.Extension;
            row["count"] = t.Count;
            row["size"] = t.Size;
        } else {
            const FileEntry& e = data.Entries[r];
            row["name"] = e.Name;
            row["size"] = e.Size;
            row["created"] = time(e.CreationTime);
            row["modified"] = time(e.LastWriteTime);
            row["accessed"] = time(e.LastAccessTime);
            row["attributes"] = e.Attributes;
        }
        rows.push_back(std::move(row));
    }
    doc["rows"] = std::move(rows);
    return doc.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace pellamy
