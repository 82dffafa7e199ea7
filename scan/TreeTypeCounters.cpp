// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/TreeTypeCounters.h"

#include "scan/CaseFold.h"

#include <algorithm>

namespace pellamy {

void TreeTypeCounters::Add(std::string_view extension, const TreePosition& first, std::int64_t count,
                           ByteCount size)
{
    m_key.clear();
    AppendFolded(extension, m_key);
    AddFolded(m_key, extension, first, count, size);
}

void TreeTypeCounters::AddFolded(const std::string& key, std::string_view spelling, const TreePosition& first,
                                 std::int64_t count, ByteCount size)
{
    auto [it, inserted] = m_counters.try_emplace(key);
    Counter& counter = it->second;
    if (inserted || first < counter.First) {
        counter.Spelling.assign(spelling);
        counter.First = first;
    }
    counter.Count += count;
    counter.Size += size;
}

void TreeTypeCounters::MergeFrom(const TreeTypeCounters& other)
{
    for (const auto& [key, counter] : other.m_counters) {
        AddFolded(key, counter.Spelling, counter.First, counter.Count, counter.Size);
    }
}

std::vector<TypeRow> TreeTypeCounters::Rows() const
{
    std::vector<const Counter*> counters;
    counters.reserve(m_counters.size());
    for (const auto& entry : m_counters) {
        counters.push_back(&entry.second);
    }
    // No two types share a first file, so the order is complete.
    std::sort(counters.begin(), counters.end(),
              [](const Counter* a, const Counter* b) { return a->First < b->First; });
    std::vector<TypeRow> rows;
    rows.reserve(counters.size());
    for (const Counter* counter : counters) {
        rows.push_back(TypeRow{counter->Spelling, {}, counter->Count, counter->Size});
    }
    return rows;
}

} // namespace pellamy
