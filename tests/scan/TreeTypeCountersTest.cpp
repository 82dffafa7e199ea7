// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/TreeTypeCounters.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

std::vector<std::tuple<std::string, std::int64_t, std::uint64_t>> Plain(const TreeTypeCounters& counters)
{
    std::vector<std::tuple<std::string, std::int64_t, std::uint64_t>> out;
    for (const TypeRow& row : counters.Rows()) {
        out.emplace_back(row.Extension, row.Count, static_cast<std::uint64_t>(row.Size));
    }
    return out;
}

TEST(TreeTypeCounters, SpellingAndOrderFollowTheTreeNotTheOrderOfMerging)
{
    // Two threads' shares: the first read a deep folder, the second one nearer the root.
    TreeTypeCounters deep;
    deep.Add(".TXT", {3, 1, 0}, 2, 10);
    deep.Add(".log", {3, 1, 4}, 1, 5);
    TreeTypeCounters near;
    near.Add(".txt", {3, 0}, 1, 7);
    near.Add(".Log", {4}, 1, 1);
    near.Add("", {0}, 3, 0);

    TreeTypeCounters a;
    a.MergeFrom(deep);
    a.MergeFrom(near);
    TreeTypeCounters b;
    b.MergeFrom(near);
    b.MergeFrom(deep);
    using Row = std::tuple<std::string, std::int64_t, std::uint64_t>;
    const std::vector<Row> expected = {Row{"", 3, 0}, Row{".txt", 3, 17}, Row{".log", 2, 6}};
    EXPECT_EQ(Plain(a), expected);
    EXPECT_EQ(Plain(b), expected);
}

TEST(TreeTypeCounters, SumsNeverWrap)
{
    TreeTypeCounters counters;
    for (std::uint32_t i = 0; i < 4; ++i) {
        counters.Add(".iso", {i}, 1, ToByteCount(INT64_MAX));
    }
    EXPECT_EQ(ByteCountDigits(counters.Rows().at(0).Size), "36893488147419103228");
}

} // namespace
} // namespace pellamy
