// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report --recursive: the reports of a whole tree, as built and as the program writes them.

#include "cli/TreeReport.h"

#include "RunReport.h"
#include "reports/ReportExports.h"
#include "reports/ReportFormats.h"
#include "platform/DeepTree.h"
#include "platform/TempFolder.h"
#include "platform/TmpfsFolder.h"
#include "platform/posix/PosixDirectorySource.h"
#include "platform/posix/PosixTreeSource.h"
#include "scan/TypeInfoSource.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

class NamedTypes final : public TypeInfoSource
{
public:
    std::string GetTypeDescription(const std::string& extension) override { return "type " + extension; }
};

// A report's bytes gathered in one text, as the command would write them.
class CollectedOutput final : public ReportOutput
{
public:
    CollectedOutput()
        : ReportOutput(kReportPieceSize)
    {}

    std::string Bytes;

private:
    std::optional<std::string> Deliver(std::string_view bytes) override
    {
        Bytes += bytes;
        return std::nullopt;
    }
};

template <typename Write>
std::string Written(const ReportData& data, Write write)
{
    CollectedOutput out;
    write(data, out);
    EXPECT_EQ(out.Finish(), std::nullopt);
    return out.Bytes;
}

std::string FormatJson(const ReportData& data) { return Written(data, WriteJson); }
std::string FormatCsv(const ReportData& data) { return Written(data, WriteCsv); }
std::string FormatTable(const ReportData& data) { return Written(data, WriteTable); }

void Write(const fs::path& path, std::size_t size)
{
    std::ofstream(path, std::ios::binary) << std::string(size, 'x');
}

// Types spelt differently in different folders, so the spelling shown depends on which file comes
// first; a hard link across folders; enough folders to keep several threads busy.
class TreeReportFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const fs::path root = m_dir.Path();
        Write(root / "top.txt", 1);
        fs::create_directories(root / "sub" / "dir");
        Write(root / "sub" / "dir" / "a.TXT", 2000);
        Write(root / "sub" / "b.Log", 3);
        fs::create_hard_link(root / "sub" / "b.Log", root / "sub" / "dir" / "again.log");
        for (int f = 0; f < 16; ++f) {
            const fs::path folder = root / ("p" + std::to_string(f)) / "q";
            fs::create_directories(folder);
            Write(folder / (f % 2 == 0 ? "x.LOG" : "x.log"), f);
            Write(folder / (f % 2 == 0 ? "y.Txt" : "y.tXt"), 100);
        }
    }

    TreeReport Build(const std::optional<NamePattern>& pattern, unsigned threads)
    {
        const ReportSources sources{m_directory, m_types, m_collator, RegionalSettings{}};
        PosixTreeSource tree;
        TreeReportOptions options;
        options.Threads = threads;
        return BuildTreeReport(sources, tree, m_dir.Path().string(), pattern, options);
    }

    TempFolder m_dir;
    PosixDirectorySource m_directory;
    NamedTypes m_types;
    ByteCollator m_collator;
};

TEST_F(TreeReportFolder, EveryReportIsTheSameWithOneThreadOrSeveral)
{
    for (const std::optional<NamePattern>& pattern :
         {std::optional<NamePattern>(), std::optional(NamePattern::AllFiles())}) {
        const TreeReport one = Build(pattern, 1);
        ASSERT_FALSE(one.RootError);
        for (int run = 0; run < 4; ++run) {
            const TreeReport several = Build(pattern, 4);
            EXPECT_EQ(FormatJson(several.Data), FormatJson(one.Data));
            EXPECT_EQ(FormatCsv(several.Data), FormatCsv(one.Data));
            EXPECT_EQ(FormatTable(several.Data), FormatTable(one.Data));
        }
    }
}

