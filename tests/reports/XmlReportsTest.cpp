// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/XmlReports.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

TEST(ExportFilesXml, HoldsTheSelectedRowsEscapedWhenSavedAndPlainOnTheClipboard)
{
    TextRows files;
    files.AddRow({".txt", "left out.txt", "01/02/2024", "01/02/2024", "A", "1 KB"});
    files.AddRow({".txt", "a&b.txt", "01/02/2024 10:00:00", "02/02/2024 11:30:00", "", "1.5 KB"}, true);
    files.AddRow({".c", "x.c", "03/02/2024", "03/02/2024", "RA", "0 KB"}, true);
    XmlWriter writer;
    writer.Nodes.AddElement("Stale");
    ExportFilesXml(writer, files, "/home/me/");
    EXPECT_EQ(writer.SavedText(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                  "<FilesList>\r\n"
                                  "  <FolderName>/home/me/</FolderName>\r\n"
                                  "  <File>\r\n"
                                  "    <Filename>a&amp;b.txt</Filename>\r\n"
                                  "    <Created>01/02/2024 10:00:00</Created>\r\n"
                                  "    <Modified>02/02/2024 11:30:00</Modified>\r\n"
                                  "    <Attribs></Attribs>\r\n"
                                  "    <Size>1.5 KB</Size>\r\n"
                                  "  </File>\r\n"
                                  "  <File>\r\n"
                                  "    <Filename>x.c</Filename>\r\n"
                                  "    <Created>03/02/2024</Created>\r\n"
                                  "    <Modified>03/02/2024</Modified>\r\n"
                                  "    <Attribs>RA</Attribs>\r\n"
                                  "    <Size>0 KB</Size>\r\n"
                                  "  </File>\r\n"
                                  "</FilesList>\r\n");
    const std::string shown = writer.Text();
    EXPECT_NE(shown.find("    <Filename>a&b.txt</Filename>\r\n"), std::string::npos);
    EXPECT_EQ(shown.find("&amp;"), std::string::npos);
}

TEST(ExportFilesXml, CarriageReturnInANameIsSavedAsAReferenceAndCopiedAsItself)
{
    TextRows files;
    files.AddRow({".txt", "cr\rname.txt", "", "", "A", "0 KB"}, true);
    XmlWriter writer;
    ExportFilesXml(writer, files, "/in\rfolder/");
    const std::string saved = writer.SavedText();
    EXPECT_NE(saved.find("  <FolderName>/in&#13;folder/</FolderName>\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("    <Filename>cr&#13;name.txt</Filename>\r\n"), std::string::npos) << saved;
    const std::string shown = writer.Text();
    EXPECT_NE(shown.find("    <Filename>cr\rname.txt</Filename>\r\n"), std::string::npos);
    EXPECT_EQ(shown.find("&#13;"), std::string::npos);
}

TEST(ExportFolderXml, HoldsTheTotalsAndEveryTypeRow)
{
    TextRows types;
    types.AddRow({"", "File", "1", "0.5 KB"});
    types.AddRow({".pdf", "PDF document", "2", "3 MB"}, true);
    XmlWriter writer;
    RegionalSettings comma;
    comma.DecimalSeparator = ",";
    ExportFolderXml(writer, types, "/home/me", 3, 3 * 1048576 + 512, comma);
    EXPECT_EQ(writer.SavedText(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                  "<FolderList>\r\n"
                                  "  <FolderName>/home/me</FolderName>\r\n"
                                  "  <FileTotal>3</FileTotal>\r\n"
                                  "  <FolderSize>3 MB</FolderSize>\r\n"
                                  "  <FileType>\r\n"
                                  "    <Type></Type>\r\n"
                                  "    <Description>File</Description>\r\n"
                                  "    <Number>1</Number>\r\n"
                                  "    <Size>0.5 KB</Size>\r\n"
                                  "  </FileType>\r\n"
                                  "  <FileType>\r\n"
                                  "    <Type>.pdf</Type>\r\n"
                                  "    <Description>PDF document</Description>\r\n"
                                  "    <Number>2</Number>\r\n"
                                  "    <Size>3 MB</Size>\r\n"
                                  "  </FileType>\r\n"
                                  "</FolderList>\r\n");

    // The folder size is always in megabytes, with the user's decimal separator; the total is a
    // plain number.
    ExportFolderXml(writer, types, "/", 1234567, 1536 * 1048576LL, comma);
    EXPECT_NE(
        writer.Text().find("  <FileTotal>1234567</FileTotal>\r\n  <FolderSize>1536 MB</FolderSize>\r\n"),
        std::string::npos);
    ExportFolderXml(writer, types, "/", 1, 512 + 1048576 / 2, comma);
    EXPECT_NE(writer.Text().find("<FolderSize>0,5 MB</FolderSize>"), std::string::npos);
}

TEST(ExportFolderXml, EmptyTypeListStillGivesTheFolderAndTotals)
{
    XmlWriter writer;
    ExportFolderXml(writer, TextRows(), "/", 0, 0, RegionalSettings());
    EXPECT_EQ(writer.Text(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                             "<FolderList>\r\n"
                             "  <FolderName>/</FolderName>\r\n"
                             "  <FileTotal>0</FileTotal>\r\n"
                             "  <FolderSize>0 MB</FolderSize>\r\n"
                             "</FolderList>\r\n");
}

} // namespace
} // namespace pellamy
