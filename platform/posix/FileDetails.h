// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_FILEDETAILS_H
#define PELLAMY_PLATFORM_POSIX_FILEDETAILS_H

#include "shell/FileDetails.h"

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

namespace pellamy {

/// The details of the file at `path` (the file system's bytes, as they are); the system's error
/// when it cannot be read.
std::optional<FileDetails> ReadFileDetails(const std::string& path, std::error_code& error);

} // namespace pellamy

#endif
