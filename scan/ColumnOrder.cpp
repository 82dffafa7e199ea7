// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ColumnOrder.h"

#include "scan/DisplayTexts.h"

#include <optional>

namespace pellamy {
namespace {

template <typename T>
int CompareOrdered(const T& a, const T& b)
{
    return a < b ? -1 : (b < a ? 1 : 0);
}

} // namespace

std::vector<std::uint32_t> OrderByShownTimes(std::span<const FileTime> times, bool ascending)
{
    std::vector<std::optional<std::int64_t>> keys;
    keys.reserve(times.size());
    for (const FileTime time : times) {
        keys.push_back(ShownSecond(time));
    }
    // An empty optional orders before every value, as an empty text before every other.
    return OrderByKeys(std::move(keys), ascending, CompareOrdered<std::optional<std::int64_t>>);
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
