// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report on folders whose sizes and times lie at the edges of what can be held and shown,
// and sorts under regional settings whose texts do not order as their values.

#include "RunReport.h"
#include "platform/TmpfsFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <clocale>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

fs::path Touch(const fs::path& folder, const std::string& name, std::uintmax_t size = 0)
{
    const fs::path path = folder / name;
    std::ofstream(path, std::ios::binary) << std::string(static_cast<std::size_t>(size), 'x');
    return path;
}

// Sets the last-write and last-access times; false when the file system refused or clamped them.
bool SetTimes(const fs::path& path, std::int64_t written, std::uint32_t writtenNs, std::int64_t accessed)
{
    const timespec times[2] = {{static_cast<time_t>(accessed), 0},
                               {static_cast<time_t>(written), static_cast<long>(writtenNs)}};
    struct stat st
    {};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0 && ::stat(path.c_str(), &st) == 0 &&
           st.st_mtim.tv_sec == written && st.st_atim.tv_sec == accessed;
}

bool HaveLocale(const char* name)
{
    const std::string old = std::setlocale(LC_ALL, nullptr);
    const bool have = std::setlocale(LC_ALL, name) != nullptr;
    std::setlocale(LC_ALL, old.c_str());
    return have;
}

std::vector<std::string> Names(const nlohmann::json& doc)
{
    std::vector<std::string> names;
    for (const auto& row : doc["rows"]) {
        names.push_back(row["name"]);
    }
    return names;
}

TEST(ReportValues, SparseFilesOfAnySizeSumWithoutWrapping)
{
    TmpfsFolder dir;
    if (!dir.Mounted()) {
        GTEST_SKIP() << dir.Reason();
    }
    constexpr std::uintmax_t kQuarter = std::uintmax_t{1} << 62;
    constexpr std::uintmax_t kLargest = INT64_MAX;
    for (const auto& [name, size] : {std::pair{"a.img", kQuarter}, std::pair{"b.img", kQuarter},
                                     std::pair{"c.raw", kLargest}, std::pair{"d.raw", kLargest}}) {
        std::error_code error;
        fs::resize_file(Touch(dir.Path(), name), size, error);
        if (error) {
            GTEST_SKIP() << "the file system refuses a file of " << size << " bytes: " << error.message();
        }
    }
    const std::string folder = dir.Path().string();

    RunResult r = RunReport({"--sort", "Size:desc", folder});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_LT(r.Out.find("\n.raw"), r.Out.find("\n.img")) << "the larger type first: " << r.Out;
    EXPECT_NE(r.Out.find("17179869184 GB\n"), std::string::npos) << r.Out; // 2^64 - 2 bytes
    EXPECT_NE(r.Out.find("8589934592 GB\n"), std::string::npos) << r.Out;  // 2^63 bytes
    EXPECT_NE(r.Out.find("Folder attributes:       TOTALS:    Files:4   Size:25769803776 GB \n"),
              std::string::npos)
        << r.Out;

    // JSON holds the exact sums: within 64 bits as ordinary numbers, beyond as the digits.
    r = RunReport({"--format", "json", folder});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_NE(r.Out.find("\"totalSize\": 27670116110564327422,"), std::string::npos) << r.Out;
    const auto doc = nlohmann::json::parse(r.Out);
    EXPECT_TRUE(doc["totalSize"].is_number());
    ASSERT_EQ(doc["rows"].size(), 2u);
    EXPECT_EQ(doc["rows"][0]["size"].get<std::uint64_t>(), std::uint64_t{1} << 63);
    EXPECT_EQ(doc["rows"][1]["size"].get<std::uint64_t>(), UINT64_MAX - 1);

    r = RunReport({"--files", ".raw", "--format", "json", folder});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    const auto files = nlohmann::json::parse(r.Out);
    ASSERT_EQ(files["rows"].size(), 2u);
    EXPECT_EQ(files["rows"][0]["size"].get<std::int64_t>(), INT64_MAX);
    EXPECT_EQ(files["rows"][0]["cells"][5], "8589934592 GB");

    // The folder report's size in megabytes: (3 * 2^63 - 2) bytes.
    r = RunReport({"--format", "xml", folder});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_NE(r.Out.find("26388279066624 MB"), std::string::npos) << r.Out;
}

