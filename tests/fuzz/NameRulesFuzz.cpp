// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that file names go through: the extension of a name, and the patterns that list the
// names of one type ("*.*" and "*" every name, "*" + extension the names ending in it, ignoring
// case, any other text the one name equal to it).
#include "scan/CaseFold.h"
#include "scan/ScanFolder.h"
#include "scan/TypeSummary.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <string_view>

namespace {

// Whether `name` ends in `extension` (which starts with ".") ignoring case. Folding may change a
// character's byte length, so every tail of the name that starts with a "." is tried.
bool EndsWithIgnoringCase(std::string_view name, std::string_view extension)
{
    for (std::size_t dot = name.find('.'); dot != std::string_view::npos; dot = name.find('.', dot + 1)) {
        if (pellamy::EqualsNoCase(name.substr(dot), extension)) {
            return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pellamy;
    FuzzedDataProvider input(data, size);
    const std::string name = input.ConsumeRandomLengthString(300);
    const std::string other = input.ConsumeRandomLengthString(300);
    const std::string text = input.ConsumeRemainingBytesAsString();

    // The extension: a suffix of the name that is empty or starts with its last ".".
    const std::string_view extension = ExtensionOf(name);
    PELLAMY_FUZZ_CHECK(extension.size() <= name.size());
    PELLAMY_FUZZ_CHECK(std::string_view(name).substr(name.size() - extension.size()) == extension);
    if (name.find('.') == std::string::npos) {
        PELLAMY_FUZZ_CHECK(extension.empty());
    } else {
        PELLAMY_FUZZ_CHECK(!extension.empty() && extension.front() == '.');
        PELLAMY_FUZZ_CHECK(extension.find('.', 1) == std::string_view::npos);
    }
    PELLAMY_FUZZ_CHECK(ExtensionOf(extension) == extension);

    // Patterns that match every name.
    for (const char* everything : {"*.*", "*"}) {
        const NamePattern pattern{std::string(everything)};
        PELLAMY_FUZZ_CHECK(pattern.MatchesEverything());
        PELLAMY_FUZZ_CHECK(pattern.Matches(name) && pattern.Matches(other) && pattern.Matches(""));
    }

    // "*" + an extension: the names that end in it, in any letter case (".*" makes "*.*", the
    // pattern of every name).
    const std::string ext = "." + text;
    if (ext != ".*") {
        const NamePattern pattern("*" + ext);
        PELLAMY_FUZZ_CHECK(!pattern.MatchesEverything());
        PELLAMY_FUZZ_CHECK(pattern.Matches(name) == EndsWithIgnoringCase(name, ext));
        PELLAMY_FUZZ_CHECK(pattern.Matches(other + ext));
        PELLAMY_FUZZ_CHECK(pattern.Matches(other + FoldCase(ext)));
        PELLAMY_FUZZ_CHECK(pattern.Matches(ext));
    }
    if (!extension.empty() && extension != ".*") {
        PELLAMY_FUZZ_CHECK(NamePattern("*" + std::string(extension)).Matches(name));
    }

    // Any other text: the one name equal to it, ignoring case.
    if (!text.empty() && text.front() != '*') {
        const NamePattern pattern(text);
        PELLAMY_FUZZ_CHECK(pattern.Matches(text) && pattern.Matches(FoldCase(text)));
        PELLAMY_FUZZ_CHECK(pattern.Matches(name) == EqualsNoCase(name, text));
    }
    return 0;
}
