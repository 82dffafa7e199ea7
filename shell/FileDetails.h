// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_FILEDETAILS_H
#define PELLAMY_SHELL_FILEDETAILS_H

#include <cstdint>
#include <optional>
#include <string>

namespace pellamy {

/// What the details window shows of one file, read without following a final link.
struct FileDetails
{
    std::uint64_t size = 0;
    /// Seconds since the epoch; the creation time is missing where the file system keeps none.
    std::optional<std::int64_t> created;
    std::int64_t modified = 0;
    std::int64_t accessed = 0;
    std::int64_t changed = 0;
    /// The permission bits and file type, as the system gives them.
    std::uint32_t mode = 0;
    /// The owner's user name, or its number where it has none.
    std::string owner;
    /// The attribute letters of the file list: "R" when nobody may write, "H" for a dot name.
    std::string attributes;
};

/// The permission bits of `mode` as nine letters, "rwxr-xr--" style.
std::string ModeLetters(std::uint32_t mode);

} // namespace pellamy

#endif
