// SPDX-License-Identifier: GPL-3.0-or-later
// The HTML report: whatever the texts, the page has its fixed lines in their order, every inserted
// text carries no markup character of its own ("<", ">", a double quote or a bare "&"), and reading
// its character references gives the text back.
#include "reports/HtmlReport.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// `text` as a browser reads it, or nothing when it holds markup of its own.
std::optional<std::string> ReadInserted(std::string_view text)
{
    static constexpr std::pair<std::string_view, char> kReferences[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#34;", '"'}, {"&#39;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '<' || c == '>' || c == '"') {
            return std::nullopt;
        }
        if (c != '&') {
            out += c;
            ++i;
            continue;
        }
        bool known = false;
        for (const auto& [reference, character] : kReferences) {
            if (text.substr(i, reference.size()) == reference) {
                out += character;
                i += reference.size();
                known = true;
                break;
            }
        }
        if (!known) {
            return std::nullopt;
        }
    }
    return out;
}

// Checks that `line` is `prefix`, an inserted text that reads back as `text`, and `suffix`.
void CheckLine(const std::string& line, std::string_view prefix, const std::string& text,
               std::string_view suffix)
{
    PELLAMY_FUZZ_CHECK(line.size() >= prefix.size() + suffix.size());
    PELLAMY_FUZZ_CHECK(line.compare(0, prefix.size(), prefix) == 0);
    PELLAMY_FUZZ_CHECK(line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0);
    const auto read = ReadInserted(
        std::string_view(line).substr(prefix.size(), line.size() - prefix.size() - suffix.size()));
    PELLAMY_FUZZ_CHECK(read.has_value() && *read == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pellamy;
    FuzzedDataProvider input(data, size);
    const auto exported = input.ConsumeBool() ? ExportedRows::Selected : ExportedRows::All;
    const std::string title = input.ConsumeRandomLengthString(30);
    const std::string folder = input.ConsumeRandomLengthString(30);
    std::vector<std::string> captionTexts;
    const std::size_t columns = input.ConsumeIntegralInRange<std::size_t>(1, 6);
    for (std::size_t c = 0; c < columns; ++c) {
        captionTexts.push_back(input.ConsumeRandomLengthString(12));
    }
    const std::vector<std::string_view> captions(captionTexts.begin(), captionTexts.end());
    TextRows rows;
    const std::size_t rowCount = input.ConsumeIntegralInRange<std::size_t>(0, 6);
    for (std::size_t r = 0; r < rowCount; ++r) {
        std::vector<std::string> cells;
        const std::size_t present = input.ConsumeIntegralInRange<std::size_t>(0, columns);
        for (std::size_t c = 0; c < present; ++c) {
            cells.push_back(input.ConsumeRandomLengthString(30));
        }
        rows.AddRow(std::move(cells), input.ConsumeBool());
    }

    const ReportText page = ExportHtml(rows, captions, exported, folder, title);
    const std::vector<std::string>& lines = page.Lines();
    std::string joined;
    for (const std::string& line : lines) {
        joined += line + "\r\n";
    }
    PELLAMY_FUZZ_CHECK(page.Bytes() == joined);

    std::size_t at = 0;
    auto next = [&]() -> const std::string& {
        PELLAMY_FUZZ_CHECK(at < lines.size());
        return lines[at++];
    };
    PELLAMY_FUZZ_CHECK(next() == "<html>");
    PELLAMY_FUZZ_CHECK(next() == "<head>");
    // The page may name its encoding right after "<head>".
    if (at < lines.size() && lines[at] == "<meta charset=\"utf-8\">") {
        ++at;
    }
    const std::string& titleLine = next();
    // The title text and the folder, joined by ": ", read back together.
    CheckLine(titleLine, "<title>", title + ": " + folder, "</title>");
    PELLAMY_FUZZ_CHECK(next() == "</head>");
    PELLAMY_FUZZ_CHECK(next() == "<table>");
    PELLAMY_FUZZ_CHECK(next() == "<tr>");
    for (const std::string& caption : captionTexts) {
        CheckLine(next(), "<th><b><center>", caption, "</center></b></th>");
    }
    PELLAMY_FUZZ_CHECK(next() == "</tr>");
    for (std::size_t r = 0; r < rowCount; ++r) {
        if (exported == ExportedRows::Selected && !rows.IsSelected(r)) {
            continue;
        }
        PELLAMY_FUZZ_CHECK(next() == "<tr>");
        CheckLine(next(), "<td>", rows.CellText(r, 0), "</td>");
        for (std::size_t c = 1; c < columns; ++c) {
            const std::string cell = rows.CellText(r, c);
            if (cell.empty()) {
                PELLAMY_FUZZ_CHECK(next() == "<td>-</td>");
            } else {
                CheckLine(next(), "<td>", cell, "</td>");
            }
        }
        PELLAMY_FUZZ_CHECK(next() == "</tr>");
    }
    PELLAMY_FUZZ_CHECK(next() == "</table>");
    PELLAMY_FUZZ_CHECK(next() == "</html>");
    PELLAMY_FUZZ_CHECK(at == lines.size());
    return 0;
}
