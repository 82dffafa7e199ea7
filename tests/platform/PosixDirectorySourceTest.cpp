// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixDirectorySource.h"

#include "ReaddirOrder.h"
#include "TempFolder.h"
#include "lists/DisplayTexts.h"
#include "scan/ScanFolder.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

struct Seen
{
    std::uint32_t Attributes;
    std::int64_t Size;
    FileTime Created;
    FileTime Accessed;
    FileTime Written;
};

// Every entry of a folder as the source reports it, by name, and the names in delivery order.
class CollectingSink final : public DirectorySink
{
public:
    bool WantsName(std::string_view) override { return true; }
    void Accept(const DirectoryEntryView& e) override
    {
        Order.emplace_back(e.Name);
        ByName[std::string(e.Name)] =
            Seen{e.Attributes, e.Size, e.CreationTime, e.LastAccessTime, e.LastWriteTime};
    }
    std::vector<std::string> Order;
    std::map<std::string, Seen> ByName;
};

// Binds a Unix socket at `path`; the descriptor stays open while the test runs.
int MakeSocket(const fs::path& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string p = path.string();
    if (fd < 0 || p.size() >= sizeof address.sun_path) {
        return -1;
    }
    std::copy(p.begin(), p.end(), address.sun_path);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

TEST(PosixDirectorySource, MapsEachKindOfEntryToItsAttributes)
{
    TempFolder dir;
    dir.Write("plain.txt", 1234);
    dir.Write(".hidden", 3);
    const auto locked = dir.Write("locked.doc", 7);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::group_read);
    ASSERT_EQ(::mkfifo((dir.Path() / "pipe").c_str(), 0644), 0);
    const int sock = MakeSocket(dir.Path() / "sock");
    ASSERT_GE(sock, 0);
    fs::create_directory(dir.Path() / "sub");
    fs::create_directory(dir.Path() / ".config");
    fs::create_symlink("plain.txt", dir.Path() / "to-file");
    fs::create_symlink("sub", dir.Path() / "to-folder");
    fs::create_symlink("nowhere", dir.Path() / "dangling");

    PosixDirectorySource source(1);
    CollectingSink sink;
    ASSERT_FALSE(source.Enumerate(dir.Slashed(), sink));
    ::close(sock);
    const auto& seen = sink.ByName;
    EXPECT_EQ(seen.size(), 10u) << "\".\" and \"..\" are never reported";

    EXPECT_EQ(seen.at("plain.txt").Attributes, Attr::kArchive);
    EXPECT_EQ(seen.at("plain.txt").Size, 1234);
    EXPECT_EQ(seen.at(".hidden").Attributes, Attr::kHidden | Attr::kArchive);
    EXPECT_EQ(seen.at("locked.doc").Attributes, Attr::kReadOnly | Attr::kArchive);
    EXPECT_EQ(seen.at("pipe").Attributes, Attr::kSystem | Attr::kArchive);
    EXPECT_EQ(seen.at("sock").Attributes, Attr::kSystem | Attr::kArchive);
    EXPECT_EQ(seen.at("sub").Attributes & Attr::kDirectory, Attr::kDirectory);
    EXPECT_EQ(seen.at(".config").Attributes, Attr::kDirectory | Attr::kHidden);
    // A link is described by itself: size 0, never the target's size.
    EXPECT_EQ(seen.at("to-file").Attributes, Attr::kArchive);
    EXPECT_EQ(seen.at("to-file").Size, 0);
    EXPECT_EQ(seen.at("to-folder").Attributes & Attr::kDirectory, Attr::kDirectory);
    EXPECT_EQ(seen.at("dangling").Attributes, Attr::kArchive);
}