TEST_F(TreeReportFolder, TypeListSumsTheWholeTreeWithTheFoldersOwnTotalsLine)
{
    const TreeReport report = Build(std::nullopt, 0);
    const ReportData& data = report.Data;
    ASSERT_EQ(data.RowCount(), 2u);
    EXPECT_EQ(data.Types.At(0).Count, 1 + 16) << "the hard-linked log counts once";
    EXPECT_EQ(data.Types.At(1).Count, 2 + 16);
    EXPECT_EQ(data.Rows().CellText(1, 1), "type " + data.Types.At(1).Extension);
    EXPECT_EQ(data.Summary.TotalFiles, 35);
    EXPECT_TRUE(data.Summary.TotalSize == ByteCount(3 + 120 + 2001 + 1600));
    EXPECT_EQ(data.TotalsLine.rfind("Folder attributes:", 0), 0u);
    EXPECT_NE(data.TotalsLine.find("Files:35 "), std::string::npos) << data.TotalsLine;
}

TEST_F(TreeReportFolder, FileListsNameFilesByTheirPathBelowTheFolder)
{
    const TreeReport report = Build(NamePattern::OfExtension(".log"), 0);
    const nlohmann::json doc = nlohmann::json::parse(FormatJson(report.Data));
    EXPECT_EQ(doc["recursive"], true);
    std::set<std::string> names;
    for (const auto& row : doc["rows"]) {
        const std::string name = row["name"];
        names.insert(name);
        const auto slash = name.rfind('/');
        EXPECT_EQ(row["folder"], slash == std::string::npos ? std::string() : name.substr(0, slash + 1));
        EXPECT_EQ(row["cells"][1], name);
    }
    EXPECT_EQ(names.size(), 17u);
    EXPECT_EQ(names.count("p3/q/x.log"), 1u);
    EXPECT_EQ(names.count("sub/b.Log") + names.count("sub/dir/again.log"), 1u);

    // The CSV's full path is still the folder followed by the name.
    const std::string csv = FormatCsv(report.Data);
    EXPECT_NE(csv.find(m_dir.Slashed() + "p3/q/x.log,"), std::string::npos) << csv;
}

