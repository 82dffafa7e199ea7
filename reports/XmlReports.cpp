// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/XmlReports.h"

#include "scan/DisplayTexts.h"

#include <array>

namespace pellamy {
namespace {

// The encoding of the bytes the reports write: the lists hold their texts in UTF-8.
constexpr std::string_view kReportEncoding = "UTF-8";

void StartDocument(XmlWriter& writer, std::string_view root)
{
    writer.Nodes.Clear();
    writer.Encoding = kReportEncoding;
    writer.Nodes.BeginElement(root);
}

} // namespace

void ExportFilesXml(XmlWriter& writer, const ListRows& fileRows, std::string_view currentFolder)
{
    static constexpr std::array<std::string_view, 5> kLeaves = {"Filename", "Created", "Modified", "Attribs",
                                                                "Size"};
    StartDocument(writer, "FilesList");
    writer.Nodes.AddElement("FolderName").SetValueText(currentFolder);
    for (std::size_t row = 0; row < fileRows.RowCount(); ++row) {
        if (!fileRows.IsSelected(row)) {
            continue;
        }
        writer.Nodes.BeginElement("File");
        for (std::size_t i = 0; i < kLeaves.size(); ++i) {
            writer.Nodes.AddElement(kLeaves[i]).SetValueText(fileRows.CellText(row, i + 1));
        }
        writer.Nodes.EndElement();
    }
    writer.Nodes.EndElement();
}

void ExportFolderXml(XmlWriter& writer, const ListRows& typeRows, std::string_view folderName,
                     std::int32_t totalFiles, ByteCount totalSize, const RegionalSettings& settings)
{
    static constexpr std::array<std::string_view, 4> kLeaves = {"Type", "Description", "Number", "Size"};
    StartDocument(writer, "FolderList");
    writer.Nodes.AddElement("FolderName").SetValueText(folderName);
    writer.Nodes.AddElement("FileTotal").SetValueInteger(totalFiles);
    writer.Nodes.AddElement("FolderSize").SetValueText(SizeText(totalSize, true, settings));
    for (std::size_t row = 0; row < typeRows.RowCount(); ++row) {
        writer.Nodes.BeginElement("FileType");
        for (std::size_t i = 0; i < kLeaves.size(); ++i) {
            writer.Nodes.AddElement(kLeaves[i]).SetValueText(typeRows.CellText(row, i));
        }
        writer.Nodes.EndElement();
    }
    writer.Nodes.EndElement();
}

} // namespace pellamy
