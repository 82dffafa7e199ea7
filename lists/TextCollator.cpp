// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/TextCollator.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace pellamy {

std::vector<std::size_t> TextCollator::SortedOrder(const std::vector<std::string_view>& texts) const
{
    std::vector<std::size_t> order(texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return Compare(texts[a], texts[b]) < 0; });
    return order;
}

int ByteCollator::Compare(std::string_view a, std::string_view b) const
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::vector<std::uint32_t> CaptionOrder(std::size_t rowCount,
                                        const std::function<std::string_view(std::size_t)>& caption,
                                        const TextCollator& collator)
{
    std::unordered_map<std::string_view, std::uint32_t> ids;
    std::vector<std::string_view> distinct;
    std::vector<std::uint32_t> idOfRow(rowCount);
    std::string_view last;
    std::uint32_t lastId = 0;
    for (std::size_t row = 0; row < rowCount; ++row) {
        const std::string_view text = caption(row);
        if (distinct.empty() || text != last) {
            const auto [it, added] = ids.try_emplace(text, static_cast<std::uint32_t>(distinct.size()));
            if (added) {
                distinct.push_back(text);
            }
            last = text;
            lastId = it->second;
        }
        idOfRow[row] = lastId;
    }
    const std::vector<std::size_t> sorted = collator.SortedOrder(distinct);
    std::vector<std::uint32_t> rank(distinct.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        rank[sorted[i]] = static_cast<std::uint32_t>(i);
    }
    // A counting sort by rank keeps rows of one caption in their order.
    std::vector<std::uint32_t> start(distinct.size() + 1, 0);
    for (const std::uint32_t id : idOfRow) {
        ++start[rank[id] + 1];
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<std::uint32_t> order(rowCount);
    for (std::size_t row = 0; row < rowCount; ++row) {
        order[start[rank[idOfRow[row]]]++] = static_cast<std::uint32_t>(row);
    }
    return order;
}

} // namespace pellamy
