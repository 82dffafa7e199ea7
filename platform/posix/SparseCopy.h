// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_SPARSECOPY_H
#define PELLAMY_PLATFORM_POSIX_SPARSECOPY_H

#include <sys/types.h>
#include <system_error>

namespace pellamy {

/// Copies the contents of `in` (of `size` bytes) to the empty file `out`, keeping its holes: only
/// the ranges that hold data are read and written, and the length is set at the end, so a sparse
/// file of a terabyte with a few bytes in it copies as quickly and takes as little room as it does.
/// Returns the system's error of the read or write that failed.
std::error_code CopyContents(int in, int out, off_t size);

} // namespace pellamy

#endif
