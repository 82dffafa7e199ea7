// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_WIN32DIRECTORYSOURCE_H
#define PELLAMY_PLATFORM_WIN32_WIN32DIRECTORYSOURCE_H

#include "scan/DirectorySource.h"

namespace pellamy {

/// Reads folders with `FindFirstFileExW` / `FindNextFileW` in their basic form (no short names)
/// with large fetches. Entries come in the file system's order with the system's own attribute
/// bits, its three file times and the 64-bit size; names are converted from UTF-16 to UTF-8
/// without loss (an unpaired surrogate keeps its WTF-8 form). Folders may be named with "\" or
/// "/", with or without a separator at the end.
class Win32DirectorySource final : public DirectorySource
{
public:
    std::error_code Enumerate(const std::string& folder, DirectorySink& sink) override;
    std::uint32_t ReadAttributes(const std::string& path) override;
};

} // namespace pellamy

#endif
