// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixReportFiles.h"

#include "FifoReader.h"
#include "MountGuard.h"
#include "SeccompFilters.h"
#include "TempFolder.h"
#include "reports/XmlWriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <set>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

std::string Contents(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

std::set<std::string> Names(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

struct stat Lstat(const fs::path& path)
{
    struct stat st = {};
    ::lstat(path.c_str(), &st);
    return st;
}

std::unique_ptr<ReportFileWriter> OpenWriter(const ReportFiles& files, const fs::path& path)
{
    auto opened = files.Open(path.string());
    if (auto* failure = std::get_if<std::string>(&opened)) {
        ADD_FAILURE() << *failure;
        return nullptr;
    }
    return std::move(std::get<std::unique_ptr<ReportFileWriter>>(opened));
}

// The files this process holds open in `folder` that have no name there (made with O_TMPFILE),
// as their links in /proc/self/fd, through which they can be examined.
std::vector<fs::path> UnnamedFilesIn(const fs::path& folder)
{
    std::vector<fs::path> found;
    const std::string prefix = folder.string() + "/#";
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const std::string text = fs::read_symlink(entry.path(), ec).string();
        if (!ec && text.rfind(prefix, 0) == 0 && text.find(" (deleted)") != std::string::npos) {
            found.push_back(entry.path());
        }
    }
    return found;
}

// The names in `folder` of temporary files a save made.
std::set<std::string> TemporaryNamesIn(const fs::path& folder)
{
    std::set<std::string> names;
    for (const std::string& name : Names(folder)) {
        if (name.rfind(".pellamy-", 0) == 0) {
            names.insert(name);
        }
    }
    return names;
}

// Runs `body` in a forked child and gives how the child ended: 0 when every expectation in it held,
// 1 when one failed (failures print as usual), minus the signal's number when a signal ended it.
// For what a test cannot undo in its own process: standard output taken away, a kernel filter
// installed, a signal's action changed.
int InChild(const std::function<void()>& body)
{
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const ::testing::TestResult& result = *::testing::UnitTest::GetInstance()->current_test_info()->result();
        const int before = result.total_part_count();
        body();
        bool failed = false;
        for (int i = before; i < result.total_part_count(); ++i) {
            failed = failed || result.GetTestPartResult(i).failed();
        }
        std::fflush(nullptr);
        ::_exit(failed ? 1 : 0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

// Runs `save` in a child process as the unprivileged user "nobody" (root writes every file
// whatever its mode, so permission cases need someone else). Gives the child's exit code.
int RunAsNobody(const std::function<int()>& save)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            ::_exit(100);
        }
        ::_exit(save());
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class PosixReportFilesTest : public ::testing::Test
{
protected:
    TempFolder m_dir;
    PosixReportFiles m_files;

    fs::path At(const std::string& name) const { return m_dir.Path() / name; }
    std::optional<std::string> Save(const fs::path& path, std::string_view bytes) const
    {
        return WriteFileReplacing(m_files, path.string(), bytes);
    }
};

TEST_F(PosixReportFilesTest, ReplacesARegularFileWholeKeepingItsModeAndLeavingNoTemporaryFile)
{
    const fs::path target = At("report.csv");
    Put(target, "an earlier, longer report\r\n");
    ::chmod(target.c_str(), 0640);
    EXPECT_EQ(Save(target, "new\r\n"), std::nullopt);
    EXPECT_EQ(Contents(target), "new\r\n");
    EXPECT_EQ(Lstat(target).st_mode & 07777, 0640u);
    EXPECT_EQ(Names(m_dir.Path()), std::set<std::string>{"report.csv"});

    // A new file gets the mode the umask allows, not the private mode it was written with.
    const mode_t mask = ::umask(027);
    EXPECT_EQ(Save(At("new.csv"), "x"), std::nullopt);
    ::umask(mask);
    EXPECT_EQ(Lstat(At("new.csv")).st_mode & 07777, 0640u);

    // An empty XML document saves as an empty file.
    XmlWriter writer;
    EXPECT_EQ(writer.SaveToFile(m_files, target.string()), std::nullopt);
    EXPECT_EQ(fs::file_size(target), 0u);
}

TEST_F(PosixReportFilesTest, TargetsThatCannotBeWrittenFailWithTheFullPathAndReason)
{
    // No write permission at all is read-only, even to root.
    const fs::path locked = At("locked.xml");
    Put(locked, "earlier");
    ::chmod(locked.c_str(), 0444);
    EXPECT_EQ(Save(locked, "new"), "Cannot create file \"" + locked.string() + "\". Permission denied");
    EXPECT_EQ(Contents(locked), "earlier");

    const fs::path missing = At("missing/report.html");
    EXPECT_EQ(Save(missing, "x"),
              "Cannot create file \"" + missing.string() + "\". No such file or directory");
    EXPECT_FALSE(fs::exists(missing.parent_path()));

    // A relative name is reported with the full path it stands for.
    const fs::path before = fs::current_path();
    fs::current_path(m_dir.Path());
    const auto relative = WriteFileReplacing(m_files, "missing/r.csv", "x");
    fs::current_path(before);
    EXPECT_EQ(relative,
              "Cannot create file \"" + At("missing/r.csv").string() + "\". No such file or directory");

    fs::create_directory(At("sub"));
    EXPECT_EQ(Save(At("sub"), "x"), "Cannot create file \"" + At("sub").string() + "\". Is a directory");
    EXPECT_TRUE(fs::is_directory(At("sub")));

    fs::create_symlink("loop", At("loop"));
    EXPECT_EQ(Save(At("loop"), "x"),
              "Cannot create file \"" + At("loop").string() + "\". Too many levels of symbolic links");

    // A socket cannot be opened for writing; it stays where it is.
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    const std::string socketPath = At("sock").string();
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    std::strcpy(address.sun_path, socketPath.c_str());
    ASSERT_EQ(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(Save(At("sock"), "x"), "Cannot create file \"" + socketPath + "\". No such device or address");
    EXPECT_TRUE(S_ISSOCK(Lstat(At("sock")).st_mode));
    ::close(sock);
    EXPECT_EQ(Names(m_dir.Path()), (std::set<std::string>{"locked.xml", "loop", "sock", "sub"}));
}

TEST_F(PosixReportFilesTest, SymbolicLinksAreFollowedToTheFileTheyName)
{
    const fs::path target = At("real.csv");
    Put(target, "earlier");
    fs::create_directory(At("links"));
    fs::create_symlink("../real.csv", At("links/first"));
    fs::create_symlink("first", At("links/second"));
    EXPECT_EQ(Save(At("links/second"), "through two links"), std::nullopt);
    EXPECT_EQ(Contents(target), "through two links");
    EXPECT_TRUE(fs::is_symlink(At("links/first")));
    EXPECT_TRUE(fs::is_symlink(At("links/second")));
    EXPECT_EQ(Names(At("links")), (std::set<std::string>{"first", "second"}));

    // A dangling link creates the file it names and stays a link.
    fs::create_symlink("made.csv", At("dangling"));
    EXPECT_EQ(Save(At("dangling"), "made"), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(At("dangling")));
    EXPECT_EQ(Contents(At("made.csv")), "made");
}

TEST_F(PosixReportFilesTest, HardLinkedFileIsWrittenInPlaceForEveryName)
{
    const fs::path target = At("report.csv");
    Put(target, "a much longer earlier report\r\n");
    fs::create_hard_link(target, At("other-name.csv"));
    const ino_t inode = Lstat(target).st_ino;
    EXPECT_EQ(Save(target, "short\r\n"), std::nullopt);
    EXPECT_EQ(Contents(target), "short\r\n");
    EXPECT_EQ(Contents(At("other-name.csv")), "short\r\n");
    EXPECT_EQ(Lstat(target).st_ino, inode);
    EXPECT_EQ(Lstat(target).st_nlink, 2u);
    EXPECT_EQ(Names(m_dir.Path()), (std::set<std::string>{"other-name.csv", "report.csv"}));
}

TEST_F(PosixReportFilesTest, FifoAndDeviceReceiveTheBytesAndStayWhatTheyAre)
{
    const fs::path fifo = At("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::string received;
    std::thread reader([&] { received = ReadFifo(fifo.string()); });
    const auto failure = Save(fifo, "to the reader\r\n");
    reader.join();
    EXPECT_EQ(failure, std::nullopt);
    EXPECT_EQ(received, "to the reader\r\n");
    EXPECT_TRUE(S_ISFIFO(Lstat(fifo).st_mode));

    // A reader that leaves early fails the save; the program goes on.
    std::thread leaver([&] { ::close(::open(fifo.c_str(), O_RDONLY)); });
    EXPECT_EQ(Save(fifo, std::string(1 << 20, 'x')), "Stream write error");
    leaver.join();

    if (::geteuid() != 0) {
        GTEST_SKIP() << "making a character device needs root; the device case is not checked";
    }
    // The null device, made here rather than using the system's own.
    const fs::path null = At("null");
    ASSERT_EQ(::mknod(null.c_str(), S_IFCHR | 0666, ::makedev(1, 3)), 0) << std::strerror(errno);
    EXPECT_EQ(Save(null, "discarded"), std::nullopt);
    EXPECT_TRUE(S_ISCHR(Lstat(null).st_mode));
    EXPECT_EQ(Lstat(null).st_rdev, ::makedev(1, 3));
    EXPECT_EQ(Names(m_dir.Path()), (std::set<std::string>{"null", "pipe"}));
}

TEST_F(PosixReportFilesTest, DescriptorTheProgramOpenedItselfIsNeverATarget)
{
    const fs::path target = At("held.txt");
    Put(target, "earlier");
    const int fd = ::open(target.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    const std::string number = std::to_string(fd);
    fs::create_symlink("/proc/self/fd/" + number, At("link"));
    std::vector<std::string> names = {"/proc/self/fd/" + number, "/proc/" + std::to_string(::getpid()) + "/fd/" + number,
                                      "/proc/thread-self/fd/" + number, At("link").string()};
    if (fs::is_symlink("/dev/fd")) {
        names.push_back("/dev/fd/" + number);
    }
    for (const std::string& name : names) {
        EXPECT_EQ(Save(name, "written"), "Cannot create file \"" + name + "\". Bad file descriptor");
    }
    // Nor one that is not open at all.
    ::close(fd);
    EXPECT_EQ(Save("/proc/self/fd/" + number, "written"),
              "Cannot create file \"/proc/self/fd/" + number + "\". Bad file descriptor");
    EXPECT_EQ(Contents(target), "earlier");
    EXPECT_EQ(Names(m_dir.Path()), (std::set<std::string>{"held.txt", "link"}));

    // The process's other entries in /proc (its executable, its memory) are refused as well.
    EXPECT_EQ(Save("/proc/self/exe", "x"), "Cannot create file \"/proc/self/exe\". Permission denied");
    EXPECT_EQ(Save("/proc/self/mem", "x"), "Cannot create file \"/proc/self/mem\". Permission denied");
}

TEST_F(PosixReportFilesTest, StandardOutputNumberReusedByTheProgramIsRefused)
{
    const fs::path target = At("mine.txt");
    Put(target, "earlier");
    // In a child, whose standard output the test may take away.
    const int ended = InChild([&] {
        const int file = ::open(target.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_GE(file, 0);
        // Standard output replaced by a file the program opened: another open file at that number.
        ASSERT_EQ(::dup2(file, STDOUT_FILENO), STDOUT_FILENO);
        EXPECT_EQ(Save("/dev/stdout", "written"), "Cannot create file \"/dev/stdout\". Bad file descriptor");
        EXPECT_EQ(Save("/proc/self/fd/1", "written"), "Cannot create file \"/proc/self/fd/1\". Bad file descriptor");
        // Standard output closed, and its number taken by the next file the program opens.
        if (::fcntl(STDIN_FILENO, F_GETFD) == -1) {
            ::open("/dev/null", O_RDONLY);
        }
        ::close(STDOUT_FILENO);
        ASSERT_EQ(::open(target.c_str(), O_RDONLY), STDOUT_FILENO);
        EXPECT_EQ(Save("/dev/stdout", "written"), "Cannot create file \"/dev/stdout\". Bad file descriptor");
    });
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(Contents(target), "earlier");
    EXPECT_EQ(Names(m_dir.Path()), std::set<std::string>{"mine.txt"});
}

TEST_F(PosixReportFilesTest, FileReachedThroughAnotherProcesssDescriptorIsWrittenWhereItIs)
{
    const fs::path target = At("held.txt");
    Put(target, "earlier and longer");
    const ino_t inode = Lstat(target).st_ino;
    const int fd = ::open(target.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    int release[2];
    ASSERT_EQ(::pipe(release), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        // Holds the file open (inherited) until the test closes its end of the pipe.
        ::close(release[1]);
        char byte = 0;
        (void)!::read(release[0], &byte, 1);
        ::_exit(0);
    }
    ::close(fd);
    ::close(release[0]);
    const auto failure = Save("/proc/" + std::to_string(holder) + "/fd/" + std::to_string(fd), "held");
    ::close(release[1]);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(failure, std::nullopt);
    EXPECT_EQ(Contents(target), "held");
    EXPECT_EQ(Lstat(target).st_ino, inode);
    EXPECT_EQ(Names(m_dir.Path()), std::set<std::string>{"held.txt"});
}

TEST_F(PosixReportFilesTest, LongestNamesAreWrittenToo)
{
    const fs::path target = At(std::string(250, 'n') + ".csv");
    EXPECT_EQ(Save(target, "first"), std::nullopt);
    EXPECT_EQ(Save(target, "second"), std::nullopt);
    EXPECT_EQ(Contents(target), "second");
    EXPECT_EQ(Names(m_dir.Path()).size(), 1u);
}

TEST_F(PosixReportFilesTest, StreamedReportBecomesTheFileOnlyOnCommit)
{
    const fs::path target = At("streamed.csv");
    Put(target, "earlier");
    ::chmod(target.c_str(), 0644);
    const mode_t mask = ::umask(0);
    {
        auto writer = OpenWriter(m_files, target);
        ASSERT_NE(writer, nullptr);
        EXPECT_EQ(writer->Write("row 1\r\n"), std::nullopt);
        EXPECT_EQ(writer->Write("row 2\r\n"), std::nullopt);
        // While written, the report sits in a private file in the target's folder that has no
        // name, so nothing is left behind whatever becomes of the process.
        EXPECT_EQ(Names(m_dir.Path()), std::set<std::string>{"streamed.csv"});
        const auto unnamed = UnnamedFilesIn(m_dir.Path());
        ASSERT_EQ(unnamed.size(), 1u);
        struct stat status = {};
        ASSERT_EQ(::stat(unnamed.front().c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, 0600u);
        EXPECT_EQ(Contents(target), "earlier");
        EXPECT_EQ(writer->Commit(), std::nullopt);
    }
    ::umask(mask);
    EXPECT_EQ(Contents(target), "row 1\r\nrow 2\r\n");
    EXPECT_EQ(Lstat(target).st_mode & 07777, 0644u);
    EXPECT_EQ(Names(m_dir.Path()), std::set<std::string>{"streamed.csv"});

    // A writer given up before its commit leaves the file as it was and nothing beside it.
    {
        auto writer = OpenWriter(m_files, target);
        ASSERT_NE(writer, nullptr);
        EXPECT_EQ(writer->Write("abandoned"), std::nullopt);
    }
    EXPECT_EQ(Contents(target), "row 1\r\nrow 2\r\n");
    EXPECT_EQ(Names(m_dir.Path()), std::set<std::string>{"streamed.csv"});

    // A new file appears only when it is complete, with the mode the umask allows.
    const mode_t narrower = ::umask(022);
    {
        auto writer = OpenWriter(m_files, At("new.csv"));
        ASSERT_NE(writer, nullptr);
        EXPECT_EQ(writer->Write("new"), std::nullopt);
        EXPECT_EQ(Names(m_dir.Path()), std::set<std::string>{"streamed.csv"});
        EXPECT_EQ(writer->Commit(), std::nullopt);
    }
    ::umask(narrower);
    EXPECT_EQ(Contents(At("new.csv")), "new");
    EXPECT_EQ(Lstat(At("new.csv")).st_mode & 07777, 0644u);
    EXPECT_EQ(Names(m_dir.Path()), (std::set<std::string>{"new.csv", "streamed.csv"}));
    EXPECT_TRUE(UnnamedFilesIn(m_dir.Path()).empty());
}

TEST_F(PosixReportFilesTest, StreamedReportIsCopiedInPlaceOnceComplete)
{
    const fs::path target = At("linked.csv");
    Put(target, "earlier");
    fs::create_hard_link(target, At("twin.csv"));
    {
        auto writer = OpenWriter(m_files, target);
        ASSERT_NE(writer, nullptr);
        for (int row = 0; row < 1000; ++row) {
            ASSERT_EQ(writer->Write("row " + std::to_string(row) + "\r\n"), std::nullopt);
        }
        EXPECT_EQ(Contents(At("twin.csv")), "earlier");
        EXPECT_EQ(writer->Commit(), std::nullopt);
    }
    const std::string written = Contents(At("twin.csv"));
    EXPECT_EQ(written.rfind("row 0\r\nrow 1\r\n", 0), 0u);
    EXPECT_EQ(written.size(), fs::file_size(target));
    EXPECT_NE(written.find("row 999\r\n"), std::string::npos);

    {
        auto writer = OpenWriter(m_files, target);
        ASSERT_NE(writer, nullptr);
        EXPECT_EQ(writer->Write("abandoned"), std::nullopt);
    }
    EXPECT_EQ(Contents(target), written);
    EXPECT_EQ(Names(m_dir.Path()), (std::set<std::string>{"linked.csv", "twin.csv"}));
}

TEST_F(PosixReportFilesTest, FullFileSystemFailsAndKeepsTheEarlierFile)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "mounting a small tmpfs needs root; the full-disk cases are not checked";
    }
    const fs::path mountPoint = At("small");
    fs::create_directory(mountPoint);
    if (::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno)
                     << "); the full-disk cases are not checked";
    }
    const MountGuard unmount(mountPoint);

    // Renamed into place: the temporary file runs out of room.
    const fs::path target = mountPoint / "report.csv";
    Put(target, "earlier report\r\n");
    EXPECT_EQ(Save(target, std::string(1 << 20, 'x')), "Stream write error");
    EXPECT_EQ(Contents(target), "earlier report\r\n");
    EXPECT_EQ(Names(mountPoint), std::set<std::string>{"report.csv"});

    // Written in place: the report fits beside the file, but the room for it in the file cannot
    // be reserved, so not a byte of it changes.
    fs::create_hard_link(target, mountPoint / "twin.csv");
    EXPECT_EQ(Save(target, std::string(40 << 10, 'y')), "Stream write error");
    EXPECT_EQ(Contents(target), "earlier report\r\n");
    EXPECT_EQ(Save(target, std::string(1 << 20, 'y')), "Stream write error");
    EXPECT_EQ(Contents(target), "earlier report\r\n");
    EXPECT_EQ(Names(mountPoint), (std::set<std::string>{"report.csv", "twin.csv"}));

    // With room, the same folder takes a report again.
    EXPECT_EQ(Save(target, "fits\r\n"), std::nullopt);
    EXPECT_EQ(Contents(mountPoint / "twin.csv"), "fits\r\n");
}

TEST_F(PosixReportFilesTest, OwnerAndGroupAreKeptWhereTheProcessMaySetThem)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "giving a file to another user needs root; the owner case is not checked";
    }
    const fs::path target = At("theirs.csv");
    Put(target, "earlier");
    ASSERT_EQ(::chown(target.c_str(), kNobody, kNobody), 0);
    ::chmod(target.c_str(), 0664);
    EXPECT_EQ(Save(target, "new"), std::nullopt);
    const struct stat st = Lstat(target);
    EXPECT_EQ(st.st_uid, kNobody);
    EXPECT_EQ(st.st_gid, kNobody);
    EXPECT_EQ(st.st_mode & 07777, 0664u);
    EXPECT_EQ(Contents(target), "new");
}

TEST_F(PosixReportFilesTest, PermissionsOfAnotherUserDecideWhatMayBeWritten)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "switching to another user needs root; the permission cases are not checked";
    }
    // A folder that takes no new files from "nobody", holding files it may or may not write.
    const fs::path folder = At("closed");
    fs::create_directory(folder);
    const fs::path writable = folder / "writable.csv";
    const fs::path writeOnly = folder / "write-only.csv";
    const fs::path notTheirs = folder / "not-theirs.csv";
    Put(writable, "earlier");
    Put(writeOnly, "earlier");
    Put(notTheirs, "earlier");
    ::chmod(writable.c_str(), 0666);
    ASSERT_EQ(::chown(writeOnly.c_str(), kNobody, kNobody), 0);
    ::chmod(writeOnly.c_str(), 0200);
    ::chmod(notTheirs.c_str(), 0644);
    ::chmod(m_dir.Path().c_str(), 0755);
    ::chmod(folder.c_str(), 0755);
    const ino_t inode = Lstat(writable).st_ino;

    const PosixReportFiles& files = m_files;
    auto saveAsNobody = [&files](const fs::path& path, const std::string& bytes) {
        return RunAsNobody([&] {
            const auto failure = WriteFileReplacing(files, path.string(), bytes);
            if (failure) {
                std::fprintf(stderr, "%s\n", failure->c_str());
            }
            return failure ? 1 : 0;
        });
    };
    EXPECT_EQ(saveAsNobody(writable, "in place"), 0);
    EXPECT_EQ(Contents(writable), "in place");
    EXPECT_EQ(Lstat(writable).st_ino, inode);
    EXPECT_EQ(Lstat(writable).st_uid, 0u);

    EXPECT_EQ(saveAsNobody(writeOnly, "accepted"), 0);
    EXPECT_EQ(Contents(writeOnly), "accepted");

    EXPECT_EQ(saveAsNobody(notTheirs, "refused"), 1);
    EXPECT_EQ(saveAsNobody(folder / "new.csv", "refused"), 1);
    EXPECT_EQ(Contents(notTheirs), "earlier");
    EXPECT_EQ(Names(folder), (std::set<std::string>{"not-theirs.csv", "writable.csv", "write-only.csv"}));
}

TEST_F(PosixReportFilesTest, UnprivilegedUserGivesTheUnnamedFileItsName)
{
    if (::geteuid() != 0) {
        GTEST_SKIP() << "switching to another user needs root; the unprivileged case is not checked";
    }
    // A process without the privilege to link a descriptor names the finished file through its
    // link in /proc.
    const fs::path folder = At("theirs");
    fs::create_directory(folder);
    ::chmod(m_dir.Path().c_str(), 0755);
    ASSERT_EQ(::chown(folder.c_str(), kNobody, kNobody), 0);
    const fs::path existing = folder / "existing.csv";
    Put(existing, "earlier");
    ASSERT_EQ(::chown(existing.c_str(), kNobody, kNobody), 0);
    const PosixReportFiles& files = m_files;
    const int ended = RunAsNobody([&] {
        const auto made = WriteFileReplacing(files, (folder / "new.csv").string(), "new");
        const auto replaced = WriteFileReplacing(files, existing.string(), "replaced");
        return made || replaced ? 1 : 0;
    });
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(Contents(folder / "new.csv"), "new");
    EXPECT_EQ(Lstat(folder / "new.csv").st_uid, kNobody);
    EXPECT_EQ(Contents(existing), "replaced");
    EXPECT_EQ(Names(folder), (std::set<std::string>{"existing.csv", "new.csv"}));
}

TEST_F(PosixReportFilesTest, WithoutALinkForTheUnnamedFileItIsCopiedUnderAName)
{
    if (!SeccompFiltersAvailable()) {
        GTEST_SKIP() << "no seccomp filters here; the case without links is not checked";
    }
    const fs::path target = At("report.csv");
    Put(target, "earlier");
    ::chmod(target.c_str(), 0640);
    const int ended = InChild([&] {
        // Neither way of linking works (an unprivileged process without /proc).
        ASSERT_TRUE(RefuseSystemCall(SYS_linkat, ENOENT));
        EXPECT_EQ(Save(target, "copied"), std::nullopt);
        EXPECT_EQ(Save(At("new.csv"), "new"), std::nullopt);
    });
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(Contents(target), "copied");
    EXPECT_EQ(Lstat(target).st_mode & 07777, 0640u);
    EXPECT_EQ(Contents(At("new.csv")), "new");
    EXPECT_EQ(Names(m_dir.Path()), (std::set<std::string>{"new.csv", "report.csv"}));

    // Only linking a descriptor refused, as for an unprivileged process on older kernels: the
    // link in /proc names it.
    const int linkedThroughProc = InChild([&] {
        ASSERT_TRUE(RefuseSystemCall(SYS_linkat, ENOENT, 4, AT_EMPTY_PATH));
        EXPECT_EQ(Save(target, "through proc"), std::nullopt);
        EXPECT_EQ(Save(At("other.csv"), "other"), std::nullopt);
    });
    EXPECT_EQ(linkedThroughProc, 0);
    EXPECT_EQ(Contents(target), "through proc");
    EXPECT_EQ(Contents(At("other.csv")), "other");
    EXPECT_EQ(Names(m_dir.Path()), (std::set<std::string>{"new.csv", "other.csv", "report.csv"}));
}

TEST_F(PosixReportFilesTest, WhereTheFileSystemMakesNoUnnamedFilesANamedOneIsUsedAndRemoved)
{
    if (!SeccompFiltersAvailable()) {
        GTEST_SKIP() << "no seccomp filters here; a file system without O_TMPFILE is not imitated";
    }
    const fs::path target = At("report.csv");
    Put(target, "earlier");
    ::chmod(target.c_str(), 0644);
    fs::create_directory(At("linked"));
    Put(At("linked/a.csv"), "earlier");
    fs::create_hard_link(At("linked/a.csv"), At("linked/b.csv"));
    const int ended = InChild([&] {
        ASSERT_TRUE(RefuseUnnamedFiles());
        {
            auto writer = OpenWriter(m_files, target);
            ASSERT_NE(writer, nullptr);
            EXPECT_EQ(writer->Write("named"), std::nullopt);
            const auto temporary = TemporaryNamesIn(m_dir.Path());
            ASSERT_EQ(temporary.size(), 1u);
            EXPECT_LT(temporary.begin()->size(), 20u);
            EXPECT_EQ(Lstat(At(*temporary.begin())).st_mode & 07777, 0600u);
            EXPECT_EQ(writer->Commit(), std::nullopt);
        }
        {
            auto writer = OpenWriter(m_files, target);
            ASSERT_NE(writer, nullptr);
            EXPECT_EQ(writer->Write("abandoned"), std::nullopt);
        }
        EXPECT_EQ(Save(At("new.csv"), "new"), std::nullopt);
        // In place: the report is collected in a file unlinked at once.
        auto writer = OpenWriter(m_files, At("linked/a.csv"));
        ASSERT_NE(writer, nullptr);
        EXPECT_EQ(writer->Write("in place"), std::nullopt);
        EXPECT_EQ(Names(At("linked")), (std::set<std::string>{"a.csv", "b.csv"}));
        EXPECT_EQ(writer->Commit(), std::nullopt);
    });
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(Contents(target), "named");
    EXPECT_EQ(Lstat(target).st_mode & 07777, 0644u);
    EXPECT_EQ(Contents(At("new.csv")), "new");
    EXPECT_EQ(Contents(At("linked/b.csv")), "in place");
    EXPECT_EQ(Names(m_dir.Path()), (std::set<std::string>{"linked", "new.csv", "report.csv"}));
}

TEST_F(PosixReportFilesTest, NamedTemporaryFileGoesWithTheSignalThatEndsTheProcess)
{
    if (!SeccompFiltersAvailable()) {
        GTEST_SKIP() << "no seccomp filters here; a file system without O_TMPFILE is not imitated";
    }
    const fs::path target = At("report.csv");
    Put(target, "earlier");
    for (const int signal : {SIGTERM, SIGINT}) {
        const int ended = InChild([&] {
            ASSERT_TRUE(RefuseUnnamedFiles());
            auto writer = OpenWriter(m_files, target);
            ASSERT_NE(writer, nullptr);
            EXPECT_EQ(writer->Write(std::string(1 << 20, 'x')), std::nullopt);
            ASSERT_EQ(TemporaryNamesIn(m_dir.Path()).size(), 1u);
            ::kill(::getpid(), signal);
            ADD_FAILURE() << "the signal did not end the process";
        });
        // Ended by the signal itself, as the default action would have ended it.
        EXPECT_EQ(ended, -signal) << ::strsignal(signal);
        EXPECT_EQ(Names(m_dir.Path()), std::set<std::string>{"report.csv"}) << ::strsignal(signal);
        EXPECT_EQ(Contents(target), "earlier");
    }

    // A signal the process ignores stays ignored: the save goes on and completes.
    const int ended = InChild([&] {
        ::signal(SIGTERM, SIG_IGN);
        ASSERT_TRUE(RefuseUnnamedFiles());
        auto writer = OpenWriter(m_files, target);
        ASSERT_NE(writer, nullptr);
        EXPECT_EQ(writer->Write("despite the signal"), std::nullopt);
        struct sigaction action = {};
        ::sigaction(SIGTERM, nullptr, &action);
        EXPECT_EQ(action.sa_handler, SIG_IGN);
        ::kill(::getpid(), SIGTERM);
        EXPECT_EQ(writer->Commit(), std::nullopt);
    });
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(Contents(target), "despite the signal");
    EXPECT_EQ(Names(m_dir.Path()), std::set<std::string>{"report.csv"});
}

} // namespace
} // namespace pellamy
