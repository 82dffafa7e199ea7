// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report's csv, xml and html on a folder of hostile names, read back with Python's own
// CSV, XML and HTML parsers.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct Fixture
{
    std::string Name;
    std::int64_t Size;
};

// Sizes differ at the precision of the size texts, so ordering by size has no ties; the two
// largest are in MB and KB with the KB number the larger, so only ordering by unit gets them right.
const std::vector<Fixture> kFiles = {
    {"plain.txt", 1000},        {"quote\"d.txt", 2000},
    {"comma,name.txt", 500000}, {"<script>alert('x').txt", 4000},
    {"a&b.txt", 3000000},       {"line\nbreak.txt", 6000},
    {"bad\xFF\xFE.txt", 7000},  {"ctl\x01.txt", 8000},
    {" lead space.txt", 9000},  {"x.y,\"z", 10000},
    {"noext", 11000},
};

std::string ReadAll(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Unhex(const std::string& hex)
{
    std::string out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return out;
}

// What an XML document can hold of a name: U+FFFD for invalid bytes and control characters.
std::string XmlForm(const std::string& name)
{
    std::string out;
    for (const char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x80 || (b < 0x20 && c != '\n')) {
            out += "\xEF\xBF\xBD";
        } else {
            out += c;
        }
    }
    return out;
}

struct ProcessResult
{
    int Status = -1;
    std::string Out;
    std::string Err;
};

class ReportExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (std::string(PELLAMY_PYTHON).empty()) {
            GTEST_SKIP() << "python3 was not found when the build was configured";
        }
        char pattern[] = "/tmp/pellamy-export-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
        m_folder = m_root / "hostile";
        fs::create_directory(m_folder);
        for (const Fixture& file : kFiles) {
            std::ofstream(m_folder / file.Name, std::ios::binary).close();
            fs::resize_file(m_folder / file.Name, static_cast<std::uintmax_t>(file.Size));
        }
    }
    void TearDown() override
    {
        std::error_code ec;
        if (!m_root.empty()) {
            fs::remove_all(m_root, ec);
        }
    }

    // Runs `program` with `args`, its standard output and error going to files that are then read
    // back.
    ProcessResult Execute(const std::string& program, const std::vector<std::string>& args)
    {
        const fs::path out = m_root / "stdout";
        const fs::path err = m_root / "stderr";
        const pid_t child = ::fork();
        if (child == 0) {
            const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (fd < 0 || errFd < 0 || ::dup2(fd, STDOUT_FILENO) < 0 || ::dup2(errFd, STDERR_FILENO) < 0) {
                ::_exit(126);
            }
            ::setenv("LC_ALL", "C.UTF-8", 1);
            std::vector<char*> argv;
            argv.push_back(const_cast<char*>(program.c_str()));
            for (const std::string& arg : args) {
                argv.push_back(const_cast<char*>(arg.c_str()));
            }
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ProcessResult run;
        int status = 0;
        if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)) {
            run.Status = WEXITSTATUS(status);
        }
        run.Out = ReadAll(out);
        run.Err = ReadAll(err);
        return run;
    }

    ProcessResult Report(std::vector<std::string> args)
    {
        args.push_back(m_folder.string());
        return Execute(PELLAMY_REPORT_EXE, args);
    }

    // The report parsed by Python; fails the test when Python's parser refuses it.
    json Parsed(const std::string& kind, const std::string& report)
    {
        const fs::path file = m_root / ("report." + kind);
        std::ofstream(file, std::ios::binary) << report;
        const ProcessResult run = Execute(PELLAMY_PYTHON, {PELLAMY_PARSE_REPORT_SCRIPT, kind, file.string()});
        EXPECT_EQ(run.Status, 0) << kind << " was refused by Python's parser: " << run.Err << "\n" << report;
        return run.Status == 0 ? json::parse(run.Out) : json();
    }

    // The file rows as the json format gives them, largest first.
    std::vector<std::vector<std::string>> CellsBySizeDescending()
    {
        const ProcessResult run = Report({"--all-files", "--format", "json", "--sort", "size:DESC"});
        EXPECT_EQ(run.Status, 0);
        std::vector<std::vector<std::string>> cells;
        const json document = json::parse(run.Out);
        for (const json& row : document.at("rows")) {
            cells.push_back(row.at("cells").get<std::vector<std::string>>());
        }
        return cells;
    }

    static std::vector<std::string> NamesBySizeDescending()
    {
        std::vector<Fixture> files = kFiles;
        std::sort(files.begin(), files.end(),
                  [](const Fixture& a, const Fixture& b) { return a.Size > b.Size; });
        std::vector<std::string> names;
        for (const Fixture& file : files) {
            names.push_back(file.Name);
        }
        return names;
    }

    fs::path m_root;
    fs::path m_folder;
};

