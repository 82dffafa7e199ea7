// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/XmlReports.h"

#include "lists/DisplayTexts.h"
#include "reports/ReportOutput.h"

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
    std::size_t selected = 0;
    for (std::size_t row = 0; row < fileRows.RowCount(); ++row) {
        selected += fileRows.IsSelected(row) ? 1 : 0;
    }
    std::size_t written = 0;
    std::string cell;
    for (std::size_t row = 0; row < fileRows.RowCount(); ++row) {
        if (!fileRows.IsSelected(row)) {
            continue;
        }
        writer.Nodes.BeginElement("File");
        for (std::size_t i = 0; i < kLeaves.size(); ++i) {
            cell.clear();
            fileRows.AppendCellText(row, i + 1, cell);
            writer.Nodes.AddElement(kLeaves[i]).SetValueText(cell);
        }
        writer.Nodes.EndElement();
        if (++written == kReportSampleRows) {
            writer.RowsWritten(written, selected);
        }
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
    std::string cell;
    for (std::size_t row = 0; row < typeRows.RowCount(); ++row) {
        writer.Nodes.BeginElement("FileType");
        for (std::size_t i = 0; i < kLeaves.size(); ++i) {
            cell.clear();
            typeRows.AppendCellText(row, i, cell);
            writer.Nodes.AddElement(kLeaves[i]).SetValueText(cell);
        }
        writer.Nodes.EndElement();
        if (row + 1 == kReportSampleRows) {
            writer.RowsWritten(row + 1, typeRows.RowCount());
        }
    }
    writer.Nodes.EndElement();
}

} // namespace pellamy
