// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/HtmlReport.h"

namespace pellamy {

std::string HtmlEscaped(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

ReportText ExportHtml(const ListRows& view, std::span<const std::string_view> captions, ExportedRows rows,
                      std::string_view folder, std::string_view title)
{
    ReportText page;
    page.AddLine("<html>");
    page.AddLine("<head>");
    page.AddLine("<meta charset=\"utf-8\">");
    page.AddLine("<title>" + HtmlEscaped(title) + ": " + HtmlEscaped(folder) + "</title>");
    page.AddLine("</head>");
    page.AddLine("<table>");
    page.AddLine("<tr>");
    for (const std::string_view caption : captions) {
        page.AddLine("<th><b><center>" + HtmlEscaped(caption) + "</center></b></th>");
    }
    page.AddLine("</tr>");
    for (std::size_t row = 0; row < view.RowCount(); ++row) {
        if (rows == ExportedRows::Selected && !view.IsSelected(row)) {
            continue;
        }
        page.AddLine("<tr>");
        page.AddLine("<td>" + HtmlEscaped(view.CellText(row, 0)) + "</td>");
        for (std::size_t column = 1; column < captions.size(); ++column) {
            const std::string cell = view.CellText(row, column);
            page.AddLine(cell.empty() ? std::string("<td>-</td>") : "<td>" + HtmlEscaped(cell) + "</td>");
        }
        page.AddLine("</tr>");
    }
    page.AddLine("</table>");
    page.AddLine("</html>");
    return page;
}

} // namespace pellamy
