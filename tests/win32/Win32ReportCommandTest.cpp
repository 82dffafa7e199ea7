// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report.exe as a Windows user runs it: its bytes on standard output and in files.
#include "platform/win32/WideText.h"
#include "win32/Win32Process.h"
#include "win32/Win32TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pellamy {
namespace {

class Win32ReportCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(::CreateDirectoryW(Data().c_str(), nullptr));
        root.WriteFile(L"d\u00e4ta \u65e5\\r\u00e9sum\u00e9.txt", std::string(1536, 'x'));
        root.WriteFile(L"d\u00e4ta \u65e5\\notes.TXT", "n");
        root.WriteFile(L"d\u00e4ta \u65e5\\\U0001F600.png", "p");
    }

    std::wstring Data() const { return root / L"d\u00e4ta \u65e5"; }

    ProcessResult Report(const std::wstring& arguments) const
    {
        return RunProcess(L"\"" + BuildTreePath(PELLAMY_REPORT_EXE) + L"\" " + arguments, root.Path());
    }

    Win32TempFolder root;
};

TEST_F(Win32ReportCommandTest, NamesOutsideTheCodePageReachStandardOutputAsUtf8WithCrLfLines)
{
    const ProcessResult run = Report(L"--all-files --format csv --sort Name \"" + Data() + L"\"");
    ASSERT_EQ(run.ExitCode, 0u) << run.Errors;
    EXPECT_EQ(run.Output.rfind("Name,Created,Modified,Attribs,Size\r\n", 0), 0u) << run.Output;
    EXPECT_NE(run.Output.find("d\xC3\xA4ta \xE6\x97\xA5"), std::string::npos);
    EXPECT_NE(run.Output.find("r\xC3\xA9sum\xC3\xA9.txt"), std::string::npos);
    EXPECT_NE(run.Output.find("\xF0\x9F\x98\x80.png"), std::string::npos);
    EXPECT_NE(run.Output.find("\"1.5 KB\"\r\n"), std::string::npos);
    EXPECT_EQ(run.Output.find("\r\r"), std::string::npos);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = run.Output.find("\r\n", at)) != std::string::npos; at += 2) {
        ++lines;
    }
    EXPECT_EQ(lines, 4u);
}

TEST_F(Win32ReportCommandTest, AFileNamedWithBackslashesStandsForItsFolder)
{
    const ProcessResult byFolder = Report(L"--format csv \"" + Data() + L"\"");
    const ProcessResult byFile = Report(L"--format csv \"" + Data() + L"\\notes.TXT\"");
    ASSERT_EQ(byFile.ExitCode, 0u) << byFile.Errors;
    EXPECT_EQ(byFile.Output, byFolder.Output);
    EXPECT_NE(byFile.Output.find(".png"), std::string::npos) << byFile.Output;

    // Every path of the file list has one separator throughout.
    const ProcessResult files = Report(L"--all-files --format csv \"" + Data() + L"\"");
    EXPECT_EQ(files.Output.find('\\'), std::string::npos) << files.Output;
}

TEST_F(Win32ReportCommandTest, TheOutputFileIsReplacedWholeAndNothingIsLeftBeside)
{
    const std::wstring target = root.WriteFile(L"types.html", "old report");
    const ProcessResult run = Report(L"--format html -o \"" + target + L"\" \"" + Data() + L"\"");
    ASSERT_EQ(run.ExitCode, 0u) << run.Errors;
    EXPECT_TRUE(run.Output.empty());
    const std::string written = Win32TempFolder::ReadFile(target);
    EXPECT_EQ(written.rfind("<html>\r\n<head>\r\n<meta charset=\"utf-8\">\r\n", 0), 0u) << written;
    EXPECT_NE(written.find("d\xC3\xA4ta \xE6\x97\xA5"), std::string::npos);

    // The scratch folder holds the data folder, the report, and nothing else.
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((root.Path() + L"\\*").c_str(), &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    std::vector<std::wstring> names;
    do {
        if (std::wstring(data.cFileName) != L"." && std::wstring(data.cFileName) != L"..") {
            names.emplace_back(data.cFileName);
        }
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::wstring>{L"d\u00e4ta \u65e5", L"types.html"}));
}

