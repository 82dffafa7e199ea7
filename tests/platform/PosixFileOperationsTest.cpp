// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/posix/PosixFileOperations.h"

#include "../shell/ScriptedQuestions.h"
#include "MountGuard.h"
#include "TempFolder.h"
#include "reports/ListRows.h"
#include "shell/FileCommands.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

} // namespace
} // namespace pellamy
