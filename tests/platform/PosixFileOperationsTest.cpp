// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixFileOperations.h"

#include "platform/posix/PosixDirectorySource.h"

#include "../shell/ScriptedQuestions.h"
#include "MountGuard.h"
#include "TempFolder.h"
#include "lists/ListRows.h"
#include "shell/FileCommands.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <map>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

void Put(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Contents(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Names(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct stat StatOf(const fs::path& path)
{
    struct stat st
    {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

// Gives `path` the mode and the access and modification times the tests look for afterwards.
void MarkFile(const fs::path& path)
{
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    const timespec times[2] = {{1'500'000'000, 123'456'789}, {1'400'000'000, 987'654'321}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Checks what MarkFile gave; before any read, which may move the access time on.
void ExpectMarked(const fs::path& path)
{
    const struct stat st = StatOf(path);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_mtim.tv_sec, 1'400'000'000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 987'654'321);
    EXPECT_EQ(st.st_atim.tv_sec, 1'500'000'000);
}

// What a listing of `folder` shows of each of its files, as the window's file list keeps it.
std::map<std::string, ListedFile> ListingOf(const fs::path& folder)
{
    struct Sink final : DirectorySink
    {
        bool WantsName(std::string_view) override { return true; }
        void Accept(const DirectoryEntryView& entry) override
        {
            Listed[std::string(entry.Name)] = ListedFile{entry.Size, entry.LastWriteTime};
        }
        std::map<std::string, ListedFile> Listed;
    } sink;
    PosixDirectorySource source;
    EXPECT_FALSE(source.Enumerate(folder.string(), sink));
    return sink.Listed;
}

// File list rows that keep what the listing showed of each file, as the window's list does.
class ListedRows final : public ListRows
{
public:
    ListedRows(const fs::path& folder, const std::vector<std::string>& names)
    {
        const std::map<std::string, ListedFile> listing = ListingOf(folder);
        for (const std::string& name : names) {
            m_names.push_back(name);
            m_listed.push_back(listing.at(name));
        }
    }
    std::size_t RowCount() const override { return m_names.size(); }
    std::size_t ColumnCount() const override { return 6; }
    std::string CellText(std::size_t row, std::size_t column) const override
    {
        return column == 1 ? m_names.at(row) : std::string();
    }
    bool IsSelected(std::size_t) const override { return true; }
    std::optional<ListedFile> Listed(std::size_t row) const override { return m_listed.at(row); }

private:
    std::vector<std::string> m_names;
    std::vector<ListedFile> m_listed;
};

// Sets or clears the immutable flag of a file; false where the file system or the process cannot.
bool SetImmutable(const fs::path& path, bool immutable)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = immutable ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    ::close(fd);
    return done;
}

class PosixFileOperationsTest : public ::testing::Test
{
protected:
    // The file list of `src` with the rows of `names`, all selected.
    static TextRows SelectedRows(const std::vector<std::string>& names)
    {
        TextRows rows;
        for (const auto& name : names) {
            rows.AddRow({"", name, "", "", "A", ""}, true);
        }
        return rows;
    }

    FileCommands Commands(const fs::path& folder)
    {
        return FileCommands(
            m_operations, m_questions, [folder] { return std::optional<std::string>(folder.string()); },
            [this](const std::string& message) { m_reports.push_back(message); });
    }

    /// Mounts a tmpfs of `size` inside the temporary folder; false (and the test skipped) where
    /// that is not possible.
    bool MountSmallFileSystem(const fs::path& mountPoint, const char* size)
    {
        if (::geteuid() != 0) {
            return false;
        }
        fs::create_directory(mountPoint);
        return ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0, size) == 0;
    }

    TempFolder m_temp;
    fs::path m_src = m_temp.Path() / "src";
    fs::path m_dest = m_temp.Path() / "dest";
    PosixFileOperations m_operations;
    ScriptedQuestions m_questions;
    std::vector<std::string> m_reports;

    void SetUp() override
    {
        fs::create_directory(m_src);
        fs::create_directory(m_dest);
    }
};

TEST_F(PosixFileOperationsTest, CopyKeepsModeAndTimesAndLeavesNothingElseBehind)
{
    Put(m_src / "a b.txt", "contents\n");
    MarkFile(m_src / "a b.txt");
    EXPECT_FALSE(m_operations.Copy((m_src / "a b.txt").string(), (m_dest / "a b.txt").string(), true, {}));
    ExpectMarked(m_dest / "a b.txt");
    EXPECT_EQ(Contents(m_dest / "a b.txt"), "contents\n");
    EXPECT_EQ(Names(m_dest), std::vector<std::string>{"a b.txt"});
    EXPECT_EQ(Contents(m_src / "a b.txt"), "contents\n");
}

TEST_F(PosixFileOperationsTest, CopyWorksBesideANameAsLongAsTheFileSystemAllows)
{
    const std::string name(255, 'n');
    Put(m_src / name, "long");
    EXPECT_FALSE(m_operations.Copy((m_src / name).string(), (m_dest / name).string(), true, {}));
    EXPECT_EQ(Contents(m_dest / name), "long");
    EXPECT_EQ(Names(m_dest), std::vector<std::string>{name});
}

TEST_F(PosixFileOperationsTest, CopyAndMoveNeverReplaceUnasked)
{
    Put(m_src / "a.txt", "new");
    Put(m_dest / "a.txt", "old");
    EXPECT_EQ(m_operations.Copy((m_src / "a.txt").string(), (m_dest / "a.txt").string(), true, {}),
              std::errc::file_exists);
    EXPECT_EQ(m_operations.Move((m_src / "a.txt").string(), (m_dest / "a.txt").string(), false, {}),
              std::errc::file_exists);
    EXPECT_EQ(Contents(m_dest / "a.txt"), "old");
    EXPECT_EQ(Contents(m_src / "a.txt"), "new");
    EXPECT_EQ(Names(m_dest), std::vector<std::string>{"a.txt"});

    // Asked to, both replace.
    EXPECT_FALSE(m_operations.Copy((m_src / "a.txt").string(), (m_dest / "a.txt").string(), false, {}));
    EXPECT_EQ(Contents(m_dest / "a.txt"), "new");
    Put(m_src / "a.txt", "newer");
    EXPECT_FALSE(m_operations.Move((m_src / "a.txt").string(), (m_dest / "a.txt").string(), true, {}));
    EXPECT_EQ(Contents(m_dest / "a.txt"), "newer");
    EXPECT_FALSE(fs::exists(m_src / "a.txt"));
}

TEST_F(PosixFileOperationsTest, CopyRefusesFoldersAndSpecialFilesWithoutOpeningThem)
{
    fs::create_directory(m_src / "folder");
    ASSERT_EQ(::mkfifo((m_src / "pipe").c_str(), 0644), 0);
    EXPECT_EQ(m_operations.Copy((m_src / "folder").string(), (m_dest / "folder").string(), true, {}),
              std::errc::is_a_directory);
    // A FIFO without a writer would block a reader for ever.
    EXPECT_EQ(m_operations.Copy((m_src / "pipe").string(), (m_dest / "pipe").string(), true, {}),
              std::errc::not_supported);
    EXPECT_EQ(m_operations.Copy((m_src / "missing").string(), (m_dest / "missing").string(), true, {}),
              std::errc::no_such_file_or_directory);
    EXPECT_TRUE(Names(m_dest).empty());
}

TEST_F(PosixFileOperationsTest, CopyCommandAsksOnAnExistingNameYesOverwritesNoKeepsBoth)
{
    Put(m_src / "a.txt", "new a");
    Put(m_src / "b.txt", "new b");
    Put(m_src / "c.txt", "c");
    Put(m_dest / "a.txt", "old a");
    Put(m_dest / "b.txt", "old b");
    m_questions.Answers = {true, false};
    Commands(m_dest).CopyTo(SelectedRows({"a.txt", "b.txt", "c.txt"}), m_temp.Slashed() + "src/");

    EXPECT_EQ(m_questions.Asked,
              (std::vector<std::string>{
                  "FILE ALREADY EXISTS: a.txt exists at destination. Do you want to overwrite?",
                  "FILE ALREADY EXISTS: b.txt exists at destination. Do you want to overwrite?"}));
    EXPECT_EQ(Contents(m_dest / "a.txt"), "new a");
    EXPECT_EQ(Contents(m_dest / "b.txt"), "old b");
    EXPECT_EQ(Contents(m_src / "b.txt"), "new b");
    EXPECT_EQ(Contents(m_dest / "c.txt"), "c");
    EXPECT_EQ(Names(m_dest), (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(PosixFileOperationsTest, CopyCommandReportsAFailureWithTheSystemsReasonAndAsksNothing)
{
    Put(m_src / "a.txt", "a");
    const fs::path missingFolder = m_temp.Path() / "no such folder";
    Commands(missingFolder).CopyTo(SelectedRows({"a.txt"}), m_temp.Slashed() + "src/");
    EXPECT_TRUE(m_questions.Asked.empty());
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0], "Cannot copy \"" + (m_src / "a.txt").string() + "\" to \"" +
                                (missingFolder / "a.txt").string() + "\". No such file or directory");
}

TEST_F(PosixFileOperationsTest, DeleteCommandGoesOnPastAMissingFile)
{
    Put(m_src / "a.txt", "a");
    Put(m_src / "c.txt", "c");
    Put(m_src / "keep.txt", "k");
    m_questions.Answers = {true};
    TextRows rows = SelectedRows({"a.txt", "b.txt", "c.txt", "keep.txt"});
    rows.SetSelected(3, false);
    EXPECT_EQ(Commands(m_dest).Delete(rows, m_temp.Slashed() + "src/"), ListsAfter::Rebuild);
    EXPECT_EQ(Names(m_src), std::vector<std::string>{"keep.txt"});
    EXPECT_EQ(m_operations.Remove((m_src / "b.txt").string()), std::errc::no_such_file_or_directory);
}

TEST_F(PosixFileOperationsTest, MoveAcrossFileSystemsKeepsModeAndTimesAndRemovesTheSource)
{
    const fs::path small = m_temp.Path() / "small";
    if (!MountSmallFileSystem(small, "size=64k")) {
        GTEST_SKIP() << "mounting a small tmpfs needs root (" << std::strerror(errno)
                     << "); moves across file systems are not checked";
    }
    const MountGuard unmount(small);
    Put(m_src / "fits.bin", std::string(16 * 1024, 'f'));
    MarkFile(m_src / "fits.bin");
    EXPECT_FALSE(m_operations.Move((m_src / "fits.bin").string(), (small / "fits.bin").string(), false, {}));
    EXPECT_FALSE(fs::exists(m_src / "fits.bin"));
    ExpectMarked(small / "fits.bin");
    EXPECT_EQ(Contents(small / "fits.bin"), std::string(16 * 1024, 'f'));
    EXPECT_EQ(Names(small), std::vector<std::string>{"fits.bin"});

    // Back again, onto a name that exists: refused unless replacing is allowed.
    Put(m_src / "fits.bin", "other");
    EXPECT_EQ(m_operations.Move((small / "fits.bin").string(), (m_src / "fits.bin").string(), false, {}),
              std::errc::file_exists);
    EXPECT_EQ(Contents(m_src / "fits.bin"), "other");
    EXPECT_TRUE(fs::exists(small / "fits.bin"));
}

TEST_F(PosixFileOperationsTest, MoveAcrossFileSystemsThatDoesNotFitKeepsTheSourceWhole)
{
    const fs::path small = m_temp.Path() / "small";
    if (!MountSmallFileSystem(small, "size=64k")) {
        GTEST_SKIP() << "mounting a small tmpfs needs root (" << std::strerror(errno)
                     << "); a full destination is not checked";
    }
    const MountGuard unmount(small);
    const std::string large(256 * 1024, 'x');
    Put(m_src / "large.bin", large);
    Put(small / "large.bin", "earlier");

    // Through the command, as the user would: the name exists, Yes replaces, the disk is too small.
    m_questions.Answers = {true};
    EXPECT_EQ(Commands(small).MoveTo(SelectedRows({"large.bin"}), m_temp.Slashed() + "src/"),
              ListsAfter::Rebuild);
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("No space left on device"), std::string::npos) << m_reports[0];
    EXPECT_EQ(Contents(m_src / "large.bin"), large);
    EXPECT_EQ(Contents(small / "large.bin"), "earlier");
    EXPECT_EQ(Names(small), std::vector<std::string>{"large.bin"});

    // A new name on the full disk: no partial file appears.
    EXPECT_EQ(m_operations.Move((m_src / "large.bin").string(), (small / "new.bin").string(), false, {}),
              std::errc::no_space_on_device);
    EXPECT_EQ(Names(small), std::vector<std::string>{"large.bin"});
    EXPECT_EQ(Contents(m_src / "large.bin"), large);
}

TEST_F(PosixFileOperationsTest, MovingOrCopyingAFileOntoItselfByAnotherPathChangesNothing)
{
    Put(m_src / "a.txt", "only copy");
    // A link to the folder, and (as root) a bind mount of it: both lead back to the same file.
    fs::create_directory_symlink(m_src, m_temp.Path() / "link");
    std::vector<fs::path> again{m_temp.Path() / "link"};
    const fs::path bound = m_temp.Path() / "bound";
    fs::create_directory(bound);
    std::optional<MountGuard> unmount;
    if (::geteuid() == 0 && ::mount(m_src.c_str(), bound.c_str(), nullptr, MS_BIND, nullptr) == 0) {
        unmount.emplace(bound);
        again.push_back(bound);
    } else {
        std::cerr << "bind mounts need root: the move through one is not checked\n";
    }
    for (const fs::path& folder : again) {
        SCOPED_TRACE(folder.string());
        // The user answers Yes to whatever is asked, as the tester did.
        m_questions.Answers = {true, true};
        Commands(folder).MoveTo(ListedRows(m_src, {"a.txt"}), m_temp.Slashed() + "src/");
        Commands(folder).CopyTo(ListedRows(m_src, {"a.txt"}), m_temp.Slashed() + "src/");
        EXPECT_EQ(Contents(m_src / "a.txt"), "only copy");
        EXPECT_EQ(Names(m_src), std::vector<std::string>{"a.txt"});
        EXPECT_TRUE(m_reports.empty()) << m_reports.front();
    }
}

TEST_F(PosixFileOperationsTest, ACopyKeepsTheHolesOfASparseFile)
{
    constexpr off_t kSize = off_t{1} << 30;
    {
        const int fd = ::open((m_src / "sparse.img").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "head", 4, 0), 4);
        ASSERT_EQ(::pwrite(fd, "middle", 6, kSize / 2), 6);
        ASSERT_EQ(::pwrite(fd, "tail", 4, kSize - 4), 4);
        ::close(fd);
    }
    const struct stat source = StatOf(m_src / "sparse.img");
    if (source.st_blocks * 512 >= kSize) {
        GTEST_SKIP() << "this file system keeps no holes";
    }
    ASSERT_FALSE(m_operations.Copy((m_src / "sparse.img").string(), (m_dest / "sparse.img").string(), true, {}));
    const struct stat copy = StatOf(m_dest / "sparse.img");
    EXPECT_EQ(copy.st_size, kSize);
    EXPECT_LE(copy.st_blocks, source.st_blocks + 64) << "the copy allocated " << copy.st_blocks * 512 << " bytes";
    std::ifstream in(m_dest / "sparse.img", std::ios::binary);
    std::string head(4, '\0');
    std::string middle(6, '\0');
    std::string tail(4, '\0');
    in.read(head.data(), 4);
    in.seekg(kSize / 2).read(middle.data(), 6);
    in.seekg(kSize - 4).read(tail.data(), 4);
    EXPECT_EQ(head + middle + tail, "headmiddletail");
}

TEST_F(PosixFileOperationsTest, AFileSwappedForALinkSinceItWasListedIsNotFollowed)
{
    Put(m_src / "a.txt", "listed");
    Put(m_temp.Path() / "secret", "not yours");
    ASSERT_EQ(::symlink("../src/a.txt", (m_src / "link").c_str()), 0);
    const ListedRows rows(m_src, {"a.txt", "link"});
    fs::remove(m_src / "a.txt");
    ASSERT_EQ(::symlink((m_temp.Path() / "secret").c_str(), (m_src / "a.txt").c_str()), 0);

    Commands(m_dest).CopyTo(rows, m_temp.Slashed() + "src/");
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0], "Cannot copy \"" + (m_src / "a.txt").string() + "\" to \"" +
                                (m_dest / "a.txt").string() + "\". The file has changed since it was listed");
    // The link that was listed as one is still copied as the file it leads to.
    EXPECT_EQ(Names(m_dest), std::vector<std::string>{"link"});
    EXPECT_EQ(Contents(m_dest / "link"), "not yours");
    EXPECT_FALSE(fs::is_symlink(m_dest / "link"));

    // A file of another size than listed is not the listed file either.
    Put(m_src / "grown.txt", "1");
    const std::optional<ListedFile> grown = ListingOf(m_src).at("grown.txt");
    Put(m_src / "grown.txt", "12");
    EXPECT_EQ(m_operations.Copy((m_src / "grown.txt").string(), (m_dest / "grown.txt").string(), true, grown),
              FileOperationError::ChangedSinceListed);
    EXPECT_EQ(m_operations.Move((m_src / "grown.txt").string(), (m_dest / "grown.txt").string(), false, grown),
              FileOperationError::ChangedSinceListed);
    EXPECT_EQ(Contents(m_src / "grown.txt"), "12");
}

TEST_F(PosixFileOperationsTest, ALinkMovedAcrossFileSystemsStaysALink)
{
    const fs::path small = m_temp.Path() / "small";
    if (!MountSmallFileSystem(small, "size=64k")) {
        GTEST_SKIP() << "mounting a small tmpfs needs root (" << std::strerror(errno)
                     << "); moves across file systems are not checked";
    }
    const MountGuard unmount(small);
    Put(m_src / "target.txt", std::string(8192, 't'));
    ASSERT_EQ(::symlink("target.txt", (m_src / "link").c_str()), 0);
    ASSERT_EQ(::symlink("nowhere", (m_src / "dangling").c_str()), 0);
    Put(small / "dangling", "replaced by the link");
    m_questions.Answers = {true};
    Commands(small).MoveTo(ListedRows(m_src, {"link", "dangling"}), m_temp.Slashed() + "src/");
    EXPECT_TRUE(m_reports.empty()) << m_reports.front();
    EXPECT_EQ(fs::read_symlink(small / "link"), "target.txt");
    EXPECT_EQ(fs::read_symlink(small / "dangling"), "nowhere");
    EXPECT_EQ(Names(m_src), std::vector<std::string>{"target.txt"});
    EXPECT_EQ(Names(small), (std::vector<std::string>{"dangling", "link"}));
}

TEST_F(PosixFileOperationsTest, AMoveAcrossFileSystemsWhoseSourceCannotBeRemovedLeavesNoCopy)
{
    const fs::path small = m_temp.Path() / "small";
    if (!MountSmallFileSystem(small, "size=64k")) {
        GTEST_SKIP() << "mounting a small tmpfs needs root (" << std::strerror(errno)
                     << "); moves across file systems are not checked";
    }
    const MountGuard unmount(small);
    Put(m_src / "kept.txt", "stays here");
    Put(m_src / "pinned.txt", "pinned");
    Put(small / "pinned.txt", "earlier");

    // A folder mounted read-only: its entries cannot be removed, so nothing is copied.
    const fs::path readOnly = m_temp.Path() / "read-only";
    fs::create_directory(readOnly);
    ASSERT_EQ(::mount(m_src.c_str(), readOnly.c_str(), nullptr, MS_BIND, nullptr), 0);
    const MountGuard unmountReadOnly(readOnly);
    ASSERT_EQ(::mount(nullptr, readOnly.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr), 0);
    Commands(small).MoveTo(ListedRows(readOnly, {"kept.txt"}), readOnly.string() + "/");
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("Read-only file system"), std::string::npos) << m_reports[0];
    EXPECT_EQ(Contents(m_src / "kept.txt"), "stays here");
    EXPECT_EQ(Names(small), std::vector<std::string>{"pinned.txt"});

    // An immutable file is found out only when it is removed: its copy is taken back, and the
    // file it replaced at the destination is restored.
    if (!SetImmutable(m_src / "pinned.txt", true)) {
        GTEST_SKIP() << "this file system has no immutable files: the copy taken back is not checked";
    }
    m_reports.clear();
    m_questions.Answers = {true};
    Commands(small).MoveTo(ListedRows(m_src, {"pinned.txt"}), m_temp.Slashed() + "src/");
    SetImmutable(m_src / "pinned.txt", false);
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_NE(m_reports[0].find("Operation not permitted"), std::string::npos) << m_reports[0];
    EXPECT_EQ(Contents(m_src / "pinned.txt"), "pinned");
    EXPECT_EQ(Contents(small / "pinned.txt"), "earlier");
    EXPECT_EQ(Names(small), std::vector<std::string>{"pinned.txt"});
}

} // namespace
} // namespace pellamy
