// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/ColumnOrder.h"

#include <limits>

#include "lists/DisplayTexts.h"
#include "scan/CaseFold.h"

#include <optional>

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

PackedTextKey PackTextKey(std::string_view text)
{
    PackedTextKey key;
    key.Text = text;
    for (std::size_t i = 0; i < 16; ++i) {
        auto c = static_cast<unsigned char>(i < text.size() ? text[i] : 0);
        if (c >= 'a' && c <= 'z') {
            c = static_cast<unsigned char>(c - 0x20);
        }
        std::uint64_t& half = i < 8 ? key.High : key.Low;
        half = (half << 8) | c;
    }
    return key;
}

int ComparePackedTextKeys(const PackedTextKey& a, const PackedTextKey& b)
{
    if (a.High != b.High) {
        return a.High < b.High ? -1 : 1;
    }
    if (a.Low != b.Low) {
        return a.Low < b.Low ? -1 : 1;
    }
    // Equal packed bytes leave only what follows them to compare.
    if (a.Text.size() <= 16 && b.Text.size() <= 16) {
        return CompareOrdered(a.Text.size(), b.Text.size());
    }
    return Sign(CompareTextNoCase(a.Text.substr(std::min<std::size_t>(16, a.Text.size())),
                                  b.Text.substr(std::min<std::size_t>(16, b.Text.size()))));
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
