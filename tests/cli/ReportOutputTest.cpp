// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report writing to files: the links and special files it writes through, the descriptors
// -o may name, and the exit codes of a run that fails.

#include "FileContents.h"
#include "RunReport.h"
#include "platform/FifoReader.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

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

// The system's shared-MIME cache, copied into a folder that pellamy-report reads instead
// (XDG_DATA_DIRS), so that a save which wrongly wrote into a file the program opened itself would
// damage a copy the test checks, never the system's own.
class MimeCacheCopy
{
public:
    MimeCacheCopy()
    {
        fs::create_directories(m_dir.Path() / "share" / "mime");
        fs::create_directories(m_dir.Path() / "home");
        for (const char* system : {"/usr/share/mime/mime.cache", "/usr/local/share/mime/mime.cache"}) {
            std::error_code ec;
            if (fs::copy_file(system, Cache(), ec)) {
                m_bytes = FileText(Cache());
                break;
            }
        }
    }

    fs::path Cache() const { return m_dir.Path() / "share" / "mime" / "mime.cache"; }
    /// The cache's bytes as copied; empty when the system has none.
    const std::string& Bytes() const { return m_bytes; }
    std::vector<std::string> Environment() const
    {
        return {"XDG_DATA_DIRS=" + (m_dir.Path() / "share").string(), "XDG_DATA_HOME=" + (m_dir.Path() / "home").string()};
    }

private:
    TempFolder m_dir;
    std::string m_bytes;
};

// In the started program, every descriptor but 0, 1 and 2 is one it opened itself.
void CloseAllButStandardDescriptors()
{
    ::close_range(3, ~0U, 0);
}

TEST(ReportCommand, OutputNeverNamesADescriptorTheProgramOpenedItself)
{
    TempFolder dir;
    dir.Write("a.txt", 1);
    const MimeCacheCopy mime;
    auto refused = [](const std::string& name) {
        return "pellamy-report: Cannot create file \"" + name + "\". Bad file descriptor\n";
    };
    // Whatever the program holds at these numbers (the MIME cache, sockets, event descriptors) or
    // nothing: never a target.
    for (int fd = 3; fd <= 40; ++fd) {
        const std::string name = "/proc/self/fd/" + std::to_string(fd);
        const RunResult r = RunReport({"--format", "csv", "-o", name, dir.Path().string()}, dir.Path(),
                                      mime.Environment(), {}, CloseAllButStandardDescriptors);
        EXPECT_EQ(r.ExitCode, 1) << name;
        EXPECT_EQ(r.Err, refused(name));
        EXPECT_TRUE(r.Out.empty()) << name;
    }
    for (const std::string name : {"/dev/fd/3", "/proc/thread-self/fd/3", "/proc/self/fd/4"}) {
        const RunResult r = RunReport({"--format", "csv", "-o", name, dir.Path().string()}, dir.Path(),
                                      mime.Environment(), {}, CloseAllButStandardDescriptors);
        EXPECT_EQ(r.ExitCode, 1) << name;
        EXPECT_EQ(r.Err, refused(name));
    }

    // Standard output closed at start: its number goes to the first file the program opens.
    RunResult r = RunReport({"--format", "csv", "-o", "/dev/stdout", dir.Path().string()}, dir.Path(),
                            mime.Environment(), {}, [] {
                                CloseAllButStandardDescriptors();
                                ::close(STDOUT_FILENO);
                            });
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, refused("/dev/stdout"));
    // Standard input likewise.
    r = RunReport({"--format", "csv", "-o", "/dev/stdin", dir.Path().string()}, dir.Path(), mime.Environment(), {},
                  [] {
                      CloseAllButStandardDescriptors();
                      ::close(STDIN_FILENO);
                  });
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.Err, refused("/dev/stdin"));

    EXPECT_EQ(FileText(mime.Cache()), mime.Bytes()) << "the program's own MIME cache was written";
    EXPECT_EQ(Names(dir.Path()), std::set<std::string>{"a.txt"});
}

TEST(ReportCommand, OutputThroughAnInheritedDescriptorWritesTheCallersFile)
{
    TempFolder dir;
    TempFolder out;
    dir.Write("a.txt", 1);
    RunResult r = RunReport({"--format", "csv", dir.Path().string()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err;
    const std::string report = r.Out;

    // `-o /dev/stdout DIR > out.csv`: the shell's file keeps its place and gets the report.
    const fs::path redirected = out.Path() / "out.csv";
    std::ofstream(redirected) << std::string(500, 'e');
    struct stat before = {};
    ASSERT_EQ(::stat(redirected.c_str(), &before), 0);
    r = RunReport({"--format", "csv", "-o", "/dev/stdout", dir.Path().string()}, dir.Path(), {}, {}, [&] {
        CloseAllButStandardDescriptors();
        const int file = ::open(redirected.c_str(), O_WRONLY);
        ::dup2(file, STDOUT_FILENO);
        ::close(file);
    });
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(FileText(redirected), report);
    struct stat after = {};
    ::stat(redirected.c_str(), &after);
    EXPECT_EQ(after.st_ino, before.st_ino);

    // A descriptor the caller passed as 3 (`3> fd3.csv`), by each of its names.
    const fs::path passed = out.Path() / "fd3.csv";
    for (const std::string name : {"/proc/self/fd/3", "/dev/fd/3", "/proc/thread-self/fd/3"}) {
        std::ofstream(passed) << "earlier";
        r = RunReport({"--format", "csv", "-o", name, dir.Path().string()}, dir.Path(), {}, {}, [&] {
            CloseAllButStandardDescriptors();
            const int file = ::open(passed.c_str(), O_WRONLY);
            if (file != 3) {
                ::dup2(file, 3);
                ::close(file);
            }
        });
        EXPECT_EQ(r.ExitCode, 0) << name << ": " << r.Err;
        EXPECT_EQ(FileText(passed), report) << name;
    }
    EXPECT_EQ(Names(out.Path()), (std::set<std::string>{"fd3.csv", "out.csv"}));
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
