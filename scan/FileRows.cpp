// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/FileRows.h"

#include "scan/DisplayTexts.h"
#include "scan/TypeSummary.h"

namespace pellamy {

FileRow MakeFileRow(const DirectoryEntryView& entry)
{
    return FileRow{std::string(entry.Name), entry.Attributes, entry.Size, entry.CreationTime,
                   entry.LastWriteTime};
}

FileRow MakeFileRow(const FileEntry& entry)
{
    return FileRow{entry.Name, entry.Attributes, entry.Size, entry.CreationTime, entry.LastWriteTime};
}

std::string_view FileRowCaption(const FileRow& row)
{
    return ExtensionOf(row.Name);
}

std::array<std::string, 6> FileRowTexts(const FileRow& row, const RegionalSettings& settings)
{
    return {std::string(FileRowCaption(row)),         row.Name,
            FileTimeText(row.CreationTime, settings), FileTimeText(row.LastWriteTime, settings),
            AttributeLetters(row.Attributes),         SizeText(ToByteCount(row.Size), false, settings)};
}

} // namespace pellamy
