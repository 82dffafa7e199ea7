// SPDX-License-Identifier: GPL-3.0-or-later
// The two XML reports: whatever the list texts, the saved document is well-formed UTF-8 XML with
// the report's fixed elements, and every value reads back as the list showed it.
#include "lists/DisplayTexts.h"
#include "reports/XmlReports.h"
#include "tests/fuzz/FuzzCheck.h"
#include "tests/fuzz/XmlChecker.h"
#include "tests/fuzz/XmlText.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <string_view>
#include <vector>

namespace {

void CheckLeaf(const pellamy::XmlElement& element, std::string_view name, const std::string& value)
{
    PELLAMY_FUZZ_CHECK(element.Name == name);
    PELLAMY_FUZZ_CHECK(element.Attributes.empty() && element.Children.empty());
    PELLAMY_FUZZ_CHECK(element.Text == pellamy::ExpectedXmlValue(value));
}

template <std::size_t N>
void CheckRecord(const pellamy::XmlElement& element, std::string_view name,
                 const std::array<std::string_view, N>& leaves, const pellamy::TextRows& rows,
                 std::size_t row, std::size_t firstColumn)
{
    PELLAMY_FUZZ_CHECK(element.Name == name && element.Children.size() == N);
    for (std::size_t i = 0; i < N; ++i) {
        CheckLeaf(element.Children[i], leaves[i], rows.CellText(row, firstColumn + i));
    }
}

const pellamy::XmlDocument ReadBack(const pellamy::XmlWriter& writer)
{
    const std::string saved = writer.SavedText();
    pellamy::XmlCheckResult result = pellamy::CheckXml(saved);
    if (!result.Document) {
        std::fprintf(stderr, "ill-formed report: %s\n", result.Error.c_str());
    }
    PELLAMY_FUZZ_CHECK(result.Document.has_value());
    PELLAMY_FUZZ_CHECK(saved.compare(0, 40, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n") == 0);
    PELLAMY_FUZZ_CHECK(result.Document->Encoding == "UTF-8");
    return std::move(*result.Document);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pellamy;
    FuzzedDataProvider input(data, size);
    const bool files = input.ConsumeBool();
    const std::size_t columns = files ? 6 : 4;
    const std::string folder = input.ConsumeRandomLengthString(40);
    const auto totalFiles = input.ConsumeIntegral<std::int32_t>();
    const auto totalSize = input.ConsumeIntegralInRange<std::int64_t>(0, INT64_MAX);
    RegionalSettings settings;
    settings.DecimalSeparator = input.ConsumeBool() ? "," : ".";
    TextRows rows;
    const std::size_t rowCount = input.ConsumeIntegralInRange<std::size_t>(0, 6);
    for (std::size_t r = 0; r < rowCount; ++r) {
        std::vector<std::string> cells;
        for (std::size_t c = 0; c < columns; ++c) {
            cells.push_back(input.ConsumeRandomLengthString(30));
        }
        rows.AddRow(std::move(cells), input.ConsumeBool());
    }

    // The writer is reused from one report to the next, as the window does.
    XmlWriter writer;
    writer.Nodes.AddElement("Earlier").SetValueText("report");
    if (files) {
        static constexpr std::array<std::string_view, 5> kLeaves = {"Filename", "Created", "Modified",
                                                                    "Attribs", "Size"};
        ExportFilesXml(writer, rows, folder);
        const XmlDocument document = ReadBack(writer);
        const XmlElement& root = document.Root;
        PELLAMY_FUZZ_CHECK(root.Name == "FilesList" && !root.Children.empty());
        CheckLeaf(root.Children[0], "FolderName", folder);
        std::size_t next = 1;
        for (std::size_t r = 0; r < rowCount; ++r) {
            if (rows.IsSelected(r)) {
                PELLAMY_FUZZ_CHECK(next < root.Children.size());
                CheckRecord(root.Children[next++], "File", kLeaves, rows, r, 1);
            }
        }
        PELLAMY_FUZZ_CHECK(next == root.Children.size());
    } else {
        static constexpr std::array<std::string_view, 4> kLeaves = {"Type", "Description", "Number", "Size"};
        ExportFolderXml(writer, rows, folder, totalFiles, totalSize, settings);
        const XmlDocument document = ReadBack(writer);
        const XmlElement& root = document.Root;
        PELLAMY_FUZZ_CHECK(root.Name == "FolderList" && root.Children.size() == 3 + rowCount);
        CheckLeaf(root.Children[0], "FolderName", folder);
        CheckLeaf(root.Children[1], "FileTotal", std::to_string(totalFiles));
        CheckLeaf(root.Children[2], "FolderSize", SizeText(totalSize, true, settings));
        for (std::size_t r = 0; r < rowCount; ++r) {
            CheckRecord(root.Children[3 + r], "FileType", kLeaves, rows, r, 0);
        }
    }
    return 0;
}