TEST_F(TreeReportFolder, TheCommandWritesTheTreeAndOnlyRecursiveRunsSayRecursive)
{
    RunResult r = RunReport({"--recursive", "--format", "json", m_dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    nlohmann::json doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["recursive"], true);
    EXPECT_EQ(doc["totalFiles"], 35);
    EXPECT_TRUE(r.Err.empty()) << r.Err;

    r = RunReport({"-r", "-x", "--all-files", "--sort", "Size:desc", m_dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_NE(r.Out.find("sub/dir/a.TXT"), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("Files: 35\n"), std::string::npos) << r.Out;

    r = RunReport({"--format", "json", m_dir.Path().string()});
    doc = nlohmann::json::parse(r.Out);
    EXPECT_FALSE(doc.contains("recursive"));
    EXPECT_EQ(doc["totalFiles"], 1);
}

TEST(TreeReportCommand, OneFileSystemGoesWithRecursive)
{
    TempFolder dir;
    for (const std::vector<std::string>& args : {std::vector<std::string>{"-x", dir.Path().string()},
                                                 {"--recursive=yes", dir.Path().string()},
                                                 {"-r", "--one-file-system=1", dir.Path().string()}}) {
        const RunResult r = RunReport(args);
        EXPECT_EQ(r.ExitCode, 2) << args[0];
        EXPECT_NE(r.Err.find("Usage:"), std::string::npos);
    }
    const RunResult help = RunReport({"--help"});
    EXPECT_NE(help.Out.find("--recursive"), std::string::npos);
    EXPECT_NE(help.Out.find("hard links counts once"), std::string::npos);
}

TEST(TreeReportCommand, ATreeDeeperThanAnyPathIsReportedWithFewDescriptors)
{
    // 3,000 folders deep with 64 descriptors for the whole program: a walk that kept one per
    // level would run out long before the bottom.
    TmpfsFolder dir("64m");
    constexpr int kLevels = 3000;
    const std::vector<std::string> files = MakeDeepTree(dir.Path(), kLevels);
    ASSERT_EQ(files.size(), std::size_t{kLevels});
    const RunResult r =
        RunReport({"-r", "--format", "json", dir.Path().string()}, dir.Path(), {}, {"prlimit", "--nofile=64"});
    if (r.ExitCode == 126 || r.ExitCode == 127) {
        GTEST_SKIP() << "prlimit cannot run pellamy-report here: " << r.Err;
    }
    ASSERT_EQ(r.ExitCode, 0) << r.Err.substr(0, 500);
    EXPECT_TRUE(r.Err.empty());
    const nlohmann::json doc = nlohmann::json::parse(r.Out);
    std::int64_t size = 0;
    for (int level = 0; level < kLevels; ++level) {
        size += level % 7;
    }
    EXPECT_EQ(doc["totalFiles"], kLevels);
    EXPECT_EQ(doc["totalSize"], size);
}

TEST(TreeReportCommand, UnreadableFoldersAreLeftOutAndListedAfterTheReport)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run pellamy-report as another user on folders it cannot read";
    }
    TempFolder dir;
    fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    const fs::path root = dir.Path();
    Write(root / "top.txt", 1);
    fs::create_directories(root / "open" / "inner");
    Write(root / "open" / "inner" / "kept.txt", 2);
    std::vector<fs::path> locked;
    for (int i = 0; i < 6; ++i) {
        locked.push_back(root / ("locked" + std::to_string(i)));
    }
    locked.push_back(root / "open" / "listed-only");
    for (const fs::path& folder : locked) {
        fs::create_directory(folder);
        Write(folder / "hidden.txt", 1000);
        fs::permissions(folder, fs::perms::owner_all);
    }
    // Read permission without search permission: the names can be listed, the files not examined.
    fs::permissions(locked.back(), fs::perms::owner_all | fs::perms::others_read);
    fs::permissions(root / "open", fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(root / "open" / "inner",
                    fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    const std::vector<std::string> nobody = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};

    RunResult r = RunReport({"-r", "--format", "json", root.string()}, root, {}, nobody);
    if (r.ExitCode == 126 || r.ExitCode == 127) {
        GTEST_SKIP() << "setpriv cannot run pellamy-report as user 65534 here: " << r.Err;
    }
    EXPECT_EQ(r.ExitCode, 1);
    const nlohmann::json doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["totalFiles"], 2) << "everything readable is still reported";
    EXPECT_EQ(doc["totalSize"], 3);

    std::vector<std::string> lines;
    for (std::size_t start = 0; start < r.Err.size();) {
        const auto end = r.Err.find('\n', start);
        lines.push_back(r.Err.substr(start, end - start));
        start = end + 1;
    }
    ASSERT_EQ(lines.size(), 7u) << r.Err;
    EXPECT_EQ(lines[0], "pellamy-report: 7 folders could not be read and are left out:");
    std::set<std::string> shown;
    for (std::size_t i = 1; i < 6; ++i) {
        const std::string prefix = "pellamy-report: " + root.string() + "/";
        ASSERT_EQ(lines[i].rfind(prefix, 0), 0u) << lines[i];
        EXPECT_NE(lines[i].find(": Permission denied"), std::string::npos) << lines[i];
        shown.insert(lines[i]);
    }
    EXPECT_EQ(shown.size(), 5u);
    EXPECT_EQ(lines[6], "pellamy-report: ... and 2 more");

    // The folder itself unreadable: nothing to report, as for one folder.
    r = RunReport({"-r", locked[0].string()}, root, {}, nobody);
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, "pellamy-report: " + locked[0].string() + ": Permission denied\n");
    EXPECT_TRUE(r.Out.empty()) << r.Out;
}

} // namespace
} // namespace pellamy
