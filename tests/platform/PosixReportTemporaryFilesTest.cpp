// SPDX-License-Identifier: GPL-3.0-or-later
// The temporary files a report is written through: a streamed report that becomes the file only
// once complete, a full file system, the owner and permissions the new file gets and needs,
// unnamed files and how they get their name, the named files used where the file system makes no
// unnamed ones, and the signals that remove those.
#include "platform/posix/PosixReportFiles.h"

#include "MountGuard.h"
#include "PosixReportFilesFixture.h"
#include "SeccompFilters.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

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
