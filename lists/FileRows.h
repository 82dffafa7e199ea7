// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_LISTS_FILEROWS_H
#define PELLAMY_LISTS_FILEROWS_H

#include "lists/ColumnCaptions.h"
#include "scan/DirectorySource.h"
#include "scan/FileEntry.h"
#include "scan/RegionalSettings.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pellamy {

/// One row of the file list, kept compact: the texts are made when they are shown. The caption is
/// the extension of `Name`; "Modified" is the last-write time.
struct FileRow
{
    std::string Name;
    std::uint32_t Attributes = 0;
    std::int64_t Size = 0;
    FileTime CreationTime = 0;
    FileTime LastWriteTime = 0;
};

} // namespace pellamy

#endif
