// SPDX-License-Identifier: GPL-3.0-or-later
// Where a report file goes: the targets a save replaces, writes in place or refuses, the links it
// follows and the descriptors it may name.
#include "platform/posix/PosixReportFiles.h"

#include "FifoReader.h"
#include "PosixReportFilesFixture.h"
#include "reports/XmlWriter.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

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

} // namespace
} // namespace pellamy
