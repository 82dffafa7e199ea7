// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportExports.h"

#include "reports/CsvReports.h"
#include "reports/HtmlReport.h"
#include "reports/XmlReports.h"


namespace pellamy {

void WriteCsv(const ReportData& data, ReportOutput& out)
{
    // An empty list still gives its header line: a report of an empty folder is a CSV like any
    // other, not an empty file.
    if (data.IsTypeList) {
        WriteFolderCsv(data.Types, out);
    } else {
        WriteFilesCsv(data.Files, data.CurrentFolder, out);
    }
}

void WriteXml(const ReportData& data, std::string_view navigatorFolder, ReportOutput& out)
{
    XmlWriter writer;
    writer.Stream(out, XmlWriter::Form::Saved, [&](XmlWriter& w) {
        if (data.IsTypeList) {
            ExportFolderXml(w, data.Types, navigatorFolder, data.Summary.TotalFiles, data.Summary.TotalSize,
                            data.Types.Settings());
        } else {
            ExportFilesXml(w, data.Files, data.CurrentFolder);
        }
    });
}

void WriteHtml(const ReportData& data, std::string_view navigatorFolder, ReportOutput& out)
{
    const ExportedRows exported = data.IsTypeList ? ExportedRows::All : ExportedRows::Selected;
    const std::string_view title = data.IsTypeList ? "Folder content" : "Files by type";
    WriteHtml(data.Rows(), data.Columns, exported, navigatorFolder, title, out);
}

} // namespace pellamy
