// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report run as a program on real folders.

#include "platform/FifoReader.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

struct RunResult
{
    int ExitCode = -1;
    std::string Out;
    std::string Err;
};

std::string ReadAll(int fd)
{
    std::string text;
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0) {
        text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
}

// Runs pellamy-report with `args` in `workingFolder`, under the C locale and UTC.
RunResult RunReport(const std::vector<std::string>& args, const fs::path& workingFolder = fs::current_path())
{
    int out[2];
    int err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0) {
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::close(out[0]);
        ::close(err[0]);
        if (::chdir(workingFolder.c_str()) != 0) {
            ::_exit(126);
        }
        ::setenv("LC_ALL", "C", 1);
        ::setenv("TZ", "UTC0", 1);
        std::vector<char*> argv;
        std::string exe = PELLAMY_REPORT_EXE;
        argv.push_back(exe.data());
        std::vector<std::string> copies = args;
        for (std::string& a : copies) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(exe.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    RunResult result;
    result.Out = ReadAll(out[0]);
    result.Err = ReadAll(err[0]);
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

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
    EXPECT_EQ(doc["rows"].size(), 9u) << "the empty extension lists every file";
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

std::string FileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
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

TEST(ReportCommand, OutputFollowsLinksAndKeepsSpecialFiles)
{
    TempFolder dir;
    TempFolder out;
    dir.Write("a.txt", 1);
    const fs::path target = out.Path() / "real.csv";
    std::ofstream(target) << "earlier";
    fs::create_symlink("real.csv", out.Path() / "link.csv");
    RunResult r =
        RunReport({"--format", "csv", "-o", (out.Path() / "link.csv").string(), dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_TRUE(fs::is_symlink(out.Path() / "link.csv"));
    EXPECT_EQ(FileText(target).rfind("Type,Description,Number,Size\r\n.txt,", 0), 0u);

    const fs::path fifo = out.Path() / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadFifo(fifo.string()); });
    r = RunReport({"--format", "csv", "-o", fifo.string(), dir.Path().string()});
    reader.join();
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(received, FileText(target));
    EXPECT_TRUE(fs::is_fifo(fifo));

    // Standard output named by its link: the report goes down the pipe, and the system's link
    // stays (as root it could otherwise be replaced by a file).
    if (!fs::is_symlink("/dev/stdout")) {
        GTEST_SKIP() << "/dev/stdout is not a link here; the standard output case is not checked";
    }
    r = RunReport({"--format", "csv", "-o", "/dev/stdout", dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(r.Out, FileText(target));
    EXPECT_TRUE(fs::is_symlink("/dev/stdout"));
}

TEST(ReportCommand, ErrorsExitWithTheirCodes)
{
    TempFolder dir;
    RunResult r = RunReport({"--bogus"});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_NE(r.Err.find("unknown option --bogus"), std::string::npos);
    EXPECT_NE(r.Err.find("Usage: pellamy-report"), std::string::npos);
    EXPECT_TRUE(r.Out.empty());

    r = RunReport({"--filter", "RQ", dir.Path().string()});
    EXPECT_EQ(r.ExitCode, 2);

    const std::string missing = (dir.Path() / "missing").string();
    r = RunReport({missing + "/"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find(missing), std::string::npos);
    EXPECT_NE(r.Err.find("No such file or directory"), std::string::npos);

    const fs::path unwritable = dir.Path() / "no-folder" / "out.txt";
    r = RunReport({"-o", unwritable.string(), dir.Path().string()});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find("Cannot create file \"" + unwritable.string() + "\". No such file or directory"),
              std::string::npos)
        << r.Err;

    const fs::path readOnly = dir.Path() / "kept.txt";
    std::ofstream(readOnly) << "kept";
    fs::permissions(readOnly, fs::perms::owner_read);
    r = RunReport({"-o", readOnly.string(), dir.Path().string()});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_NE(r.Err.find("Cannot create file"), std::string::npos);
    std::ifstream in(readOnly);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "kept");

    r = RunReport({"--help"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_NE(r.Out.find("--files EXT"), std::string::npos);
    r = RunReport({"--version"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Out.rfind("pellamy-report ", 0), 0u);
}

} // namespace
} // namespace pellamy
