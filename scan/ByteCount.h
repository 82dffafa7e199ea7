// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_BYTECOUNT_H
#define PELLAMY_SCAN_BYTECOUNT_H

#include <cstdint>
#include <string>

namespace pellamy {

/// A byte count wide enough for any folder: one file claims at most 2^63 - 1 bytes (a sparse file
/// may claim that much), and 2^32 such files still sum to less than 2^95, so sums never wrap.
/// GCC and Clang (MinGW GCC included) provide the 128-bit type on every 64-bit target.
__extension__ typedef unsigned __int128 ByteCount;

/// The byte count of one file's size; a negative size (which no file system reports) counts as 0.
constexpr ByteCount ToByteCount(std::int64_t size)
{
    return size < 0 ? ByteCount{0} : static_cast<ByteCount>(size);
}

/// `count` in decimal digits, without grouping.
std::string ByteCountDigits(ByteCount count);

} // namespace pellamy

#endif
