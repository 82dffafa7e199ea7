// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report ended by a signal in the middle of saving a report: the earlier file stays, and no
// temporary file is left behind.

#include "RunReport.h"
#include "platform/SeccompFilters.h"
#include "platform/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <fstream>
#include <set>
#include <sys/socket.h>
#include <unistd.h>

namespace pellamy {
namespace {

namespace fs = std::filesystem;

std::string FileText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::set<std::string> Names(const fs::path& folder)
{
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// The files process `pid` holds open in `folder` that have no name there (O_TMPFILE).
int UnnamedFilesHeld(pid_t pid, const fs::path& folder)
{
    int count = 0;
    const std::string prefix = folder.string() + "/#";
    for (const auto& entry : fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd")) {
        std::error_code ec;
        const std::string text = fs::read_symlink(entry.path(), ec).string();
        count += !ec && text.rfind(prefix, 0) == 0 && text.find(" (deleted)") != std::string::npos ? 1 : 0;
    }
    return count;
}

// pellamy-report saving a report, held by a kernel filter at the first fsync of its save: its
// report is complete in the temporary file, and the earlier file not yet replaced.
class HeldSave
{
public:
    /// Starts `pellamy-report --format csv -o target folder`; with `refuseUnnamedFiles`, the
    /// kernel refuses it O_TMPFILE, as a file system without unnamed files does. `prepare` runs in
    /// the new process before the program starts.
    HeldSave(const fs::path& target, const fs::path& folder, bool refuseUnnamedFiles,
             const std::function<void()>& prepare = {})
    {
        int channel[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, channel) != 0) {
            return;
        }
        m_report = StartReport({"--format", "csv", "-o", target.string(), folder.string()}, folder, {}, {}, [&] {
            if (prepare) {
                prepare();
            }
            if (refuseUnnamedFiles && !RefuseUnnamedFiles()) {
                ::_exit(125);
            }
            const int listener = StallFsync();
            if (listener < 0 || !SendDescriptor(channel[1], listener)) {
                ::_exit(125);
            }
            ::close(listener);
        });
        ::close(channel[1]);
        m_listener = ReceiveDescriptor(channel[0]);
        ::close(channel[0]);
        if (m_listener >= 0) {
            m_held = WaitForStall(m_listener);
        }
    }

    HeldSave(const HeldSave&) = delete;
    HeldSave& operator=(const HeldSave&) = delete;

    ~HeldSave()
    {
        if (m_report.Pid > 0 && !m_finished) {
            ::kill(m_report.Pid, SIGKILL);
            FinishReport(m_report);
        }
        if (m_listener >= 0) {
            ::close(m_listener);
        }
    }

    /// Whether the save was started and is now held at its commit.
    bool Held() const { return m_held != 0; }
    pid_t Pid() const { return m_report.Pid; }

    /// Sends `signal`, then lets every held call go on until the program ends; how it ended.
    RunResult SignalAndFinish(int signal)
    {
        ::kill(m_report.Pid, signal);
        ContinueStalled(m_listener, m_held);
        for (;;) {
            const std::uint64_t next = WaitForStall(m_listener, 10000);
            if (next == 0) {
                break;
            }
            ContinueStalled(m_listener, next);
        }
        m_finished = true;
        return FinishReport(m_report);
    }

private:
    StartedReport m_report;
    int m_listener = -1;
    std::uint64_t m_held = 0;
    bool m_finished = false;
};

class ReportSaveInterrupted : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!SeccompFiltersAvailable()) {
            GTEST_SKIP() << "no seccomp filters here: a save cannot be held at its commit";
        }
        for (int i = 0; i < 50; ++i) {
            m_folder.Write("file" + std::to_string(i) + (i % 3 == 0 ? ".txt" : ".log"), i);
        }
        std::ofstream(Target()) << "the earlier report\r\n";
    }

    fs::path Target() const { return m_out.Path() / "report.csv"; }

    TempFolder m_folder;
    TempFolder m_out;
};

TEST_F(ReportSaveInterrupted, KilledWhileSavingLeavesTheEarlierFileAndNoTemporaryFile)
{
    for (const int signal : {SIGKILL, SIGTERM, SIGINT}) {
        HeldSave save(Target(), m_folder.Path(), false);
        ASSERT_TRUE(save.Held()) << "the save was not held at its commit";
        // The complete report sits in a file without a name.
        EXPECT_EQ(Names(m_out.Path()), std::set<std::string>{"report.csv"}) << ::strsignal(signal);
        EXPECT_EQ(UnnamedFilesHeld(save.Pid(), m_out.Path()), 1) << ::strsignal(signal);
        const RunResult r = save.SignalAndFinish(signal);
        EXPECT_EQ(r.Signal, signal) << r.Err;
        EXPECT_EQ(Names(m_out.Path()), std::set<std::string>{"report.csv"}) << ::strsignal(signal);
        EXPECT_EQ(FileText(Target()), "the earlier report\r\n") << ::strsignal(signal);
    }

    // A new file does not appear at all.
    const fs::path fresh = m_out.Path() / "fresh.csv";
    HeldSave save(fresh, m_folder.Path(), false);
    ASSERT_TRUE(save.Held());
    EXPECT_EQ(save.SignalAndFinish(SIGKILL).Signal, SIGKILL);
    EXPECT_EQ(Names(m_out.Path()), std::set<std::string>{"report.csv"});
}

TEST_F(ReportSaveInterrupted, TerminatedWhereNoUnnamedFilesAreMadeRemovesItsTemporaryFile)
{
    // SIGKILL cannot be caught: where the file system makes no unnamed files, it leaves the named
    // temporary file behind, which is why unnamed files come first.
    for (const int signal : {SIGTERM, SIGINT}) {
        HeldSave save(Target(), m_folder.Path(), true);
        ASSERT_TRUE(save.Held()) << "the save was not held at its commit";
        const auto names = Names(m_out.Path());
        ASSERT_EQ(names.size(), 2u) << "a named temporary file is written beside the target";
        EXPECT_EQ(names.begin()->rfind(".pellamy-", 0), 0u);
        const RunResult r = save.SignalAndFinish(signal);
        // Ended by the signal, as without the program's handler.
        EXPECT_EQ(r.Signal, signal) << r.Err;
        EXPECT_EQ(Names(m_out.Path()), std::set<std::string>{"report.csv"}) << ::strsignal(signal);
        EXPECT_EQ(FileText(Target()), "the earlier report\r\n") << ::strsignal(signal);
    }
}

TEST_F(ReportSaveInterrupted, IgnoredTerminationSignalStaysIgnoredDuringASave)
{
    // Started with SIGTERM ignored (nohup, a background job): the save goes on and completes.
    HeldSave save(Target(), m_folder.Path(), true, [] { ::signal(SIGTERM, SIG_IGN); });
    ASSERT_TRUE(save.Held());
    const RunResult r = save.SignalAndFinish(SIGTERM);
    EXPECT_EQ(r.Signal, 0);
    EXPECT_EQ(r.ExitCode, 0) << r.Err;
    EXPECT_EQ(FileText(Target()).rfind("Type,Description,Number,Size\r\n", 0), 0u);
    EXPECT_EQ(Names(m_out.Path()), std::set<std::string>{"report.csv"});
}

} // namespace
} // namespace pellamy
