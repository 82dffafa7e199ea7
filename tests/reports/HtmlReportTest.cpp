// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/HtmlReport.h"

#include "lists/ColumnCaptions.h"
#include "lists/FileRows.h"
#include "scan/TypeSummary.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

TEST(ExportHtml, TypeListPageHoldsEveryRowWithAnEmptyCaptionCell)
{
    TextRows types;
    types.AddRow({"", "File", "2", "0.5 KB"});
    types.AddRow({".pdf", "PDF document", "1", "3.25 MB"}, true);
    const ReportText page = ExportHtml(types, kTypeColumns, ExportedRows::All, "/home/me", "Folder content");
    EXPECT_EQ(page.Bytes(), "<html>\r\n"
                            "<head>\r\n"
                            "<meta charset=\"utf-8\">\r\n"
                            "<title>Folder content: /home/me</title>\r\n"
                            "</head>\r\n"
                            "<table>\r\n"
                            "<tr>\r\n"
                            "<th><b><center>Type</center></b></th>\r\n"
                            "<th><b><center>Description</center></b></th>\r\n"
                            "<th><b><center>Number</center></b></th>\r\n"
                            "<th><b><center>Size</center></b></th>\r\n"
                            "</tr>\r\n"
                            "<tr>\r\n"
                            "<td></td>\r\n"
                            "<td>File</td>\r\n"
                            "<td>2</td>\r\n"
                            "<td>0.5 KB</td>\r\n"
                            "</tr>\r\n"
                            "<tr>\r\n"
                            "<td>.pdf</td>\r\n"
                            "<td>PDF document</td>\r\n"
                            "<td>1</td>\r\n"
                            "<td>3.25 MB</td>\r\n"
                            "</tr>\r\n"
                            "</table>\r\n"
                            "</html>\r\n");
}

TEST(ExportHtml, FileListPageHoldsOnlySelectedRowsWithEveryTextEscaped)
{
    TextRows files;
    files.AddRow({".txt", "skipped.txt", "", "", "A", "1 KB"});
    files.AddRow({".txt", "a&b<c>\"d\".txt", "01/02/2024", "01/02/2024 10:00:00", "", "0 KB"}, true);
    const ReportText page =
        ExportHtml(files, kFileColumns, ExportedRows::Selected, "/srv/<x>&y", "Files by type");
    EXPECT_EQ(page.Bytes(), "<html>\r\n"
                            "<head>\r\n"
                            "<meta charset=\"utf-8\">\r\n"
                            "<title>Files by type: /srv/&lt;x&gt;&amp;y</title>\r\n"
                            "</head>\r\n"
                            "<table>\r\n"
                            "<tr>\r\n"
                            "<th><b><center>Type</center></b></th>\r\n"
                            "<th><b><center>Name</center></b></th>\r\n"
                            "<th><b><center>Created</center></b></th>\r\n"
                            "<th><b><center>Modified</center></b></th>\r\n"
                            "<th><b><center>Attribs</center></b></th>\r\n"
                            "<th><b><center>Size</center></b></th>\r\n"
                            "</tr>\r\n"
                            "<tr>\r\n"
                            "<td>.txt</td>\r\n"
                            "<td>a&amp;b&lt;c&gt;&quot;d&quot;.txt</td>\r\n"
                            "<td>01/02/2024</td>\r\n"
                            "<td>01/02/2024 10:00:00</td>\r\n"
                            "<td>-</td>\r\n"
                            "<td>0 KB</td>\r\n"
                            "</tr>\r\n"
                            "</table>\r\n"
                            "</html>\r\n");
}

TEST(ExportHtml, EmptyListGivesOnlyTheHeaderRow)
{
    const std::string bytes =
        ExportHtml(TextRows(), kTypeColumns, ExportedRows::All, "/", "Folder content").Bytes();
    EXPECT_NE(bytes.find("<title>Folder content: /</title>\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("<th><b><center>Size</center></b></th>\r\n</tr>\r\n</table>\r\n</html>\r\n"),
              std::string::npos);
    EXPECT_EQ(bytes.find("<td>"), std::string::npos);
}

} // namespace
} // namespace pellamy
