// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/ColumnOrder.h"

#include <limits>

#include "lists/DisplayTexts.h"
#include "scan/CaseFold.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace pellamy {
namespace {

template <typename T>
int CompareOrdered(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

int Sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

} // namespace

PackedTextPrefix PackTextPrefix(const TwoPartText& text)
{
    PackedTextPrefix prefix;
    for (std::size_t i = 0; i < 16; ++i) {
        const bool inHead = i < text.Head.size();
        const std::size_t at = inHead ? i : i - text.Head.size();
        const std::string_view part = inHead ? text.Head : text.Tail;
        auto c = static_cast<unsigned char>(at < part.size() ? part[at] : 0);
        if (c >= 'a' && c <= 'z') {
            c = static_cast<unsigned char>(c - 0x20);
        }
        std::uint64_t& half = i < 8 ? prefix.High : prefix.Low;
        half = (half << 8) | c;
    }
    return prefix;
}

int ComparePackedTexts(const PackedTextPrefix& aPrefix, const TwoPartText& a, const PackedTextPrefix& bPrefix,
                       const TwoPartText& b)
{
    if (aPrefix.High != bPrefix.High) {
        return aPrefix.High < bPrefix.High ? -1 : 1;
    }
    if (aPrefix.Low != bPrefix.Low) {
        return aPrefix.Low < bPrefix.Low ? -1 : 1;
    }
    // Equal packed bytes leave only what follows them to compare.
    const std::size_t aSize = a.Head.size() + a.Tail.size();
    const std::size_t bSize = b.Head.size() + b.Tail.size();
    if (aSize <= 16 && bSize <= 16) {
        return CompareOrdered(aSize, bSize);
    }
    if (a.Head.empty() && b.Head.empty()) {
        return Sign(CompareTextNoCase(a.Tail.substr(std::min<std::size_t>(16, a.Tail.size())),
                                      b.Tail.substr(std::min<std::size_t>(16, b.Tail.size()))));
    }
    // Both texts from byte 16, each as up to two pieces, compared a common length at a time.
    const auto from16 = [](const TwoPartText& text, std::string_view& first, std::string_view& second) {
        if (text.Head.size() >= 16) {
            first = text.Head.substr(16);
            second = text.Tail;
        } else {
            first = text.Tail.substr(std::min(text.Tail.size(), 16 - text.Head.size()));
            second = {};
        }
    };
    std::string_view a1;
    std::string_view a2;
    std::string_view b1;
    std::string_view b2;
    from16(a, a1, a2);
    from16(b, b1, b2);
    for (;;) {
        if (a1.empty()) {
            a1 = std::exchange(a2, {});
        }
        if (b1.empty()) {
            b1 = std::exchange(b2, {});
        }
        if (a1.empty() || b1.empty()) {
            return CompareOrdered(a1.size() + a2.size(), b1.size() + b2.size());
        }
        const std::size_t n = std::min(a1.size(), b1.size());
        if (const int c = CompareTextNoCase(a1.substr(0, n), b1.substr(0, n)); c != 0) {
            return Sign(c);
        }
        a1.remove_prefix(n);
        b1.remove_prefix(n);
    }
}

std::vector<std::uint32_t> OrderByShownTimes(std::span<const FileTime> times, bool ascending)
{
    std::vector<std::int64_t> keys;
    keys.reserve(times.size());
    for (const FileTime time : times) {
        // A time without a text orders before every other, as an empty text does; no second shown
        // reaches the smallest number.
        keys.push_back(ShownSecond(time).value_or(std::numeric_limits<std::int64_t>::min()));
    }
    return OrderByKeys(std::move(keys), ascending, CompareOrdered<std::int64_t>);
}

std::vector<std::uint32_t> OrderByShownSizes(std::span<const ByteCount> sizes, bool ascending)
{
    std::vector<ShownSize> keys;
    keys.reserve(sizes.size());
    for (const ByteCount size : sizes) {
        keys.push_back(ShowSize(size, false));
    }
    return OrderByKeys(std::move(keys), ascending, CompareOrdered<ShownSize>);
}

std::vector<std::uint32_t> OrderByCounts(std::span<const std::int64_t> counts, bool ascending)
{
    return OrderByKeys(std::vector<std::int64_t>(counts.begin(), counts.end()), ascending,
                       CompareOrdered<std::int64_t>);
}

} // namespace pellamy
