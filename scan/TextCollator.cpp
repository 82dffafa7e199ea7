// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/TextCollator.h"

#include <algorithm>
#include <numeric>

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

} // namespace pellamy
