// SPDX-License-Identifier: GPL-3.0-or-later
// The XML writer: a tree built from any values and any settings saves as a well-formed document
// that a strict reader takes back with the same elements, attributes, values and indentation. A
// name that cannot make a well-formed element is refused with std::invalid_argument.
#include "reports/XmlWriter.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/XmlChecker.h"
#include "tests/fuzz/XmlText.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <list>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// What the test expects of one element.
struct Expected
{
    std::string Name;
    std::string AttributeName;
    std::string AttributeValue;
    std::string Value;
    std::list<Expected> Children;
};

std::string Pick(FuzzedDataProvider& input, std::string_view alphabet, std::size_t minLength,
                 std::size_t maxLength)
{
    const std::size_t length = input.ConsumeIntegralInRange(minLength, maxLength);
    std::string out;
    for (std::size_t i = 0; i < length; ++i) {
        out += alphabet[input.ConsumeIntegralInRange<std::size_t>(0, alphabet.size() - 1)];
    }
    return out;
}

std::string XmlName(FuzzedDataProvider& input)
{
    return Pick(input, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz_", 1, 1) +
           Pick(input, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_.-", 0, 8);
}

// A name text in one of the forms the writer reads ("<Name>", blanks around, an attribute),
// with what it must give in `into`.
std::string NameText(FuzzedDataProvider& input, Expected& into)
{
    into.Name = XmlName(input);
    std::string text = into.Name;
    if (input.ConsumeBool()) {
        into.AttributeName = XmlName(input);
        into.AttributeValue = Pick(input, "abcXYZ019 ._-/:", 0, 10);
        while (!into.AttributeValue.empty() && into.AttributeValue.back() == ' ') {
            into.AttributeValue.pop_back();
        }
        while (!into.AttributeValue.empty() && into.AttributeValue.front() == ' ') {
            into.AttributeValue.erase(0, 1);
        }
        text += " " + into.AttributeName + "=\"" + into.AttributeValue + "\"";
    }
    text = Pick(input, " \t", 0, 2) + text + Pick(input, " \t", 0, 2);
    if (input.ConsumeBool()) {
        text = "<" + text + ">";
    }
    return text;
}

std::string Indent(bool autoIndent, std::size_t level)
{
    return autoIndent ? std::string(level * 2, ' ') : std::string();
}

void Compare(const Expected& expected, const pellamy::XmlElement& read, bool autoIndent, std::size_t level)
{
    PELLAMY_FUZZ_CHECK(read.Name == expected.Name);
    if (expected.AttributeName.empty()) {
        PELLAMY_FUZZ_CHECK(read.Attributes.empty());
    } else {
        PELLAMY_FUZZ_CHECK(read.Attributes.size() == 1);
        PELLAMY_FUZZ_CHECK(read.Attributes[0].first == expected.AttributeName);
        PELLAMY_FUZZ_CHECK(read.Attributes[0].second == expected.AttributeValue);
    }
    PELLAMY_FUZZ_CHECK(read.Children.size() == expected.Children.size());
    if (expected.Children.empty()) {
        PELLAMY_FUZZ_CHECK(read.Text == expected.Value);
        return;
    }
    // Between the children only line ends and the indentation of each line.
    std::string between = "\n";
    for (std::size_t i = 0; i < expected.Children.size(); ++i) {
        between += Indent(autoIndent, level + 1) + "\n";
    }
    between += Indent(autoIndent, level);
    PELLAMY_FUZZ_CHECK(read.Text == between);
    auto child = expected.Children.begin();
    for (const pellamy::XmlElement& readChild : read.Children) {
        Compare(*child++, readChild, autoIndent, level + 1);
    }
}

// A name of any bytes is refused or makes a well-formed element.
void CheckAnyName(const std::string& name)
{
    pellamy::XmlWriter writer;
    try {
        writer.Nodes.AddElement(name).SetValueText("v");
    } catch (const std::invalid_argument&) {
        return;
    }
    const std::string saved = writer.SavedText();
    if (!saved.empty()) {
        const pellamy::XmlCheckResult result = pellamy::CheckXml(saved);
        if (!result.Document) {
            std::fprintf(stderr, "name %s makes an ill-formed document: %s\n", name.c_str(),
                         result.Error.c_str());
        }
        PELLAMY_FUZZ_CHECK(result.Document.has_value());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pellamy;
    FuzzedDataProvider input(data, size);
    if (input.ConsumeIntegralInRange(0, 7) == 0) {
        CheckAnyName(input.ConsumeRemainingBytesAsString());
        return 0;
    }

    XmlWriter writer;
    writer.AutoIndent = input.ConsumeBool();
    writer.IncludeHeader = input.ConsumeBool();
    writer.Encoding = input.ConsumeBool() ? "UTF-8" : "";

    // The one root holds everything; `open` is the path of elements not yet ended.
    Expected root;
    writer.Nodes.BeginElement(NameText(input, root));
    std::vector<Expected*> open{&root};
    while (input.remaining_bytes() > 0 && open.size() < 64) {
        Expected& parent = *open.back();
        switch (input.ConsumeIntegralInRange(0, 4)) {
        case 0: {
            Expected& child = parent.Children.emplace_back();
            XmlNode& node = writer.Nodes.BeginElement(NameText(input, child));
            if (input.ConsumeBool()) {
                const std::string value = input.ConsumeRandomLengthString(64);
                node.SetValueText(value);
                child.Value = ExpectedXmlValue(value);
            }
            open.push_back(&child);
            break;
        }
        case 1: {
            Expected& child = parent.Children.emplace_back();
            const std::string value = input.ConsumeRandomLengthString(64);
            writer.Nodes.AddElement(NameText(input, child)).SetValueText(value);
            child.Value = ExpectedXmlValue(value);
            break;
        }
        case 2: {
            Expected& child = parent.Children.emplace_back();
            const auto value = input.ConsumeIntegral<std::int32_t>();
            writer.Nodes.AddElement(NameText(input, child)).SetValueInteger(value);
            child.Value = std::to_string(value);
            break;
        }
        default:
            if (open.size() > 1) {
                writer.Nodes.EndElement();
                open.pop_back();
            }
            break;
        }
    }
    for (std::size_t i = 0; i < open.size(); ++i) {
        writer.Nodes.EndElement();
    }
    // An unmatched end changes nothing.
    writer.Nodes.EndElement();
    PELLAMY_FUZZ_CHECK(writer.Nodes.Current() == nullptr && writer.Nodes.Count() == 1);

    const std::string saved = writer.SavedText();
    const XmlCheckResult result = CheckXml(saved);
    if (!result.Document) {
        std::fprintf(stderr, "ill-formed document: %s\n", result.Error.c_str());
    }
    PELLAMY_FUZZ_CHECK(result.Document.has_value());
    const XmlDocument& document = *result.Document;
    PELLAMY_FUZZ_CHECK(document.HasDeclaration == writer.IncludeHeader);
    if (writer.IncludeHeader) {
        PELLAMY_FUZZ_CHECK(document.Version == "1.0" && document.Encoding == writer.Encoding);
    }
    PELLAMY_FUZZ_CHECK(saved.size() >= 2 && saved.compare(saved.size() - 2, 2, "\r\n") == 0);
    Compare(root, document.Root, writer.AutoIndent, 0);

    // Saving reads the tree and leaves it as it was.
    PELLAMY_FUZZ_CHECK(writer.SavedText() == saved);
    writer.Nodes.Clear();
    PELLAMY_FUZZ_CHECK(writer.SavedText().empty() && writer.Text().empty());
    return 0;
}
