// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_XMLREPORTS_H
#define PELLAMY_REPORTS_XMLREPORTS_H

#include "lists/ListRows.h"
#include "reports/XmlWriter.h"
#include "scan/ByteCount.h"
#include "scan/RegionalSettings.h"

#include <cstdint>
#include <string_view>

namespace pellamy {

/// Builds the "FilesList" document in `writer` (cleared first, encoding "UTF-8"): "FolderName"
/// with `currentFolder` (ending in "/"), then per selected row of the file list, in display
/// order, a "File" element with the leaves "Filename", "Created", "Modified", "Attribs" and
/// "Size" holding the row's sub-items. The caller takes `writer.Text()` for the clipboard or
/// saves the writer to a file, or runs this inside `XmlWriter::Stream` for a large list.
void ExportFilesXml(XmlWriter& writer, const ListRows& fileRows, std::string_view currentFolder);

/// Builds the "FolderList" document in `writer` (cleared first, encoding "UTF-8"): "FolderName"
/// with `folderName` (the navigator's form, see `NavigatorFolderText`), "FileTotal" with
/// `totalFiles` as an integer, "FolderSize" with `totalSize` as a size text in megabytes, then per
/// row of the type list, selected or not, in display order, a "FileType" element with the leaves
/// "Type", "Description", "Number" and "Size".
void ExportFolderXml(XmlWriter& writer, const ListRows& typeRows, std::string_view folderName,
                     std::int32_t totalFiles, ByteCount totalSize, const RegionalSettings& settings);

} // namespace pellamy

#endif
