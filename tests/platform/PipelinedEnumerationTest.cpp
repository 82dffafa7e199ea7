// SPDX-License-Identifier: GPL-3.0-or-later
// Folders large enough to be read in several batches, so that reading names, examining them on
// other threads and delivering them overlap.
#include "ReaddirOrder.h"
#include "TempFolder.h"
#include "platform/posix/PosixDirectorySource.h"

#include <gtest/gtest.h>

#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

struct Delivered
{
    std::vector<std::string> Order;
    std::map<std::string, std::pair<std::uint32_t, std::int64_t>> Details;
    std::vector<std::uint64_t> Progress;
};

// Takes every name and records what arrives; subclasses add what happens while names are read.
class RecordingSink : public DirectorySink
{
public:
    bool WantsName(std::string_view name) override
    {
        Offered.emplace_back(name);
        return true;
    }
    void Accept(const DirectoryEntryView& e) override
    {
        Got.Order.emplace_back(e.Name);
        Got.Details[std::string(e.Name)] = {e.Attributes, e.Size};
    }
    void Progress(std::uint64_t namesRead) override { Got.Progress.push_back(namesRead); }

    std::vector<std::string> Offered;
    Delivered Got;
};

// Long names, so that the folder's records fill several read buffers; with folders, links to
// folders, FIFOs and dangling links among the files.
class LargeFolder : public ::testing::Test
{
protected:
    static constexpr int kEntries = 9000;

    static void SetUpTestSuite()
    {
        s_folder = new TempFolder;
        const fs::path& dir = s_folder->Path();
        const std::string padding(90, 'p');
        for (int i = 0; i < kEntries; ++i) {
            const std::string name =
                "entry-" + std::to_string(i) + "-" + padding + (i % 2 == 0 ? ".txt" : ".DAT");
            if (i % 97 == 0) {
                fs::create_directory(dir / name);
            } else if (i % 89 == 0) {
                fs::create_directory_symlink("..", dir / name);
            } else if (i % 83 == 0) {
                fs::create_symlink("nowhere", dir / name);
            } else if (i % 79 == 0) {
                ASSERT_EQ(::mkfifo((dir / name).c_str(), 0644), 0);
            } else {
                s_folder->Write(name, static_cast<std::size_t>(i % 13));
            }
        }
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }

    static Delivered Read(unsigned threads)
    {
        PosixDirectorySource source(threads);
        RecordingSink sink;
        EXPECT_FALSE(source.Enumerate(s_folder->Slashed(), sink));
        EXPECT_EQ(sink.Offered, sink.Got.Order) << "every name offered is delivered, in the order offered";
        return sink.Got;
    }

    static TempFolder* s_folder;
};

TempFolder* LargeFolder::s_folder = nullptr;

TEST_F(LargeFolder, EveryThreadCountDeliversTheSingleThreadedResultInDirectoryOrder)
{
    const auto expected = ReaddirOrder(s_folder->Path());
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(kEntries));
    const Delivered one = Read(1);
    EXPECT_EQ(one.Order, expected);
    for (const unsigned threads : {2u, 3u, 4u}) {
        const Delivered many = Read(threads);
        EXPECT_EQ(many.Order, expected) << threads << " threads";
        EXPECT_EQ(many.Details, one.Details) << threads << " threads";
    }

    int folders = 0;
    for (const auto& [name, details] : one.Details) {
        folders += (details.first & Attr::kDirectory) != 0 ? 1 : 0;
    }
    int made = 0;
    for (int i = 0; i < kEntries; ++i) {
        made += i % 97 == 0 || i % 89 == 0 ? 1 : 0;
    }
    EXPECT_EQ(folders, made) << "folders and links to folders carry the directory bit";
}

TEST_F(LargeFolder, ProgressFollowsEachBatchAndEndsWithEveryName)
{
    const Delivered got = Read(2);
    ASSERT_GE(got.Progress.size(), 3u) << "the folder spans several batches";
    for (std::size_t i = 1; i < got.Progress.size(); ++i) {
        EXPECT_GT(got.Progress[i], got.Progress[i - 1]);
    }
    EXPECT_EQ(got.Progress.back(), static_cast<std::uint64_t>(kEntries));
}

TEST(PipelinedEnumeration, NamesOfEveryLengthArriveWhole)
{
    // Every remainder of a record's length, for short names and long ones.
    TempFolder dir;
    std::vector<std::string> names;
    for (std::size_t length = 1; length <= 255; ++length) {
        std::string name(length, static_cast<char>('a' + length % 26));
        name.back() = length % 3 == 0 ? '.' : 'z';
        names.push_back(name);
        dir.Write(name, length);
    }
    PosixDirectorySource source(1);
    RecordingSink sink;
    ASSERT_FALSE(source.Enumerate(dir.Slashed(), sink));
    EXPECT_EQ(sink.Got.Order, ReaddirOrder(dir.Path()));
    ASSERT_EQ(sink.Got.Details.size(), names.size());
    for (const std::string& name : names) {
        EXPECT_EQ(sink.Got.Details.at(name).second, static_cast<std::int64_t>(name.size())) << name;
    }
}

// Removes every third name it is offered before its metadata is read.
class RemovingSink final : public RecordingSink
{
public:
    explicit RemovingSink(fs::path folder)
        : m_folder(std::move(folder))
    {}
    bool WantsName(std::string_view name) override
    {
        RecordingSink::WantsName(name);
        if (Offered.size() % 3 == 0) {
            std::error_code ec;
            fs::remove(m_folder / std::string(name), ec);
            Removed.emplace_back(name);
        }
        return true;
    }
    std::vector<std::string> Removed;

private:
    fs::path m_folder;
};