TEST(ReportValues, TimesThatCannotBeShownAreEmptyAndNullWhileTheRowStands)
{
    TmpfsFolder dir;
    if (!dir.Mounted()) {
        GTEST_SKIP() << dir.Reason();
    }
    constexpr std::int64_t kYear62178 = 1'899'981'014'400;
    constexpr std::int64_t kYear1500 = -14'831'769'600;
    constexpr std::int64_t kLastSecondOf9999 = 253'402'300'799;
    const bool held = SetTimes(Touch(dir.Path(), "far.a", 10), kYear62178, 0, kYear1500) &&
                      SetTimes(Touch(dir.Path(), "largest.b", 20), INT64_MAX, 999'999'999, INT64_MAX) &&
                      SetTimes(Touch(dir.Path(), "last.c", 30), kLastSecondOf9999, 0, kLastSecondOf9999 + 1);
    if (!held) {
        GTEST_SKIP() << "the file system does not hold times this far from today";
    }
    const std::string folder = dir.Path().string();
    RunResult r = RunReport({"--all-files", "--format", "json", folder});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    const auto doc = nlohmann::json::parse(r.Out);
    ASSERT_EQ(Names(doc), (std::vector<std::string>{"far.a", "largest.b", "last.c"}));
    const auto& rows = doc["rows"];
    EXPECT_TRUE(rows[0]["modified"].is_null());
    EXPECT_TRUE(rows[0]["accessed"].is_null());
    EXPECT_EQ(rows[0]["cells"][3], "");
    EXPECT_EQ(rows[0]["cells"][1], "far.a");
    EXPECT_EQ(rows[0]["cells"][5], "0.01 KB");
    EXPECT_TRUE(rows[1]["modified"].is_null());
    EXPECT_EQ(rows[1]["cells"][3], "");
    EXPECT_EQ(rows[2]["modified"], "9999-12-31T23:59:59.000000Z");
    EXPECT_NE(rows[2]["cells"][3], "");
    EXPECT_TRUE(rows[2]["accessed"].is_null());

    // Sorting by such a column puts the rows without a time first.
    r = RunReport({"--all-files", "--format", "json", "--sort", "Modified:desc", folder});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(Names(nlohmann::json::parse(r.Out)),
              (std::vector<std::string>{"last.c", "far.a", "largest.b"}));
}

// Under de_DE the short date is dd.MM.yy: "01.06.30" is 2030 and "01.06.50" is 1950, which no
// reading of the text alone can tell apart from 1930 and 2050.
TEST(ReportValues, SortsByTheValuesBehindGermanTexts)
{
    if (!HaveLocale("de_DE.UTF-8")) {
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed (locale-gen de_DE.UTF-8)";
    }
    TempFolder dir;
    constexpr std::int64_t k2030 = 1'906'545'600; // 2030-06-01 12:00:00 UTC
    constexpr std::int64_t k1950 = -618'062'400;  // 1950-06-01 12:00:00 UTC
    constexpr std::int64_t k1999 = 928'238'400;   // 1999-06-01 12:00:00 UTC
    // Different extensions fix the order before the sort (caption order).
    ASSERT_TRUE(SetTimes(Touch(dir.Path(), "new.a", 1536), k2030, 0, k2030));
    ASSERT_TRUE(SetTimes(Touch(dir.Path(), "old.b", 1024), k1950, 0, k1950));
    ASSERT_TRUE(SetTimes(Touch(dir.Path(), "mid.c", 1229), k1999, 0, k1999));
    // Two files whose times differ by less than a second show one text and keep their order.
    ASSERT_TRUE(SetTimes(Touch(dir.Path(), "same.d", 1538), k1999, 900'000'000, k1999));
    ASSERT_TRUE(SetTimes(Touch(dir.Path(), "same.e", 1537), k1999, 100'000'000, k1999));
    const std::string folder = dir.Path().string();

    RunResult r = RunReport({"--all-files", "--format", "json", "--sort", "Modified", folder},
                            fs::current_path(), {"LC_ALL=de_DE.UTF-8"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    auto doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["rows"][2]["cells"][3], "01.06.99 12:00:00");
    EXPECT_EQ(doc["rows"][4]["cells"][3], "01.06.30 12:00:00");
    EXPECT_EQ(Names(doc), (std::vector<std::string>{"old.b", "mid.c", "same.d", "same.e", "new.a"}));

    r = RunReport({"--all-files", "--format", "json", "--sort", "Modified:desc", folder}, fs::current_path(),
                  {"LC_ALL=de_DE.UTF-8"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(Names(nlohmann::json::parse(r.Out)),
              (std::vector<std::string>{"new.a", "mid.c", "same.d", "same.e", "old.b"}));

    // Decimal commas: 1 KB, 1,2 KB, then the three files that show 1,5 KB in their own order.
    r = RunReport({"--all-files", "--format", "json", "--sort", "Size", folder}, fs::current_path(),
                  {"LC_ALL=de_DE.UTF-8"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["rows"][1]["cells"][5], "1,2 KB");
    EXPECT_EQ(Names(doc), (std::vector<std::string>{"old.b", "mid.c", "new.a", "same.d", "same.e"}));
}

} // namespace
} // namespace pellamy