TEST_F(ReportExportTest, FileListCsvParsesBackIntoTheSameFieldsInSortedOrder)
{
    const ProcessResult run = Report({"--all-files", "--format", "csv", "--sort", "Size:desc"});
    ASSERT_EQ(run.Status, 0);
    const json rows = Parsed("csv", run.Out).at("rows");
    const auto names = NamesBySizeDescending();
    const auto cells = CellsBySizeDescending();
    ASSERT_EQ(rows.size(), names.size() + 1);
    ASSERT_EQ(cells.size(), names.size());
    EXPECT_EQ(Unhex(rows[0][0]) + "," + Unhex(rows[0][4]), "Name,Size");
    for (std::size_t i = 0; i < names.size(); ++i) {
        const json& row = rows[i + 1];
        ASSERT_EQ(row.size(), 5u) << "row " << i;
        EXPECT_EQ(Unhex(row[0]), m_folder.string() + "/" + names[i]);
        for (std::size_t f = 1; f < 5; ++f) {
            EXPECT_EQ(Unhex(row[f]), cells[i][f + 1]) << "row " << i << " field " << f;
        }
    }
    EXPECT_EQ(Unhex(rows[1][4]), "2.86 MB");
    EXPECT_EQ(Unhex(rows[2][4]), "488.28 KB");
    // The text is the window's: CR LF after every line.
    EXPECT_EQ(run.Out.substr(0, 36), "Name,Created,Modified,Attribs,Size\r\n");
}

TEST_F(ReportExportTest, TypeListCsvKeepsEveryRowToTheHeaderFields)
{
    const ProcessResult run = Report({"--format", "csv", "--sort", "number:desc"});
    ASSERT_EQ(run.Status, 0);
    const json rows = Parsed("csv", run.Out).at("rows");
    ASSERT_EQ(rows.size(), 4u);
    for (const json& row : rows) {
        EXPECT_EQ(row.size(), 4u);
    }
    EXPECT_EQ(Unhex(rows[1][0]), ".txt");
    EXPECT_EQ(Unhex(rows[1][2]), "9");
    // Rows of equal count keep the caption order they had: no extension first.
    EXPECT_EQ(Unhex(rows[2][0]), "");
    EXPECT_EQ(Unhex(rows[2][1]), "File");
    EXPECT_EQ(Unhex(rows[3][0]), ".y,\"z");
    EXPECT_EQ(Unhex(rows[3][1]), "Y,\"Z File");
    EXPECT_EQ(Unhex(rows[3][2]), "1");
}

TEST_F(ReportExportTest, FileListXmlIsWellFormedAndHoldsEveryName)
{
    const ProcessResult run = Report({"--all-files", "--format", "xml", "--sort", "SIZE:desc"});
    ASSERT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out.substr(0, 40), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n");
    const json elements = Parsed("xml", run.Out).at("elements");
    ASSERT_FALSE(elements.empty());
    EXPECT_EQ(elements[0].at("tag"), "FilesList");
    std::vector<std::string> folders;
    std::vector<std::string> names;
    for (const json& element : elements) {
        if (element.at("tag") == "FolderName") {
            folders.push_back(Unhex(element.at("text")));
        } else if (element.at("tag") == "Filename") {
            EXPECT_EQ(element.at("depth"), 2);
            names.push_back(Unhex(element.at("text")));
        }
    }
    EXPECT_EQ(folders, std::vector<std::string>{m_folder.string() + "/"});
    std::vector<std::string> expected;
    for (const std::string& name : NamesBySizeDescending()) {
        expected.push_back(XmlForm(name));
    }
    EXPECT_EQ(names, expected);

    // -o writes the same escaped bytes as standard output.
    const fs::path saved = m_root / "saved.xml";
    ASSERT_EQ(Report({"--all-files", "--format=xml", "--sort=size:desc", "-o", saved.string()}).Status, 0);
    EXPECT_EQ(ReadAll(saved), run.Out);
    EXPECT_NE(run.Out.find("<Filename>a&amp;b.txt</Filename>"), std::string::npos);
}