TEST(PipelinedEnumeration, EntriesThatVanishWhileTheFolderIsReadAreLeftOut)
{
    TempFolder dir;
    const std::string padding(120, 'v');
    for (int i = 0; i < 6000; ++i) {
        dir.Write(std::to_string(i) + padding, 1);
    }
    PosixDirectorySource source(2);
    RemovingSink sink(dir.Path());
    ASSERT_FALSE(source.Enumerate(dir.Slashed(), sink));
    ASSERT_EQ(sink.Removed.size(), 2000u);

    std::vector<std::string> kept;
    for (std::size_t i = 0; i < sink.Offered.size(); ++i) {
        if ((i + 1) % 3 != 0) {
            kept.push_back(sink.Offered[i]);
        }
    }
    EXPECT_EQ(sink.Got.Order, kept);
}

// Throws from one of its calls once it has seen `after` names.
class ThrowingSink final : public RecordingSink
{
public:
    enum class Where { WantsName, Accept, Progress };
    ThrowingSink(Where where, std::size_t after)
        : m_where(where)
        , m_after(after)
    {}
    bool WantsName(std::string_view name) override
    {
        ThrowIfDue(Where::WantsName, Offered.size());
        return RecordingSink::WantsName(name);
    }
    void Accept(const DirectoryEntryView& e) override
    {
        ThrowIfDue(Where::Accept, Got.Order.size());
        RecordingSink::Accept(e);
    }
    void Progress(std::uint64_t namesRead) override
    {
        ThrowIfDue(Where::Progress, Got.Order.size());
        RecordingSink::Progress(namesRead);
    }

private:
    void ThrowIfDue(Where where, std::size_t seen) const
    {
        if (where == m_where && seen >= m_after) {
            throw std::runtime_error("sink gave up");
        }
    }
    Where m_where;
    std::size_t m_after;
};

TEST_F(LargeFolder, ASinkThatThrowsStopsTheReadAndTheSourceStaysUsable)
{
    const auto expected = ReaddirOrder(s_folder->Path());
    PosixDirectorySource source(2);
    for (const auto where :
         {ThrowingSink::Where::WantsName, ThrowingSink::Where::Accept, ThrowingSink::Where::Progress}) {
        ThrowingSink sink(where, 5000);
        EXPECT_THROW(source.Enumerate(s_folder->Slashed(), sink), std::runtime_error);
        ASSERT_LE(sink.Got.Order.size(), expected.size());
        EXPECT_TRUE(std::equal(sink.Got.Order.begin(), sink.Got.Order.end(), expected.begin()))
            << "what arrived before the exception is the start of the folder";
    }
    RecordingSink sink;
    ASSERT_FALSE(source.Enumerate(s_folder->Slashed(), sink));
    EXPECT_EQ(sink.Got.Order, expected);
}

// Kills the child whose descriptors are being listed when the given name is offered, so that the
// next read of the folder fails.
class KillingSink final : public RecordingSink
{
public:
    KillingSink(pid_t child, std::size_t at)
        : m_child(child)
        , m_at(at)
    {}
    bool WantsName(std::string_view name) override
    {
        RecordingSink::WantsName(name);
        if (Offered.size() == m_at) {
            ::kill(m_child, SIGKILL);
            ::waitpid(m_child, nullptr, 0);
        }
        return true;
    }

private:
    pid_t m_child;
    std::size_t m_at;
};

TEST(PipelinedEnumeration, AFolderThatGoesAwayPartWayGivesTheSystemsReason)
{
    // A process's descriptor folder stops being readable once the process is gone: a failure
    // part-way that can be provoked at a chosen name.
    constexpr int kDescriptors = 18000;
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < kDescriptors + 64) {
        GTEST_SKIP() << "the descriptor limit is too low for a folder of several batches";
    }
    int ready[2];
    int hold[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(hold), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit raised{kDescriptors + 64, limit.rlim_max};
        ::setrlimit(RLIMIT_NOFILE, &raised);
        const int null = ::open("/dev/null", O_RDONLY);
        for (int i = 0; i < kDescriptors && null >= 0; ++i) {
            if (::dup(null) < 0) {
                ::_exit(1);
            }
        }
        char c = 'r';
        ::write(ready[1], &c, 1);
        ::read(hold[0], &c, 1);
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(hold[0]);
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1) << "the child could not open its descriptors";

    // The names of the first batch have been read when the child dies in the second.
    PosixDirectorySource source(2);
    KillingSink sink(child, 9000);
    const std::error_code error = source.Enumerate("/proc/" + std::to_string(child) + "/fd/", sink);
    ::close(ready[0]);
    ::close(hold[1]);
    EXPECT_EQ(error, std::errc::no_such_file_or_directory);
    EXPECT_LT(sink.Offered.size(), static_cast<std::size_t>(kDescriptors));
    // What was examined before the child died arrives, in order; what vanished does not.
    std::size_t next = 0;
    for (const std::string& name : sink.Got.Order) {
        while (next < sink.Offered.size() && sink.Offered[next] != name) {
            ++next;
        }
        ASSERT_LT(next, sink.Offered.size()) << name << " arrived out of order or was never offered";
        ++next;
    }
}

} // namespace
} // namespace pellamy
