// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report run as a program on real folders: its reports in each format, the options that
// choose what they list, and the folder they describe.

#include "FileContents.h"
#include "RunReport.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <fstream>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

void SetTimes(const fs::path& path, std::int64_t written)
{
    const timespec times[2] = {{written + 50, 0}, {written, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

// A folder with several types, hidden and special files, and hostile names.
class ReportFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetTimes(m_dir.Write("a.TXT", 1536), 1700000000);
        SetTimes(m_dir.Write("b.txt", 100), 1700000000);
        m_dir.Write("README", 10);
        m_dir.Write(".profile", 5);
        m_dir.Write("big.iso", 0);
        fs::resize_file(m_dir.Path() / "big.iso", 1073741825);
        m_dir.Write("comma, \"quoted\".csv", 1);
        m_dir.Write("new\nline.log", 1);
        m_dir.Write("bad\xff.log", 1);
        m_dir.Write("漢字.log", 1);
        fs::permissions(m_dir.Path() / "README", fs::perms::owner_read);
        ::mkfifo((m_dir.Path() / "pipe").c_str(), 0644);
        fs::create_directory(m_dir.Path() / "sub");
    }

    TempFolder m_dir;
};

TEST_F(ReportFolder, TableShowsTypesInCaptionOrderAndTheTotalsLine)
{
    const RunResult r = RunReport({m_dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    const auto lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 8u) << r.Out;
    EXPECT_EQ(lines[0].rfind("Type", 0), 0u);
    EXPECT_EQ(lines[1].substr(0, 4), "    ") << "files without extension first, with an empty caption";
    EXPECT_EQ(lines[2].rfind(".csv", 0), 0u);
    EXPECT_EQ(lines[3].rfind(".iso", 0), 0u);
    EXPECT_NE(lines[3].find("1 GB"), std::string::npos);
    EXPECT_EQ(lines[4].rfind(".log", 0), 0u);
    EXPECT_EQ(lines[5].rfind(".profile", 0), 0u);
    // One row for both spellings, spelt as the file the directory lists first.
    EXPECT_TRUE(lines[6].rfind(".TXT", 0) == 0 || lines[6].rfind(".txt", 0) == 0) << lines[6];
    EXPECT_NE(lines[6].find("1.6 KB"), std::string::npos);
    EXPECT_EQ(lines[7], "Folder attributes:       TOTALS:    Files:9   Size:1 GB ");
    // "Number" and "Size" are right-aligned: every row ends in the same column.
    for (std::size_t i = 1; i < 7; ++i) {
        EXPECT_EQ(lines[i].size(), lines[0].size()) << lines[i];
    }
}

TEST_F(ReportFolder, TableKeepsControlCharactersOffTheTerminal)
{
    const RunResult r = RunReport({"--files", ".log", m_dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_NE(r.Out.find("new?line.log"), std::string::npos);
    EXPECT_NE(r.Out.find("bad\xEF\xBF\xBD.log"), std::string::npos);
    const auto lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines.back(), "Files: 3");
}

TEST_F(ReportFolder, JsonCarriesTextsAndRawValues)
{
    const RunResult r = RunReport({"--format", "json", m_dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    const auto doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["folder"], m_dir.Slashed());
    EXPECT_EQ(doc["totalsLine"], "Folder attributes:       TOTALS:    Files:9   Size:1 GB ");
    EXPECT_EQ(doc["columns"], nlohmann::json({"Type", "Description", "Number", "Size"}));
    EXPECT_FALSE(doc.contains("pattern"));
    const auto& rows = doc["rows"];
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[2]["cells"][0], ".iso");
    EXPECT_EQ(rows[2]["size"], 1073741825);
    EXPECT_EQ(rows[2]["cells"][3], "1 GB");
    EXPECT_EQ(rows[5]["count"], 2);
    EXPECT_EQ(rows[5]["cells"][2], "2");
    EXPECT_EQ(doc["totalSize"], 1073741825 + 1536 + 100 + 10 + 5 + 4);
}

TEST_F(ReportFolder, JsonFileListsReplaceBadBytesAndGiveUtcTimes)
{
    RunResult r = RunReport({"--files", ".txt", "--format", "json", m_dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    auto doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["pattern"], "*.txt");
    ASSERT_EQ(doc["rows"].size(), 2u);
    // Lower case sorts first among captions that differ only in case.
    EXPECT_EQ(doc["rows"][0]["cells"][0], ".txt");
    const auto& a = doc["rows"][1];
    EXPECT_EQ(a["name"], "a.TXT");
    EXPECT_EQ(a["modified"], "2023-11-14T22:13:20.000000Z");
    EXPECT_EQ(a["accessed"], "2023-11-14T22:14:10.000000Z");
    EXPECT_EQ(a["cells"][3], "2023-11-14 22:13:20") << "Modified shows the last write";
    EXPECT_EQ(a["attributes"], 32);
    EXPECT_EQ(a["cells"][5], "1.5 KB");

    r = RunReport({"--files", ".log", "--format", "json", m_dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    doc = nlohmann::json::parse(r.Out);
    std::vector<std::string> names;
    for (const auto& row : doc["rows"]) {
        names.push_back(row["name"]);
    }
    EXPECT_NE(std::find(names.begin(), names.end(), "bad\xEF\xBF\xBD.log"), names.end());
    EXPECT_NE(std::find(names.begin(), names.end(), "new\nline.log"), names.end());

    r = RunReport({"--files", "", "--format", "json", m_dir.Path().string()});
    doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["pattern"], "*");
    ASSERT_EQ(doc["rows"].size(), 1u) << "the empty extension lists the files without one";
    EXPECT_EQ(doc["rows"][0]["name"], "README");
    r = RunReport({"--all-files", "--format", "json", m_dir.Path().string()});
    doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["rows"].size(), 9u) << "every file";
}

TEST_F(ReportFolder, FiltersAndSystemFiles)
{
    RunResult r = RunReport({"--all-files", "--format", "json", "--filter", "r", m_dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    auto doc = nlohmann::json::parse(r.Out);
    ASSERT_EQ(doc["rows"].size(), 1u);
    EXPECT_EQ(doc["rows"][0]["name"], "README");
    EXPECT_EQ(doc["rows"][0]["cells"][4], "RA");

    r = RunReport({"--all-files", "--format", "json", "--filter", "", m_dir.Path().string()});
    EXPECT_EQ(nlohmann::json::parse(r.Out)["rows"].size(), 0u);

    r = RunReport({"--all-files", "--format", "json", "--include-system", m_dir.Path().string()});
    doc = nlohmann::json::parse(r.Out);
    EXPECT_EQ(doc["rows"].size(), 10u);
    EXPECT_EQ(doc["rows"][0]["cells"][1], "pipe") << "captions tie; directory order keeps its place";
}

// The environment of a run with every locale variable removed but `settings`.
std::vector<std::string> OnlyLocaleVariables(std::vector<std::string> settings)
{
    std::vector<std::string> environment = {"LC_ALL",      "LC_TIME", "LC_NUMERIC",
                                            "LC_MESSAGES", "LANG",    "LANGUAGE"};
    environment.insert(environment.end(), settings.begin(), settings.end());
    return environment;
}

bool LocaleInstalled(const char* name)
{
    const locale_t locale = ::newlocale(LC_ALL_MASK, name, nullptr);
    if (locale == nullptr) {
        return false;
    }
    ::freelocale(locale);
    return true;
}

TEST_F(ReportFolder, DatesFollowLcTimeAndTheDecimalSeparatorLcNumeric)
{
    for (const char* name : {"de_DE.UTF-8", "en_US.UTF-8"}) {
        if (!LocaleInstalled(name)) {
            GTEST_SKIP() << "the locale " << name << " is not installed (locale-gen)";
        }
    }
    struct Case
    {
        std::vector<std::string> Settings;
        std::string Modified;
        std::string Size;
    };
    const std::vector<Case> cases = {
        {{"LANGUAGE=C", "LC_ALL=de_DE.UTF-8"}, "14.11.23 22:13:20", "1,5 KB"},
        {{"LC_TIME=de_DE.UTF-8", "LC_NUMERIC=C"}, "14.11.23 22:13:20", "1.5 KB"},
        {{"LC_ALL=C", "LANGUAGE=de", "LANG=de_DE.UTF-8"}, "2023-11-14 22:13:20", "1.5 KB"},
        {{"LANG=en_US.UTF-8", "LC_NUMERIC=de_DE.UTF-8", "LC_MESSAGES=C"}, "11/14/23 10:13:20 PM", "1,5 KB"},
    };
    for (const Case& c : cases) {
        const RunResult r = RunReport({"--files", ".txt", "--format", "json", m_dir.Path().string()},
                                      fs::current_path(), OnlyLocaleVariables(c.Settings));
        ASSERT_EQ(r.ExitCode, 0) << r.Err;
        const auto doc = nlohmann::json::parse(r.Out);
        const auto& a = doc["rows"][1];
        ASSERT_EQ(a["name"], "a.TXT");
        EXPECT_EQ(a["cells"][3], c.Modified) << testing::PrintToString(c.Settings);
        EXPECT_EQ(a["cells"][5], c.Size) << testing::PrintToString(c.Settings);
    }
}

TEST_F(ReportFolder, WorkingFolderIsTheDefaultAndAFileStandsForItsFolder)
{
    RunResult r = RunReport({"--format", "json"}, m_dir.Path());
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(nlohmann::json::parse(r.Out)["folder"], fs::canonical(m_dir.Path()).string() + "/");

    r = RunReport({"--format", "json", (m_dir.Path() / "b.txt").string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(nlohmann::json::parse(r.Out)["folder"], m_dir.Slashed());
}

TEST_F(ReportFolder, OutputFileIsReplacedWhole)
{
    const fs::path target = m_dir.Path() / "sub" / "report.json";
    std::ofstream(target) << "earlier";
    RunResult r = RunReport({"--format", "json", "-o", target.string(), m_dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_TRUE(r.Out.empty());
    std::ifstream in(target);
    const std::string written((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(nlohmann::json::parse(written)["rows"].size(), 6u);
    std::size_t files = 0;
    for (const auto& e : fs::directory_iterator(m_dir.Path() / "sub")) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1u) << "no temporary file is left beside the target";
}

TEST(ReportCommand, WildcardExtensionListsOnlyItsOwnFiles)
{
    TempFolder dir;
    dir.Write("a.*");
    dir.Write("b.txt");
    dir.Write("c");
    RunResult r = RunReport({"--files", ".*", "--format", "json", dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    auto doc = nlohmann::json::parse(r.Out);
    ASSERT_EQ(doc["rows"].size(), 1u) << r.Out;
    EXPECT_EQ(doc["rows"][0]["name"], "a.*");

    r = RunReport({"--format", "json", dir.Path().string()});
    doc = nlohmann::json::parse(r.Out);
    ASSERT_EQ(doc["rows"].size(), 3u);
    EXPECT_EQ(doc["rows"][1]["cells"][0], ".*");
    EXPECT_EQ(doc["rows"][1]["count"], 1) << "the listing holds what the type row counts";

    r = RunReport({"--all-files", "--format", "json", dir.Path().string()});
    EXPECT_EQ(nlohmann::json::parse(r.Out)["rows"].size(), 3u);
}

TEST(ReportCommand, FolderWhoseEntriesCannotBeExaminedCannotBeRead)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to run pellamy-report as another user: the owner's own folder "
                        "cannot be made listable but not searchable for a test of this kind";
    }
    TempFolder dir;
    fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    const fs::path open = dir.Path() / "open";
    const fs::path listedOnly = dir.Path() / "listed-only";
    for (const fs::path& folder : {open, listedOnly}) {
        fs::create_directory(folder);
        std::ofstream(folder / "a.txt") << "x";
    }
    fs::permissions(listedOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::vector<std::string> nobody = {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};

    // The same user reads a folder it may search, so what follows is the permission's doing.
    RunResult r = RunReport({"--format", "json", open.string()}, dir.Path(), {}, nobody);
    if (r.ExitCode == 126 || r.ExitCode == 127) {
        GTEST_SKIP() << "setpriv cannot run pellamy-report as user 65534 here: " << r.Err;
    }
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(nlohmann::json::parse(r.Out)["totalSize"], 1);

    for (const std::vector<std::string>& list : {std::vector<std::string>{}, {"--files", ".txt"}}) {
        std::vector<std::string> args = list;
        args.push_back(listedOnly.string());
        r = RunReport(args, dir.Path(), {}, nobody);
        EXPECT_EQ(r.ExitCode, 1) << r.Out;
        EXPECT_EQ(r.Err, "pellamy-report: " + listedOnly.string() + ": Permission denied\n");
        EXPECT_TRUE(r.Out.empty()) << r.Out;
    }
}

TEST(ReportCommand, EmptyFolderGivesEachReportsEmptyForm)
{
    TempFolder empty;
    TempFolder out;
    const std::string folder = empty.Path().string();
    RunResult r = RunReport({"--format", "csv", folder});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, "Type,Description,Number,Size\r\n");
    r = RunReport({"--all-files", "--format", "csv", folder});
    EXPECT_EQ(r.Out, "Name,Created,Modified,Attribs,Size\r\n");

    // Written to a file like any other report, replacing what was there.
    const fs::path saved = out.Path() / "out.csv";
    std::ofstream(saved) << "an earlier report\r\n";
    r = RunReport({"--format", "csv", "-o", saved.string(), folder});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(FileText(saved), "Type,Description,Number,Size\r\n");

    r = RunReport({"--all-files", "--format", "html", folder});
    EXPECT_NE(r.Out.find("<table>\r\n<tr>\r\n<th><b><center>Type</center></b></th>\r\n"), std::string::npos);
    EXPECT_EQ(r.Out.find("<td>"), std::string::npos);
    EXPECT_NE(r.Out.find("</table>\r\n</html>\r\n"), std::string::npos);
    r = RunReport({"--format", "xml", folder});
    EXPECT_NE(r.Out.find("<FileTotal>0</FileTotal>"), std::string::npos);
    EXPECT_EQ(r.Out.find("<FileType>"), std::string::npos);
    EXPECT_NE(r.Out.find("</FolderList>\r\n"), std::string::npos);
    r = RunReport({"--all-files", "--format", "xml", folder});
    EXPECT_NE(r.Out.find("<FilesList>"), std::string::npos);
    EXPECT_EQ(r.Out.find("<File>"), std::string::npos);
    r = RunReport({"--format", "json", folder});
    EXPECT_TRUE(nlohmann::json::parse(r.Out)["rows"].empty());
    r = RunReport({"--all-files", folder});
    EXPECT_EQ(Lines(r.Out),
              (std::vector<std::string>{"Type  Name  Created  Modified  Attribs  Size", "Files: 0"}));
}

} // namespace
} // namespace pellamy
