// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report's argument parser: any argument list gives either a usage error with a message or
// arguments whose fields agree with one another and with the list, and a command line made of
// valid options in any order and spelling gives exactly what it asks for.
#include "cli/ReportArguments.h"
#include "lists/ColumnCaptions.h"
#include "lists/FileRows.h"
#include "scan/TypeSummary.h"
#include "tests/fuzz/FuzzCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <variant>
#include <vector>

namespace {

using pellamy::ReportArguments;
using pellamy::UsageError;

bool SameArguments(const ReportArguments& a, const ReportArguments& b)
{
    auto boxes = [](const pellamy::AttributeFilterBoxes& x) {
        return std::tuple(x.roFile, x.hidFile, x.sysFile, x.arcFile);
    };
    auto sort = [](const std::optional<pellamy::ReportSort>& s) {
        return s ? std::tuple(true, s->Column, s->Descending) : std::tuple(false, std::size_t{0}, false);
    };
    return a.ShowHelp == b.ShowHelp && a.ShowVersion == b.ShowVersion && a.FilePattern == b.FilePattern &&
           a.Options.ISF == b.Options.ISF && a.Options.AttrChk == b.Options.AttrChk &&
           boxes(a.Options.Boxes) == boxes(b.Options.Boxes) && a.Format == b.Format &&
           sort(a.Sort) == sort(b.Sort) && a.OutputFile == b.OutputFile && a.Folder == b.Folder &&
           a.Recursive == b.Recursive && a.OneFileSystem == b.OneFileSystem;
}

void CheckConsistent(const std::vector<std::string>& args, const ReportArguments& parsed)
{
    if (parsed.FilePattern) {
        const std::string& text = parsed.FilePattern->Text();
        PELLAMY_FUZZ_CHECK(!text.empty() && text.front() == '*');
    }
    if (parsed.Sort) {
        const std::size_t columns =
            parsed.FilePattern ? pellamy::kFileColumns.size() : pellamy::kTypeColumns.size();
        PELLAMY_FUZZ_CHECK(parsed.Sort->Column < columns);
    }
    if (parsed.OutputFile) {
        PELLAMY_FUZZ_CHECK(!parsed.OutputFile->empty());
    }
    // Staying on one file system means nothing without the walk below the folder.
    PELLAMY_FUZZ_CHECK(!parsed.OneFileSystem || parsed.Recursive);
    if (!parsed.Options.AttrChk) {
        const auto& b = parsed.Options.Boxes;
        PELLAMY_FUZZ_CHECK(!b.roFile && !b.hidFile && !b.sysFile && b.arcFile);
    }
    if (!parsed.Folder.empty()) {
        PELLAMY_FUZZ_CHECK(std::find(args.begin(), args.end(), parsed.Folder) != args.end());
    }
}

// A valid command line: each option at most once, in any order, with "--name value" or
// "--name=value", and the folder anywhere (after "--" when it looks like an option).
std::vector<std::string> ValidLine(FuzzedDataProvider& input, ReportArguments& expected)
{
    static constexpr const char* kFormats[] = {"table", "json", "csv", "xml", "html"};
    std::vector<std::vector<std::string>> options;
    auto withValue = [&](const std::string& name, const std::string& value) {
        // Only long options take the "=" form.
        if (name.starts_with("--") && input.ConsumeBool()) {
            options.push_back({name + "=" + value});
        } else {
            options.push_back({name, value});
        }
    };
    if (input.ConsumeBool()) {
        if (input.ConsumeBool()) {
            options.push_back({"--all-files"});
            expected.FilePattern = pellamy::NamePattern::AllFiles();
        } else {
            const std::string extension = "." + input.ConsumeRandomLengthString(8);
            withValue("--files", extension);
            expected.FilePattern = pellamy::NamePattern::OfExtension(extension);
        }
    }
    if (input.ConsumeBool()) {
        options.push_back({"--include-system"});
        expected.Options.ISF = true;
    }
    if (input.ConsumeBool()) {
        static constexpr char kLetters[] = "RHSArhsa";
        std::string letters;
        pellamy::AttributeFilterBoxes boxes{false, false, false, false};
        const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 4);
        for (std::size_t i = 0; i < count; ++i) {
            const char c = kLetters[input.ConsumeIntegralInRange<std::size_t>(0, 7)];
            letters += c;
            switch (c | 0x20) {
            case 'r':
                boxes.roFile = true;
                break;
            case 'h':
                boxes.hidFile = true;
                break;
            case 's':
                boxes.sysFile = true;
                break;
            default:
                boxes.arcFile = true;
            }
        }
        withValue("--filter", letters);
        expected.Options.AttrChk = true;
        expected.Options.Boxes = boxes;
    }
    if (input.ConsumeBool()) {
        const std::size_t f = input.ConsumeIntegralInRange<std::size_t>(0, 4);
        withValue("--format", kFormats[f]);
        expected.Format = static_cast<pellamy::ReportFormat>(f);
    }
    if (input.ConsumeBool()) {
        const auto& captions =
            expected.FilePattern
                ? std::vector<std::string_view>(pellamy::kFileColumns.begin(), pellamy::kFileColumns.end())
                : std::vector<std::string_view>(pellamy::kTypeColumns.begin(), pellamy::kTypeColumns.end());
        const std::size_t column = input.ConsumeIntegralInRange<std::size_t>(0, captions.size() - 1);
        std::string text(captions[column]);
        for (char& c : text) {
            if (input.ConsumeBool()) {
                c = static_cast<char>(c ^ 0x20);
            }
        }
        const int direction = input.ConsumeIntegralInRange(0, 2);
        text += direction == 1 ? ":desc" : (direction == 2 ? ":ASC" : "");
        withValue("--sort", text);
        expected.Sort = pellamy::ReportSort{column, direction == 1};
    }
    if (input.ConsumeBool()) {
        const std::string file = "out" + input.ConsumeRandomLengthString(8);
        withValue(input.ConsumeBool() ? "--output" : "-o", file);
        expected.OutputFile = file;
    }
    if (input.ConsumeBool()) {
        options.push_back({input.ConsumeBool() ? "--recursive" : "-r"});
        expected.Recursive = true;
        if (input.ConsumeBool()) {
            options.push_back({input.ConsumeBool() ? "--one-file-system" : "-x"});
            expected.OneFileSystem = true;
        }
    }
    // Shuffle the options.
    for (std::size_t i = options.size(); i > 1; --i) {
        std::swap(options[i - 1], options[input.ConsumeIntegralInRange<std::size_t>(0, i - 1)]);
    }
    std::vector<std::string> args;
    for (const auto& option : options) {
        args.insert(args.end(), option.begin(), option.end());
    }
    if (input.ConsumeBool()) {
        const std::string folder = input.ConsumeRandomLengthString(16);
        if (!folder.empty() && folder != "-" && folder[0] == '-') {
            args.push_back("--");
        }
        args.push_back(folder);
        expected.Folder = folder;
    }
    return args;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        std::vector<std::string> args;
        while (input.remaining_bytes() > 0 && args.size() < 16) {
            args.push_back(input.ConsumeRandomLengthString(24));
        }
        const auto result = pellamy::ParseReportArguments(args);
        if (const auto* error = std::get_if<UsageError>(&result)) {
            PELLAMY_FUZZ_CHECK(!error->Message.empty());
        } else {
            CheckConsistent(args, std::get<ReportArguments>(result));
        }
        // The same list always gives the same answer.
        const auto again = pellamy::ParseReportArguments(args);
        PELLAMY_FUZZ_CHECK(again.index() == result.index());
        if (const auto* parsed = std::get_if<ReportArguments>(&result)) {
            PELLAMY_FUZZ_CHECK(SameArguments(*parsed, std::get<ReportArguments>(again)));
        }
        return 0;
    }
    ReportArguments expected;
    const std::vector<std::string> args = ValidLine(input, expected);
    const auto result = pellamy::ParseReportArguments(args);
    PELLAMY_FUZZ_CHECK(std::holds_alternative<ReportArguments>(result));
    const auto& parsed = std::get<ReportArguments>(result);
    PELLAMY_FUZZ_CHECK(SameArguments(parsed, expected));
    CheckConsistent(args, parsed);
    return 0;
}
