// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/ByteCount.h"

#include <algorithm>

namespace pellamy {

std::string ByteCountDigits(ByteCount count)
{
    std::string digits;
    do {
        digits.push_back(static_cast<char>('0' + static_cast<int>(count % 10)));
        count /= 10;
    } while (count != 0);
    std::reverse(digits.begin(), digits.end());
    return digits;
}

} // namespace pellamy
