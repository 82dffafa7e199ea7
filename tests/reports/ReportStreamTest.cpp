// SPDX-License-Identifier: GPL-3.0-or-later
// Documents written as they are built: the XML writer's streaming mode against its element tree,
// the pieces a report output hands on, and the lines of a report text.

#include "MemoryReportFiles.h"
#include "reports/CsvReports.h"
#include "reports/ReportFiles.h"
#include "reports/ReportText.h"
#include "reports/XmlReports.h"
#include "reports/XmlWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>

namespace pellamy {
namespace {

// Keeps what it is handed and how; refuses everything after `limit` bytes.
class PieceSink final : public ReportOutput
{
public:
    explicit PieceSink(std::size_t pieceSize, std::size_t limit = std::string::npos)
        : ReportOutput(pieceSize)
        , m_limit(limit)
    {}
    std::string Bytes;
    std::size_t Pieces = 0;

private:
    std::optional<std::string> Deliver(std::string_view bytes) override
    {
        if (Bytes.size() + bytes.size() > m_limit) {
            return std::string("Stream write error");
        }
        Bytes += bytes;
        ++Pieces;
        return std::nullopt;
    }
    std::size_t m_limit;
};

// A document that uses every shape: attributes, nesting, values given after the element closed,
// empty elements, texts to escape, and an element left open.
void BuildAwkwardDocument(XmlWriter& writer)
{
    writer.Nodes.BeginElement("Root kind=\"a<b & 'c'\"");
    writer.Nodes.AddElement("Name").SetValueText("x&y <z> \"q\" 'a'\r\nline\tend \xff");
    writer.Nodes.AddElement("Count").SetValueInteger(-42);
    writer.Nodes.BeginElement("Group");
    writer.Nodes.AddElement("Empty");
    writer.Nodes.BeginElement("Inner");
    writer.Nodes.AddElement("Deep").SetValueText("&amp; typed");
    writer.Nodes.EndElement();
    writer.Nodes.EndElement();
    XmlNode& late = writer.Nodes.AddElement("Late");
    late.SetValueText("given after closing");
    writer.Nodes.BeginElement("Open");
    writer.Nodes.AddElement("Leaf").SetValueText("left open");
}

TEST(XmlWriterStream, GivesTheBytesOfTheTreeInBothFormsAndEveryLayout)
{
    for (const bool indent : {true, false}) {
        for (const bool header : {true, false}) {
            XmlWriter tree;
            tree.AutoIndent = indent;
            tree.IncludeHeader = header;
            tree.Encoding = "UTF-8";
            BuildAwkwardDocument(tree);

            XmlWriter streamed;
            streamed.AutoIndent = indent;
            streamed.IncludeHeader = header;
            streamed.Encoding = "UTF-8";
            PieceSink saved(5);
            EXPECT_EQ(streamed.Stream(saved, XmlWriter::Form::Saved, BuildAwkwardDocument), std::nullopt);
            EXPECT_EQ(saved.Bytes, tree.SavedText());
            EXPECT_GT(saved.Pieces, 1U);
            EXPECT_EQ(streamed.Nodes.Count(), 0U);

            EXPECT_EQ(streamed.StreamedText(BuildAwkwardDocument), tree.Text());
        }
    }
}

TEST(XmlWriterStream, EmptyDocumentIsEmptyEvenWithAHeader)
{
    XmlWriter writer;
    writer.Encoding = "UTF-8";
    EXPECT_EQ(writer.StreamedText([](XmlWriter&) {}), "");
}

TEST(XmlWriterStream, HoldsOnlyTheOpenElementsOfALongList)
{
    XmlWriter writer;
    std::size_t mostHeld = 0;
    PieceSink out(1024);
    writer.Stream(out, XmlWriter::Form::Saved, [&](XmlWriter& w) {
        w.Nodes.BeginElement("FilesList");
        for (int row = 0; row < 1000; ++row) {
            w.Nodes.BeginElement("File");
            w.Nodes.AddElement("Filename").SetValueText("f" + std::to_string(row));
            w.Nodes.AddElement("Size").SetValueText("1 KB");
            w.Nodes.EndElement();
            mostHeld = std::max({mostHeld, w.Nodes.Count(), w.Nodes.Items(0).Children().Count()});
        }
    });
    EXPECT_EQ(mostHeld, 1U);
    EXPECT_NE(out.Bytes.find(
                  "    <Filename>f999</Filename>\r\n    <Size>1 KB</Size>\r\n  </File>\r\n</FilesList>\r\n"),
              std::string::npos);
}

TEST(XmlWriterStream, BadNameFromTheBuilderPropagatesAndLeavesTheWriterUsable)
{
    XmlWriter writer;
    PieceSink out(1);
    EXPECT_THROW(writer.Stream(out, XmlWriter::Form::Saved,
                               [](XmlWriter& w) {
                                   w.Nodes.BeginElement("Ok");
                                   w.Nodes.AddElement("1bad");
                               }),
                 std::invalid_argument);
    EXPECT_EQ(writer.Nodes.Count(), 0U);
    writer.Nodes.AddElement("Tree").SetValueText("mode");
    EXPECT_EQ(writer.SavedText(), "<?xml version=\"1.0\"?>\r\n<Tree>mode</Tree>\r\n");
}

TEST(ReportOutput, HandsOnLargePiecesAndDropsEverythingAfterAFailure)
{
    PieceSink out(10, 25);
    for (int i = 0; i < 8; ++i) {
        out.AddLine("line");
    }
    EXPECT_TRUE(out.Failed());
    EXPECT_EQ(out.Finish(), "Stream write error");
    // Two pieces of 12 bytes fitted; the third, and what followed, did not.
    EXPECT_EQ(out.Bytes, "line\r\nline\r\nline\r\nline\r\n");
    EXPECT_EQ(out.Pieces, 2U);
}

TEST(ReportText, KeepsALineThatHoldsCrLfAsOneLine)
{
    TextRows files;
    files.AddRow({".txt", "two\r\nlines.txt", "", "", "A", "0 KB"}, true);
    files.AddRow({".txt", "cr\r.txt", "", "", "A", "0 KB"}, true);
    const ReportText text = FilesCsv(files, "/d/");
    EXPECT_EQ(text.Lines(), (std::vector<std::string>{"Name,Created,Modified,Attribs,Size",
                                                      "\"/d/two\r\nlines.txt\",,,A,\"0 KB\"",
                                                      "\"/d/cr\r.txt\",,,A,\"0 KB\""}));
}

using MemoryFiles = MemoryReportFiles;

TEST(XmlWriterStream, SavesTheStreamedDocumentAsTheTreeWouldBeSaved)
{
    TextRows files;
    files.AddRow({".txt", "a&b.txt", "01/02/2024", "", "A", "1 KB"}, true);
    files.AddRow({".txt", "skipped.txt", "", "", "A", "1 KB"});
    XmlWriter tree;
    ExportFilesXml(tree, files, "/home/<me>/");
    MemoryFiles store;
    XmlWriter streamed;
    EXPECT_EQ(streamed.StreamToFile(store, "report.xml",
                                    [&](XmlWriter& w) { ExportFilesXml(w, files, "/home/<me>/"); }),
              std::nullopt);
    EXPECT_EQ(store.Files["report.xml"], tree.SavedText());
    EXPECT_EQ(streamed.StreamToFile(store, "", [](XmlWriter&) {}),
              "Cannot create file \"\". No such file or directory");
}

} // namespace
} // namespace pellamy
