// SPDX-License-Identifier: GPL-3.0-or-later
// Case folding: folding twice changes nothing, ASCII folds to lower case, equality ignoring case
// is symmetric and transitive and holds between a text and its folded form, and the list views'
// comparison is an order consistent with it.
#include "scan/CaseFold.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

int Sign(int v)
{
    return (v > 0) - (v < 0);
}

// `text` with the ASCII letters whose bit in `mask` is set switched to the other case.
std::string FlipAsciiCase(const std::string& text, std::uint64_t mask)
{
    std::string out = text;
    for (std::size_t i = 0; i < out.size(); ++i) {
        const char c = out[i];
        const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (letter && ((mask >> (i % 64)) & 1) != 0) {
            out[i] = static_cast<char>(c ^ 0x20);
        }
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pellamy;
    FuzzedDataProvider input(data, size);
    const std::uint64_t mask = input.ConsumeIntegral<std::uint64_t>();
    const std::string a = input.ConsumeRandomLengthString(256);
    const std::string b = input.ConsumeRandomLengthString(256);
    const std::string c = input.ConsumeRemainingBytesAsString();

    const std::string folded = FoldCase(a);
    PELLAMY_FUZZ_CHECK(FoldCase(folded) == folded);
    // ASCII letters fold to their lower case and every other ASCII byte stays as it is.
    std::string ascii;
    std::string lowered;
    for (const char ch : a) {
        if (static_cast<unsigned char>(ch) < 0x80) {
            ascii += ch;
            lowered += ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 0x20) : ch;
        }
    }
    PELLAMY_FUZZ_CHECK(FoldCase(ascii) == lowered);
    std::string appended = "prefix";
    AppendFolded(a, appended);
    PELLAMY_FUZZ_CHECK(appended == "prefix" + folded);

    PELLAMY_FUZZ_CHECK(EqualsNoCase(a, a));
    PELLAMY_FUZZ_CHECK(EqualsNoCase(a, folded) && EqualsNoCase(folded, a));
    PELLAMY_FUZZ_CHECK(EqualsNoCase(a, FlipAsciiCase(a, mask)));
    PELLAMY_FUZZ_CHECK(EqualsNoCase(a, b) == EqualsNoCase(b, a));
    PELLAMY_FUZZ_CHECK(EqualsNoCase(a, b) == (FoldCase(a) == FoldCase(b)));
    if (EqualsNoCase(a, b) && EqualsNoCase(b, c)) {
        PELLAMY_FUZZ_CHECK(EqualsNoCase(a, c));
    }

    // The list views' comparison: a total order that ignores ASCII case only.
    const int ab = Sign(CompareTextNoCase(a, b));
    PELLAMY_FUZZ_CHECK(ab == -Sign(CompareTextNoCase(b, a)));
    PELLAMY_FUZZ_CHECK(CompareTextNoCase(a, a) == 0);
    PELLAMY_FUZZ_CHECK(CompareTextNoCase(a, FlipAsciiCase(a, mask)) == 0);
    if (ab == 0) {
        PELLAMY_FUZZ_CHECK(a.size() == b.size() && EqualsNoCase(a, b));
    }
    const int bc = Sign(CompareTextNoCase(b, c));
    const int ac = Sign(CompareTextNoCase(a, c));
    if (ab <= 0 && bc <= 0) {
        PELLAMY_FUZZ_CHECK(ac <= 0);
        if (ab < 0 || bc < 0) {
            PELLAMY_FUZZ_CHECK(ac < 0);
        }
    }
    if (a.size() < b.size() && b.compare(0, a.size(), a) == 0) {
        PELLAMY_FUZZ_CHECK(ab < 0); // a prefix sorts first
    }
    return 0;
}
