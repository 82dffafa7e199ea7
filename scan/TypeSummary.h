// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_TYPESUMMARY_H
#define PELLAMY_SCAN_TYPESUMMARY_H

#include "scan/ByteCount.h"
#include "scan/DirectorySource.h"
#include "scan/RegionalSettings.h"
#include "scan/ScanFolder.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <vector>

namespace pellamy {

class TypeInfoSource;

/// The extension of a file name: from its last "." to its end, the dot included; empty without a
/// dot. "archive.tar.gz" gives ".gz", ".profile" the whole name. Letter case is kept.
std::string_view ExtensionOf(std::string_view name);

/// One row of the type list: an extension with its description, file count and total size.
struct TypeRow
{
    std::string Extension;
    std::string Description;
    std::int64_t Count = 0;
    ByteCount Size = 0; // the sum of the files' sizes, which no number of files can wrap
};


/// Groups files by extension. Extensions that differ only in letter case are one type, spelt as
/// the first file that had it. Merging goes through a hash of the case-folded extension, so adding
/// a file costs no locale comparison; rows come out in order of first appearance.
///
/// Adding a file is the summary's cost per entry, so the common case skips folding and hashing
/// strings altogether: an extension of at most eight bytes, spelt exactly as one seen before, is
/// found by its bytes packed into one integer.
class TypeGrouper
{
public:
    void Add(std::string_view name, std::int64_t size);
    std::vector<TypeRow> TakeRows();

private:
    struct ShortSlot
    {
        std::uint64_t Key = 0;
        std::uint32_t Row = 0;
        bool Used = false;
    };

    std::size_t RowOf(std::string_view extension);
    std::size_t ShortRowOf(std::uint64_t key, std::string_view extension);
    std::size_t FoldedRowOf(std::string_view extension);
    void RememberShort(std::uint64_t key, std::size_t row);

    std::unordered_map<std::string, std::size_t> m_index;
    std::vector<TypeRow> m_rows;
    std::string m_key;
    std::vector<ShortSlot> m_short; // open addressing, a power of two in size, at most half full
    std::size_t m_shortUsed = 0;
};

/// What one summary of a folder found.
struct TypeSummary
{
    std::vector<TypeRow> Rows; // in order of first appearance; the list orders them by caption
    std::int32_t TotalFiles = 0;
    ByteCount TotalSize = 0;
    std::uint32_t FolderAttributes = Attr::kInvalid;
};

/// The summary of rows counted by type (of one folder or of a tree): each row's description from
/// `types`, the file count (at most the largest 32-bit count) and the total size of all rows, and
/// the attributes of the folder summed.
TypeSummary SummaryOfRows(std::vector<TypeRow> rows, TypeInfoSource& types, std::uint32_t folderAttributes);

/// Scans `folder` with the pattern "*.*" under `options` and groups the accepted files by type,
/// with descriptions from `types`. A folder that cannot be read gives no rows and zero totals
/// (the reason goes to `error` when given); its attributes are `Attr::kInvalid` when they cannot
/// be read. The scanned entries are not kept: the summary needs only names and sizes.
TypeSummary SummarizeFolder(DirectorySource& source, const std::string& folder, const ScanOptions& options,
                            TypeInfoSource& types, std::error_code* error = nullptr,
                            const std::function<void(std::uint64_t)>& progress = {});

} // namespace pellamy

#endif
