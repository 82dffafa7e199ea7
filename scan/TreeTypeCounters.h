// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_TREETYPECOUNTERS_H
#define PELLAMY_SCAN_TREETYPECOUNTERS_H

#include "scan/ByteCount.h"
#include "scan/TypeSummary.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pellamy {

/// Where an entry stands in a walk over a tree: the positions (in directory order) of the folders
/// that lead to it from the root, then its own. Compared as sequences, positions give the order in
/// which a walk that descends into each sub-folder where it meets it would see the entries.
using TreePosition = std::vector<std::uint32_t>;

/// Per-type counters of a whole tree: one file count and size sum per extension (extensions that
/// differ only in letter case are one type), spelt as the file that comes first in the tree's
/// order. Counters gathered by several threads merge into the same result in any order, so the
/// summary never depends on which thread read which folder. Memory grows with the number of types
/// and the depth of the tree, never with the number of files.
class TreeTypeCounters
{
public:
    /// Counts `count` files of `size` bytes in all with `extension`, the first of which stands at
    /// `first`.
    void Add(std::string_view extension, const TreePosition& first, std::int64_t count, ByteCount size);

    /// Adds everything `other` counted.
    void MergeFrom(const TreeTypeCounters& other);

    /// The rows (without descriptions) in the tree order of each type's first file.
    std::vector<TypeRow> Rows() const;

private:
    struct Counter
    {
        std::string Spelling;
        TreePosition First;
        std::int64_t Count = 0;
        ByteCount Size = 0;
    };

    void AddFolded(const std::string& key, std::string_view spelling, const TreePosition& first,
                   std::int64_t count, ByteCount size);

    std::unordered_map<std::string, Counter> m_counters; // by case-folded extension
    std::string m_key;
};

} // namespace pellamy

#endif