TEST_F(ReportExportTest, XmlParsersReadBackCarriageReturnsInNamesExactly)
{
    const fs::path folder = m_root / "returns";
    fs::create_directory(folder);
    const std::set<std::string> created = {"cr\rinside.txt", "crlf\r\ninside.txt", "trailing\r"};
    for (const std::string& name : created) {
        std::ofstream(folder / name).close();
    }
    const ProcessResult run =
        Execute(PELLAMY_REPORT_EXE, {"--all-files", "--format", "xml", folder.string()});
    ASSERT_EQ(run.Status, 0) << run.Err;
    const json elements = Parsed("xml", run.Out).at("elements");
    std::set<std::string> names;
    for (const json& element : elements) {
        if (element.at("tag") == "Filename") {
            names.insert(Unhex(element.at("text")));
        }
    }
    EXPECT_EQ(names, created);
}

TEST_F(ReportExportTest, TypeListXmlNamesTheFolderAsTheNavigatorShowsIt)
{
    const ProcessResult run = Report({"--format", "xml"});
    ASSERT_EQ(run.Status, 0);
    const json elements = Parsed("xml", run.Out).at("elements");
    std::vector<std::string> leaves;
    for (const json& element : elements) {
        if (element.at("depth") == 1 && element.at("tag") != "FileType") {
            leaves.push_back(element.at("tag").get<std::string>() + "=" + Unhex(element.at("text")));
        } else if (element.at("tag") == "Type") {
            leaves.push_back("Type=" + Unhex(element.at("text")));
        }
    }
    EXPECT_EQ(leaves, (std::vector<std::string>{"FolderName=" + m_folder.string(), "FileTotal=11",
                                                "FolderSize=3.39 MB", "Type=", "Type=.txt", "Type=.y,\"z"}));
}

TEST_F(ReportExportTest, HtmlShowsEveryNameAsText)
{
    const ProcessResult run = Report({"--all-files", "--format", "html", "--sort", "size:desc"});
    ASSERT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out.rfind("<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n<title>", 0), 0u)
        << "the page names its encoding on the line after <head>";
    const json page = Parsed("html", run.Out);
    const std::set<std::string> allowed = {"html", "head", "meta", "title",  "table",
                                           "tr",   "th",   "b",    "center", "td"};
    for (const json& tag : page.at("tags")) {
        EXPECT_TRUE(allowed.count(tag.get<std::string>())) << "markup from a name: <" << tag << ">";
    }
    EXPECT_EQ(Unhex(page.at("title")), "Files by type: " + m_folder.string());
    const json rows = page.at("rows");
    const auto names = NamesBySizeDescending();
    ASSERT_EQ(rows.size(), names.size() + 1);
    EXPECT_EQ(Unhex(rows[0][1]), "Name");
    for (std::size_t i = 0; i < names.size(); ++i) {
        ASSERT_EQ(rows[i + 1].size(), 6u);
        EXPECT_EQ(Unhex(rows[i + 1][1]), names[i]);
    }

    const ProcessResult types = Report({"--format", "html"});
    ASSERT_EQ(types.Status, 0);
    const json typePage = Parsed("html", types.Out);
    EXPECT_EQ(Unhex(typePage.at("title")), "Folder content: " + m_folder.string());
    ASSERT_EQ(typePage.at("rows").size(), 4u);
    EXPECT_EQ(Unhex(typePage.at("rows")[3][0]), ".y,\"z");
}

TEST_F(ReportExportTest, SortIsRefusedForAColumnTheListDoesNotHave)
{
    const ProcessResult name = Report({"--sort", "Name"});
    EXPECT_EQ(name.Status, 2);
    EXPECT_EQ(name.Err.rfind("pellamy-report: the type list has no column \"Name\": use Type, Description, "
                             "Number or Size\n",
                             0),
              0u)
        << name.Err;
    EXPECT_EQ(Report({"--all-files", "--sort", "Description"}).Status, 2);
    EXPECT_EQ(Report({"--sort", "size:up"}).Status, 2);
    EXPECT_EQ(Report({"--format", "pdf"}).Status, 2);
    EXPECT_EQ(Report({"--files", ".txt", "--sort", "attribs", "--format", "csv"}).Status, 0);
}

} // namespace
