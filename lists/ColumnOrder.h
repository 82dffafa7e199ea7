// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_LISTS_COLUMNORDER_H
#define PELLAMY_LISTS_COLUMNORDER_H

#include "scan/ByteCount.h"
#include "scan/FileEntry.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

namespace pellamy {

/// The order (position -> row) of a sort of `count` rows by one key per row, `keyOf(row)`, made
/// once per row straight into the sorted items; `compare(keyA, rowA, keyB, rowB)` answers for
/// ascending order (negative, zero or positive), and may read the rows for what their keys leave
/// open. The sort is stable in both directions: rows that compare equal keep their relative order.
template <typename KeyOf, typename Compare>
std::vector<std::uint32_t> OrderByRowKeyOf(std::size_t count, KeyOf keyOf, bool ascending, Compare compare)
{
    using Key = decltype(keyOf(std::size_t{0}));
    std::vector<std::pair<Key, std::uint32_t>> items;
    items.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        items.emplace_back(keyOf(i), static_cast<std::uint32_t>(i));
    }
    // The position breaks every tie, so an unstable sort in place gives the stable order in either
    // direction without the buffer a stable sort would take.
    std::sort(items.begin(), items.end(), [&](const auto& a, const auto& b) {
        const int c = compare(a.first, a.second, b.first, b.second);
        if (c != 0) {
            return ascending ? c < 0 : c > 0;
        }
        return a.second < b.second;
    });
    std::vector<std::uint32_t> order(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        order[i] = items[i].second;
    }
    return order;
}

/// `OrderByRowKeyOf` with keys that decide alone: `compare(a, b)` of two keys.
template <typename KeyOf, typename Compare>
std::vector<std::uint32_t> OrderByKeyOf(std::size_t count, KeyOf keyOf, bool ascending, Compare compare)
{
    using Key = decltype(keyOf(std::size_t{0}));
    return OrderByRowKeyOf(
        count, keyOf, ascending,
        [&compare](const Key& a, std::uint32_t, const Key& b, std::uint32_t) { return compare(a, b); });
}

/// `OrderByKeyOf` over keys made beforehand.
template <typename Key, typename Compare>
std::vector<std::uint32_t> OrderByKeys(std::vector<Key> keys, bool ascending, Compare compare)
{
    return OrderByKeyOf(
        keys.size(), [&keys](std::size_t i) { return std::move(keys[i]); }, ascending, compare);
}

/// Rearranges `items` in place so that position i holds what was at `order[i]` (a permutation of
/// the positions), moving each item once.
template <typename T>
void PermuteInPlace(std::vector<T>& items, const std::vector<std::uint32_t>& order)
{
    std::vector<bool> placed(items.size(), false);
    for (std::size_t start = 0; start < items.size(); ++start) {
        if (placed[start] || order[start] == start) {
            continue;
        }
        T held = std::move(items[start]);
        std::size_t to = start;
        for (;;) {
            placed[to] = true;
            const std::size_t from = order[to];
            if (from == start) {
                items[to] = std::move(held);
                break;
            }
            items[to] = std::move(items[from]);
            to = from;
        }
    }
}

/// A text held in two parts, `Head` followed by `Tail` (a folder's path and a file's own name), so
/// that it needs no joining to be compared.
struct TwoPartText
{
    std::string_view Head;
    std::string_view Tail;
};

/// A text's first 16 bytes as the lists' case-insensitive text comparison (`CompareTextNoCase`)
/// sees them (a-z as A-Z), packed into two numbers (zero bytes after its end; names hold none).
/// Most comparisons of a million names are decided by these numbers without touching the texts,
/// which lie elsewhere in memory.
struct PackedTextPrefix
{
    std::uint64_t High = 0;
    std::uint64_t Low = 0;
};

PackedTextPrefix PackTextPrefix(const TwoPartText& text);

/// `CompareTextNoCase` of the texts `a` and `b`, as -1, 0 or 1, given their packed prefixes.
int ComparePackedTexts(const PackedTextPrefix& aPrefix, const TwoPartText& a, const PackedTextPrefix& bPrefix,
                       const TwoPartText& b);

/// The order of a header sort of a time column ("Created", "Modified"): by the local date and time
/// to the second that each row's text shows, so the form of the text (two-digit years, a 12-hour
/// clock, the order of day, month and year) plays no part. Times without a text come first; rows
/// showing the same second keep their order.
std::vector<std::uint32_t> OrderByShownTimes(std::span<const FileTime> times, bool ascending);

/// The order of a header sort of a size column: by the unit and the hundredths that each row's
/// size text shows, computed from the bytes, so the decimal separator plays no part and sizes with
/// one text keep their order.
std::vector<std::uint32_t> OrderByShownSizes(std::span<const ByteCount> sizes, bool ascending);

/// The order of a header sort of the "Number" column: by the counts.
std::vector<std::uint32_t> OrderByCounts(std::span<const std::int64_t> counts, bool ascending);

} // namespace pellamy

#endif
