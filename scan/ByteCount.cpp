// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ByteCount.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

namespace pellamy {

std::string ByteCountDigits(ByteCount count)
{
    // Sizes of files and of most folders fit 64 bits, whose digits need no 128-bit division.
    if (count <= std::numeric_limits<std::uint64_t>::max()) {
        char buf[24];
        const auto [end, error] = std::to_chars(buf, buf + sizeof buf, static_cast<std::uint64_t>(count));
        static_cast<void>(error);
        return std::string(buf, end);
    }
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(count % 10)));
        count /= 10;
    } while (count != 0);
    std::reverse(digits.begin(), digits.end());
    return digits;
}

} // namespace pellamy
