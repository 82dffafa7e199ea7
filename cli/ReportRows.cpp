// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ReportRows.h"

#include "scan/DisplayTexts.h"

namespace pellamy {

std::string ReportRows::CellText(std::size_t row, std::size_t column) const
{
    std::string text;
    AppendCellText(row, column, text);
    return text;
}

void ReportRows::AppendCellText(std::size_t row, std::size_t column, std::string& out) const
{
    if (row >= RowCount()) {
        return;
    }
    if (m_data.IsTypeList) {
        const TypeRow& type = m_data.TypeRowAt(row);
        switch (column) {
        case 0:
            out += type.Extension;
            break;
        case 1:
            out += type.Description;
            break;
        case 2:
            out += std::to_string(type.Count);
            break;
        case 3:
            out += SizeText(type.Size, false, m_settings);
            break;
        default:
            break;
        }
        return;
    }
    // Rows in caption order lie all over the scan's vector: the row a few ahead is fetched while
    // this one is written, since waiting for memory would otherwise cost more than the texts.
    constexpr std::size_t kAhead = 16;
    if (row + kAhead < RowCount()) {
        const FileEntry* ahead = &m_data.EntryAt(row + kAhead);
        __builtin_prefetch(ahead);
        __builtin_prefetch(reinterpret_cast<const char*>(ahead) + sizeof(FileEntry) - 1);
    }
    const FileEntry& entry = m_data.EntryAt(row);
    switch (column) {
    case 0:
        out += ExtensionOf(entry.Name);
        break;
    case 1:
        out += entry.Name;
        break;
    case 2:
        out += FileTimeText(entry.CreationTime, m_settings);
        break;
    case 3:
        out += FileTimeText(entry.LastWriteTime, m_settings);
        break;
    case 4:
        out += AttributeLetters(entry.Attributes);
        break;
    case 5:
        out += SizeText(ToByteCount(entry.Size), false, m_settings);
        break;
    default:
        break;
    }
}

} // namespace pellamy