TEST(PosixDirectorySource, ReadsDevicesWithoutOpeningThem)
{
    TempFolder dir;
    if (::mknod((dir.Path() / "null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "making a device node needs privileges this run does not have";
    }
    PosixDirectorySource source(1);
    CollectingSink sink;
    ASSERT_FALSE(source.Enumerate(dir.Slashed(), sink));
    EXPECT_EQ(sink.ByName.at("null").Attributes, Attr::kSystem | Attr::kArchive);
}

TEST(PosixDirectorySource, ReportsTimesAsTheFileSystemHoldsThem)
{
    TempFolder dir;
    const auto file = dir.Write("dated.txt", 1);
    // Access after the last write, as a reader would leave it.
    const timespec times[2] = {{1700000900, 500'000'000}, {1700000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
    PosixDirectorySource source(1);
    CollectingSink sink;
    ASSERT_FALSE(source.Enumerate(dir.Slashed(), sink));
    const Seen& s = sink.ByName.at("dated.txt");
    EXPECT_EQ(s.Written, FileTimeFromUnix(1700000000, 0));
    EXPECT_EQ(s.Accessed, FileTimeFromUnix(1700000900, 500'000'000));
    // Birth time where recorded (now, after the write time set above), else the earliest time.
    EXPECT_NE(s.Created, 0u);
    EXPECT_TRUE(s.Created >= s.Written);
}

TEST(PosixDirectorySource, KeepsNamesOfAnyBytesExactly)
{
    TempFolder dir;
    const std::vector<std::string> names = {"with blank.txt",  "comma,separated.csv", "quote\"d'name",
                                            "new\nline.log",   "Müller Straße.pdf",   "漢字.txt",
                                            "bad\xff\xfe.dat", std::string(255, 'n'), "-starts-with-dash"};
    for (const std::string& name : names) {
        dir.Write(name, name.size());
    }
    PosixDirectorySource source(1);
    CollectingSink sink;
    ASSERT_FALSE(source.Enumerate(dir.Slashed(), sink));
    for (const std::string& name : names) {
        ASSERT_EQ(sink.ByName.count(name), 1u) << name;
        EXPECT_EQ(sink.ByName.at(name).Size, static_cast<std::int64_t>(name.size()));
    }
}

TEST(PosixDirectorySource, ParallelReadsDeliverTheDirectoryOrder)
{
    TempFolder dir;
    for (int i = 0; i < 3000; ++i) {
        dir.Write("f" + std::to_string(i * 7919 % 3001) + (i % 3 == 0 ? ".a" : ".b"),
                  static_cast<std::size_t>(i % 17));
        if (i % 500 == 0) {
            fs::create_directory(dir.Path() / ("d" + std::to_string(i)));
        }
    }
    const auto expected = ReaddirOrder(dir.Path());

    PosixDirectorySource serial(1);
    CollectingSink one;
    ASSERT_FALSE(serial.Enumerate(dir.Slashed(), one));
    PosixDirectorySource parallel(4);
    CollectingSink four;
    ASSERT_FALSE(parallel.Enumerate(dir.Slashed(), four));

    EXPECT_EQ(one.Order, expected);
    EXPECT_EQ(four.Order, expected);
    ASSERT_EQ(one.ByName.size(), four.ByName.size());
    for (const auto& [name, seen] : one.ByName) {
        EXPECT_EQ(four.ByName.at(name).Size, seen.Size) << name;
        EXPECT_EQ(four.ByName.at(name).Attributes, seen.Attributes) << name;
    }
}

TEST(PosixDirectorySource, SkipsMetadataOfNamesNotWanted)
{
    TempFolder dir;
    dir.Write("a.txt");
    dir.Write("b.doc");
    PosixDirectorySource source(1);
    ScanResults results;
    EXPECT_EQ(ScanFolder(source, dir.Path().string(), NamePattern::OfExtension(".TXT"), {}, results), 1);
    EXPECT_EQ(results.at(0).Name, "a.txt");
}

TEST(PosixDirectorySource, FoldersThatCannotBeOpenedGiveTheSystemsReason)
{
    TempFolder dir;
    const auto file = dir.Write("file.txt");
    PosixDirectorySource source;
    CollectingSink sink;
    EXPECT_EQ(source.Enumerate((dir.Path() / "missing/").string(), sink),
              std::errc::no_such_file_or_directory);
    EXPECT_EQ(source.Enumerate(file.string() + "/", sink), std::errc::not_a_directory);
    EXPECT_EQ(source.Enumerate((dir.Path() / "pipe-none").string(), sink),
              std::errc::no_such_file_or_directory);
    EXPECT_TRUE(sink.Order.empty());
}

TEST(PosixDirectorySource, UnreadableFolderGivesNoEntries)
{
    TempFolder dir;
    // Closed entirely, and listable without search permission: in neither can an entry be
    // examined.
    const fs::path locked = dir.Path() / "locked";
    const fs::path listedOnly = dir.Path() / "listed-only";
    for (const fs::path& folder : {locked, listedOnly}) {
        fs::create_directory(folder);
        std::ofstream(folder / "secret.txt") << "x";
    }
    fs::permissions(locked, fs::perms::none);
    fs::permissions(listedOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    fs::permissions(dir.Path(), fs::perms::owner_all | fs::perms::others_exec | fs::perms::group_exec);
    // Root reads every folder, so the scan runs in a child that gives up root first.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            ::_exit(3);
        }
        int failures = 0;
        for (const fs::path& folder : {locked, listedOnly}) {
            PosixDirectorySource source;
            ScanResults results;
            std::error_code error;
            const int n = ScanFolder(source, folder.string(), NamePattern::AllFiles(), {}, results, &error);
            failures += n == 0 && error == std::errc::permission_denied ? 0 : 1;
        }
        // Names alone would be listed in the second folder; the source must not offer them.
        CollectingSink sink;
        PosixDirectorySource source;
        failures += source.Enumerate(listedOnly.string(), sink) == std::errc::permission_denied ? 0 : 1;
        failures += sink.Order.empty() ? 0 : 1;
        ::_exit(failures == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 3) {
        GTEST_SKIP() << "cannot drop root privileges here, and root examines every folder";
    }
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "a folder that cannot be opened, or whose entries cannot be examined, gives 0 entries and "
           "permission denied";
}

TEST(PosixDirectorySource, ReadsTheAttributesOfAPath)
{
    TempFolder dir;
    fs::create_directory(dir.Path() / ".cache");
    const auto file = dir.Write("f.txt");
    fs::create_symlink(dir.Path() / ".cache", dir.Path() / "link");
    PosixDirectorySource source;
    EXPECT_EQ(source.ReadAttributes(dir.Slashed()), Attr::kDirectory);
    EXPECT_EQ(source.ReadAttributes((dir.Path() / ".cache/").string()), Attr::kDirectory | Attr::kHidden);
    EXPECT_EQ(source.ReadAttributes(file.string()), Attr::kArchive);
    EXPECT_EQ(source.ReadAttributes((dir.Path() / "link").string()) & Attr::kDirectory, Attr::kDirectory);
    EXPECT_EQ(source.ReadAttributes((dir.Path() / "none").string()), Attr::kInvalid);
    EXPECT_EQ(source.ReadAttributes(""), Attr::kInvalid);
    EXPECT_EQ(source.ReadAttributes("/"), Attr::kDirectory);
    EXPECT_EQ(source.ReadAttributes("./"), Attr::kDirectory) << "\".\" is not a hidden name";
}

} // namespace
} // namespace pellamy
