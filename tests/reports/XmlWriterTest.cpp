// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/XmlWriter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

namespace pellamy {
namespace {

std::string Streamed(const XmlWriter& writer)
{
    std::ostringstream stream;
    EXPECT_FALSE(writer.SaveToStream(stream).has_value());
    return stream.str();
}

TEST(XmlWriter, EmptyWriterGivesAnEmptyDocumentEvenWithAHeader)
{
    XmlWriter writer;
    writer.Encoding = "UTF-8";
    EXPECT_EQ(writer.Text(), "");
    EXPECT_EQ(writer.SavedText(), "");
    EXPECT_EQ(Streamed(writer), "");
}

TEST(XmlWriter, NestsAndIndentsTwoBlanksPerLevel)
{
    XmlWriter writer;
    writer.Nodes.BeginElement("Root");
    writer.Nodes.BeginElement("Child");
    writer.Nodes.AddElement("Leaf").SetValueText("deep");
    writer.Nodes.AddElement("Empty");
    writer.Nodes.EndElement();
    writer.Nodes.EndElement();
    EXPECT_EQ(writer.Text(), "<?xml version=\"1.0\"?>\r\n"
                             "<Root>\r\n"
                             "  <Child>\r\n"
                             "    <Leaf>deep</Leaf>\r\n"
                             "    <Empty></Empty>\r\n"
                             "  </Child>\r\n"
                             "</Root>\r\n");

    writer.AutoIndent = false;
    writer.Encoding = "UTF-8";
    EXPECT_EQ(writer.SavedText(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                                  "<Root>\r\n"
                                  "<Child>\r\n"
                                  "<Leaf>deep</Leaf>\r\n"
                                  "<Empty></Empty>\r\n"
                                  "</Child>\r\n"
                                  "</Root>\r\n");

    writer.IncludeHeader = false;
    EXPECT_EQ(writer.Text().substr(0, 8), "<Root>\r\n");
}

TEST(XmlWriter, StreamThatTakesNothingGivesStreamWriteError)
{
    XmlWriter writer;
    writer.Nodes.AddElement("Leaf");
    std::ostringstream broken;
    broken.setstate(std::ios::badbit);
    EXPECT_EQ(writer.SaveToStream(broken), std::optional<std::string>("Stream write error"));
    EXPECT_EQ(writer.Nodes.Count(), 1u);
}

TEST(XmlWriter, WritesSeveralTopLevelElementsInOrder)
{
    XmlWriter writer;
    writer.IncludeHeader = false;
    writer.Nodes.AddElement("First").SetValueInteger(0);
    writer.Nodes.AddElement("Second").SetValueInteger(-5);
    writer.Nodes.BeginElement("Third");
    writer.Nodes.AddElement("Inner").SetValueInteger(2147483647);
    writer.Nodes.EndElement();
    EXPECT_EQ(Streamed(writer), "<First>0</First>\r\n"
                                "<Second>-5</Second>\r\n"
                                "<Third>\r\n"
                                "  <Inner>2147483647</Inner>\r\n"
                                "</Third>\r\n");
    ASSERT_EQ(writer.Nodes.Count(), 3u);
    EXPECT_EQ(writer.Nodes.Items(2).Children().Items(0).Parent(), &writer.Nodes.Items(2));
}

TEST(XmlNode, StoresEscapedValuesThatTextShowsAsTheyWere)
{
    XmlWriter writer;
    writer.IncludeHeader = false;
    XmlNode& mixed = writer.Nodes.AddElement("V");
    mixed.SetValueText("a<b&c");
    EXPECT_EQ(mixed.Value(), "a&lt;b&amp;c");
    EXPECT_EQ(writer.SavedText(), "<V>a&lt;b&amp;c</V>\r\n");
    EXPECT_EQ(writer.Text(), "<V>a<b&c</V>\r\n");

    mixed.SetValueText("it's \"q\" > 1");
    EXPECT_EQ(mixed.Value(), "it&apos;s &quot;q&quot; &gt; 1");
    EXPECT_EQ(writer.Text(), "<V>it's \"q\" > 1</V>\r\n");

    // The display form turns "&amp;" back first and the other entities after it, so an entity
    // typed as text comes back as typed unless a later step matches what the first one made.
    mixed.SetValueText("&amp;");
    EXPECT_EQ(mixed.Value(), "&amp;amp;");
    EXPECT_EQ(writer.Text(), "<V>&amp;</V>\r\n");
    mixed.SetValueText("x&lt;y");
    EXPECT_EQ(mixed.Value(), "x&amp;lt;y");
    EXPECT_EQ(writer.Text(), "<V>x<y</V>\r\n");
}

TEST(XmlNode, ReplacesWhatXmlCannotCarryWithTheReplacementCharacter)
{
    XmlNode node(nullptr);
    node.SetValueText(
        "tab\tnl\ncr\rctl\x01\x1F|bad\xFF|cut\xC3|ok\xC3\xA4|\xEF\xBF\xBE|\xED\xA0\x80|\xC0\xAF");
    EXPECT_EQ(node.Value(),
              "tab\tnl\ncr&#13;ctl\xEF\xBF\xBD\xEF\xBF\xBD|bad\xEF\xBF\xBD|cut\xEF\xBF\xBD|ok\xC3\xA4|"
              "\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD|\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(XmlNode, CarriageReturnIsSavedAsAReferenceAndShownAsItself)
{
    XmlWriter writer;
    writer.IncludeHeader = false;
    XmlNode& node = writer.Nodes.AddElement("V");
    node.SetValueText("a\rb\r\nc\n");
    EXPECT_EQ(writer.SavedText(), "<V>a&#13;b&#13;\nc\n</V>\r\n");
    EXPECT_EQ(writer.Text(), "<V>a\rb\r\nc\n</V>\r\n");

    // The reference typed as text is escaped like any other text and shown as typed.
    node.SetValueText("&#13;");
    EXPECT_EQ(writer.SavedText(), "<V>&amp;#13;</V>\r\n");
    EXPECT_EQ(writer.Text(), "<V>&#13;</V>\r\n");
}

TEST(XmlNode, AttributeValuesAreEscapedInTheSavedFormOnly)
{
    XmlWriter writer;
    writer.IncludeHeader = false;
    writer.Nodes.AddElement("File kind=\"a<b&c'd\re\nf\tg\"");
    EXPECT_EQ(writer.SavedText(), "<File kind=\"a&lt;b&amp;c&apos;d&#13;e&#10;f&#9;g\"></File>\r\n");
    EXPECT_EQ(writer.Text(), "<File kind=\"a<b&c'd\re\nf\tg\"></File>\r\n");
}

TEST(XmlNode, NamesThatAreNotXmlNamesAreRefused)
{
    XmlWriter writer;
    writer.IncludeHeader = false;
    writer.Nodes.BeginElement("Root");
    for (const char* bad :
         {"", "<>", "  ", "1st", "-x", "two words", "a&b", "bad\xFF", "File 9=\"v\"", "File a<b=\"v\""}) {
        EXPECT_THROW(writer.Nodes.AddElement(bad), std::invalid_argument) << bad;
        EXPECT_THROW(writer.Nodes.BeginElement(bad), std::invalid_argument) << bad;
    }
    // A refused name leaves the tree as it was: the root is still open and holds nothing.
    ASSERT_EQ(writer.Nodes.Count(), 1u);
    EXPECT_EQ(writer.Nodes.Current(), &writer.Nodes.Items(0));
    EXPECT_EQ(writer.Nodes.Items(0).Children().Count(), 0u);

    XmlNode& named = writer.Nodes.AddElement("File type=\"x\"");
    EXPECT_THROW(named.SetName("File 2type=\"y\""), std::invalid_argument);
    EXPECT_EQ(named.Name(), "File");
    EXPECT_EQ(named.Attribute().Name, "type");
    EXPECT_EQ(named.Attribute().Value, "x");

    for (const char* good : {"_a", "ns:Name", "a-b.c9", "\xC3\xA9t\xC3\xA9", "\xE6\xBC\xA2"}) {
        EXPECT_NO_THROW(writer.Nodes.AddElement(good)) << good;
    }
    writer.Nodes.EndElement();
    EXPECT_EQ(writer.Nodes.Items(0).Children().Count(), 6u);
}

TEST(XmlNode, SetNameDropsBracketsAndBlanksAndReadsOneAttribute)
{
    XmlWriter writer;
    writer.IncludeHeader = false;
    EXPECT_EQ(writer.Nodes.AddElement("<File>").Name(), "File");
    EXPECT_EQ(writer.Nodes.AddElement("  \tPadded \n").Name(), "Padded");
    XmlNode& typed = writer.Nodes.AddElement("File type=\"x\"");
    EXPECT_EQ(typed.Name(), "File");
    EXPECT_EQ(typed.Attribute().Name, "type");
    EXPECT_EQ(typed.Attribute().Value, "x");
    typed.SetValueText("v");
    XmlNode& spaced = writer.Nodes.AddElement("<Item  kind = \" a b \">");
    EXPECT_EQ(spaced.Name(), "Item");
    EXPECT_EQ(spaced.Attribute().Name, "kind");
    EXPECT_EQ(spaced.Attribute().Value, "a b");
    EXPECT_EQ(writer.Text(), "<File></File>\r\n"
                             "<Padded></Padded>\r\n"
                             "<File type=\"x\">v</File>\r\n"
                             "<Item kind=\"a b\"></Item>\r\n");

    // Renaming without an attribute drops the one the node had.
    typed.SetName("Plain");
    EXPECT_TRUE(typed.Attribute().Name.empty());
    // "=" without a blank before it names no attribute.
    EXPECT_EQ(writer.Nodes.AddElement("a=b").Name(), "a");
}

TEST(XmlNodeList, UnmatchedEndLeavesTheTreeAsItWas)
{
    XmlWriter writer;
    writer.IncludeHeader = false;
    writer.Nodes.EndElement();
    writer.Nodes.BeginElement("Root");
    writer.Nodes.AddElement("Shown");
    writer.Nodes.EndElement();
    writer.Nodes.EndElement();
    writer.Nodes.EndElement();
    EXPECT_EQ(writer.Nodes.Current(), nullptr);
    EXPECT_EQ(writer.Text(), "<Root>\r\n"
                             "  <Shown></Shown>\r\n"
                             "</Root>\r\n");

    // The cursor is back at the top level: a new element is a second root.
    writer.Nodes.AddElement("Next");
    EXPECT_EQ(writer.Nodes.Count(), 2u);

    writer.Nodes.Clear();
    EXPECT_EQ(writer.Nodes.Count(), 0u);
    EXPECT_EQ(writer.Text(), "");
}

} // namespace
} // namespace pellamy
