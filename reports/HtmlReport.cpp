// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/HtmlReport.h"

#include <cstring>

namespace pellamy {

void AppendHtmlEscaped(std::string& out, std::string_view text)
{
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char* reference = nullptr;
        switch (text[i]) {
        case '&':
            reference = "&amp;";
            break;
        case '<':
            reference = "&lt;";
            break;
        case '>':
            reference = "&gt;";
            break;
        case '"':
            reference = "&quot;";
            break;
        default:
            continue;
        }
        out.append(text.substr(plain, i - plain));
        out.append(reference, std::strlen(reference));
        plain = i + 1;
    }
    out.append(text.substr(plain));
}

std::string HtmlEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    AppendHtmlEscaped(out, text);
    return out;
}

ReportText ExportHtml(const ListRows& view, std::span<const std::string_view> captions, ExportedRows rows,
                      std::string_view folder, std::string_view title)
{
    ReportText page;
    WriteHtml(view, captions, rows, folder, title, page);
    return page;
}

void WriteHtml(const ListRows& view, std::span<const std::string_view> captions, ExportedRows rows,
               std::string_view folder, std::string_view title, ReportOutput& out)
{
    out.AddLine("<html>");
    out.AddLine("<head>");
    out.AddLine("<meta charset=\"utf-8\">");
    std::string& titleLine = out.StartLine();
    titleLine += "<title>";
    AppendHtmlEscaped(titleLine, title);
    titleLine += ": ";
    AppendHtmlEscaped(titleLine, folder);
    titleLine += "</title>";
    out.EndLine();
    out.AddLine("</head>");
    out.AddLine("<table>");
    out.AddLine("<tr>");
    for (const std::string_view caption : captions) {
        std::string& line = out.StartLine();
        line += "<th><b><center>";
        AppendHtmlEscaped(line, caption);
        line += "</center></b></th>";
        out.EndLine();
    }
    out.AddLine("</tr>");
    std::size_t exported = 0;
    for (std::size_t row = 0; row < view.RowCount(); ++row) {
        exported += rows == ExportedRows::All || view.IsSelected(row) ? 1 : 0;
    }
    std::size_t written = 0;
    std::string cell;
    for (std::size_t row = 0; row < view.RowCount() && !out.Failed(); ++row) {
        if (rows == ExportedRows::Selected && !view.IsSelected(row)) {
            continue;
        }
        out.AddLine("<tr>");
        for (std::size_t column = 0; column == 0 || column < captions.size(); ++column) {
            cell.clear();
            view.AppendCellText(row, column, cell);
            std::string& line = out.StartLine();
            // An empty sub-item shows as "-", so the table keeps its cell; the caption cell may be
            // empty (files without an extension).
            if (column > 0 && cell.empty()) {
                line += "<td>-</td>";
            } else {
                line += "<td>";
                AppendHtmlEscaped(line, cell);
                line += "</td>";
            }
            out.EndLine();
        }
        out.AddLine("</tr>");
        if (++written == kReportSampleRows) {
            out.RowsWritten(written, exported);
        }
    }
    out.AddLine("</table>");
    out.AddLine("</html>");
}

} // namespace pellamy