TEST_F(Win32ReportCommandTest, ATargetThatCannotBeWrittenFailsAndKeepsTheEarlierFile)
{
    const std::wstring locked = root.WriteFile(L"locked.csv", "earlier");
    ASSERT_TRUE(::SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    ProcessResult run = Report(L"--format csv -o \"" + locked + L"\" \"" + Data() + L"\"");
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_NE(run.Errors.find("Cannot create file \"" + Utf8FromWide(locked) + "\". "), std::string::npos)
        << run.Errors;
    EXPECT_EQ(Win32TempFolder::ReadFile(locked), "earlier");

    run = Report(L"--format csv -o \"" + Data() + L"\" \"" + Data() + L"\"");
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_NE(run.Errors.find("Cannot create file"), std::string::npos) << run.Errors;
}

TEST_F(Win32ReportCommandTest, AMissingFolderIsAnErrorWithTheSystemsReason)
{
    const ProcessResult run = Report(L"\"" + root / L"missing\\deeper" + L"\"");
    EXPECT_EQ(run.ExitCode, 1u);
    EXPECT_NE(run.Errors.find(std::make_error_code(std::errc::no_such_file_or_directory).message()),
              std::string::npos)
        << run.Errors;
}

TEST_F(Win32ReportCommandTest, AFolderPastTheLengthLimitIsReadAndAReportSavedInIt)
{
    // Folders made through the long form, 300 characters and more below the drive.
    std::wstring deep = root.Path();
    while (deep.size() < 300) {
        deep += L"\\a-folder-whose-name-is-long";
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr)) << ::GetLastError();
    }
    HANDLE file = ::CreateFileW((L"\\\\?\\" + deep + L"\\inside.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, "12345", 5, &written, nullptr);
    ::CloseHandle(file);

    const ProcessResult summary = Report(L"--format csv \"" + deep + L"\"");
    ASSERT_EQ(summary.ExitCode, 0u) << summary.Errors;
    EXPECT_NE(summary.Output.find(".txt"), std::string::npos) << summary.Output;

    // Saved beside the file, and named in messages without the long form's prefix.
    const ProcessResult saved = Report(L"--all-files --format csv -o \"" + deep + L"\\report.csv\" \"" + deep + L"\"");
    ASSERT_EQ(saved.ExitCode, 0u) << saved.Errors;
    const std::string report = Win32TempFolder::ReadFile(L"\\\\?\\" + deep + L"\\report.csv");
    EXPECT_NE(report.find("inside.txt"), std::string::npos) << report;
    EXPECT_EQ(report.find("\\\\?\\"), std::string::npos);
    const ProcessResult refused = Report(L"-o \"" + deep + L"\\missing\\report.csv\" \"" + deep + L"\"");
    EXPECT_NE(refused.ExitCode, 0u);
    EXPECT_NE(refused.Errors.find("Cannot create file"), std::string::npos) << refused.Errors;
    EXPECT_EQ(refused.Errors.find("\\\\?\\"), std::string::npos) << refused.Errors;
}

TEST(Win32ReportFiles, AProgramStoppedWhileWritingAReportLeavesNoFileBehind)
{
    Win32TempFolder folder;
    const std::wstring target = folder / L"report.csv";
    const std::wstring ready = folder / L"ready";
    std::wstring line = L"\"" + BuildTreePath(PELLAMY_STOPPED_REPORT_WRITER) + L"\" \"" + target + L"\" \"" + ready + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    for (int wait = 0; wait < 400 && ::GetFileAttributesW(ready.c_str()) == INVALID_FILE_ATTRIBUTES; ++wait) {
        ::Sleep(25);
    }
    ASSERT_NE(::GetFileAttributesW(ready.c_str()), INVALID_FILE_ATTRIBUTES) << "the writer never started";
    ::TerminateProcess(process.hProcess, 1);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);

    std::vector<std::wstring> left;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder.Path() + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (std::wstring(data.cFileName) != L"." && std::wstring(data.cFileName) != L"..") {
                left.push_back(data.cFileName);
            }
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    EXPECT_EQ(left, std::vector<std::wstring>{L"ready"});
}

} // namespace
} // namespace pellamy
