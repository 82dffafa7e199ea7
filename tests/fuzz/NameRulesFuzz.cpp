// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that file names go through: the extension of a name, and the patterns that list the
// names of one type (every name, or the names ending in a type's extension, ignoring case).
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

    // The double click's pattern matches every name; the type row without extension's matches
    // exactly the names the summary counts in that row.
    const NamePattern all = NamePattern::AllFiles();
    PELLAMY_FUZZ_CHECK(all.MatchesEverything());
    PELLAMY_FUZZ_CHECK(all.Matches(name) && all.Matches(other) && all.Matches(""));
    const NamePattern none = NamePattern::OfExtension("");
    PELLAMY_FUZZ_CHECK(none.Matches(name) == ExtensionOf(name).empty());
    PELLAMY_FUZZ_CHECK(none.Matches(other) == ExtensionOf(other).empty());

    // A type row's extension: the names that end in it literally, in any letter case, ".*"
    // included (it lists the names ending in ".*", not every name).
    const std::string ext = "." + text;
    const NamePattern pattern = NamePattern::OfExtension(ext);
    PELLAMY_FUZZ_CHECK(!pattern.MatchesEverything());
    PELLAMY_FUZZ_CHECK(!(pattern == NamePattern::AllFiles()));
    PELLAMY_FUZZ_CHECK(pattern.Matches(name) == EndsWithIgnoringCase(name, ext));
    PELLAMY_FUZZ_CHECK(pattern.Matches(other + ext));
    PELLAMY_FUZZ_CHECK(pattern.Matches(other + FoldCase(ext)));
    PELLAMY_FUZZ_CHECK(pattern.Matches(ext));
    if (!extension.empty()) {
        PELLAMY_FUZZ_CHECK(NamePattern::OfExtension(extension).Matches(name));
    }
    return 0;
}
