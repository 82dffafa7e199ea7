// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_PLATFORM_POSIXREPORTFILESFIXTURE_H
#define PELLAMY_TESTS_PLATFORM_POSIXREPORTFILESFIXTURE_H

#include "TempFolder.h"
#include "platform/posix/PosixReportFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <variant>
#include <vector>

// What the tests of report files share: a fresh folder to save in, ways to look at what a save
// left there, and ways to run a save in a process of its own.

namespace pellamy {

/// The unprivileged user "nobody", for the cases that need someone other than root.
inline constexpr uid_t kNobody = 65534;

/// The bytes of `file`; empty when it cannot be read.
inline std::string Contents(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// Writes `bytes` as the whole of `file`.
inline void Put(const std::filesystem::path& file, const std::string& bytes)
{
    std::ofstream(file, std::ios::binary) << bytes;
}

/// The names of the entries of `folder`.
inline std::set<std::string> Names(const std::filesystem::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

/// What lstat says of `path`; zeros when it fails.
inline struct stat Lstat(const std::filesystem::path& path)
{
    struct stat st = {};
    ::lstat(path.c_str(), &st);
    return st;
}

/// A writer for `path`; null, with a test failure, when it cannot be opened.
inline std::unique_ptr<ReportFileWriter> OpenWriter(const ReportFiles& files,
                                                    const std::filesystem::path& path)
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
inline std::vector<std::filesystem::path> UnnamedFilesIn(const std::filesystem::path& folder)
{
    std::vector<std::filesystem::path> found;
    const std::string prefix = folder.string() + "/#";
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code ec;
        const std::string text = std::filesystem::read_symlink(entry.path(), ec).string();
        if (!ec && text.rfind(prefix, 0) == 0 && text.find(" (deleted)") != std::string::npos) {
            found.push_back(entry.path());
        }
    }
    return found;
}

// The names in `folder` of temporary files a save made.
inline std::set<std::string> TemporaryNamesIn(const std::filesystem::path& folder)
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
inline int InChild(const std::function<void()>& body)
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
inline int RunAsNobody(const std::function<int()>& save)
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

/// A fresh folder and the report files of this system.
class PosixReportFilesTest : public ::testing::Test
{
protected:
    TempFolder m_dir;
    PosixReportFiles m_files;

    std::filesystem::path At(const std::string& name) const { return m_dir.Path() / name; }
    std::optional<std::string> Save(const std::filesystem::path& path, std::string_view bytes) const
    {
        return WriteFileReplacing(m_files, path.string(), bytes);
    }
};

} // namespace pellamy

#endif
