// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32FileOperations.h"

#include "platform/win32/WideText.h"
#include "shell/FileCommands.h"
#include "shell/ScriptedQuestions.h"
#include "win32/Win32TempFolder.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

// The copy, move and delete commands over the real file calls, in two folders.
class Win32FileCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(::CreateDirectoryW((root / L"src").c_str(), nullptr));
        ASSERT_TRUE(::CreateDirectoryW((root / L"dest").c_str(), nullptr));
        // The program keeps its current folder with a "/" at the end, on Windows too.
        source = Utf8FromWide(root / L"src") + "/";
        destination = Utf8FromWide(root / L"dest");
    }

    FileCommands Commands()
    {
        return FileCommands(
            operations, questions, [this]() { return std::optional<std::string>(destination); },
            [this](const std::string& message) { reports.push_back(message); });
    }

    // The file list with one selected row per name.
    static TextRows Selected(const std::vector<std::string>& names)
    {
        TextRows rows;
        for (const auto& name : names) {
            rows.AddRow({"", name, "", "", "A", "0 KB"}, true);
        }
        return rows;
    }

    std::wstring Src(const std::wstring& name) const { return root / (L"src\\" + name); }
    std::wstring Dest(const std::wstring& name) const { return root / (L"dest\\" + name); }
    void WriteSrc(const std::wstring& name, const std::string& content) const
    {
        root.WriteFile(L"src\\" + name, content);
    }
    void WriteDest(const std::wstring& name, const std::string& content) const
    {
        root.WriteFile(L"dest\\" + name, content);
    }

    Win32TempFolder root;
    Win32FileOperations operations;
    ScriptedQuestions questions;
    std::string source;
    std::string destination;
    std::vector<std::string> reports;
};

TEST_F(Win32FileCommandsTest, CopyAsksOnlyWhenTheDestinationExists)
{
    WriteSrc(L"a.txt", "new a");
    WriteSrc(L"\u00e9t\u00e9.txt", "summer");
    Commands().CopyTo(Selected({"a.txt", "\xC3\xA9t\xC3\xA9.txt"}), source);
    EXPECT_TRUE(questions.Asked.empty());
    EXPECT_EQ(Win32TempFolder::ReadFile(Dest(L"a.txt")), "new a");
    EXPECT_EQ(Win32TempFolder::ReadFile(Dest(L"\u00e9t\u00e9.txt")), "summer");
    EXPECT_EQ(Win32TempFolder::ReadFile(Src(L"a.txt")), "new a");
    EXPECT_TRUE(reports.empty()) << reports.front();
}

TEST_F(Win32FileCommandsTest, CopyOverAnExistingFileFollowsTheAnswer)
{
    WriteSrc(L"a.txt", "new a");
    WriteSrc(L"b.txt", "new b");
    WriteDest(L"a.txt", "old a");
    WriteDest(L"b.txt", "old b");
    questions.Answers = {false, true};
    Commands().CopyTo(Selected({"a.txt", "b.txt"}), source);
    EXPECT_EQ(questions.Asked,
              (std::vector<std::string>{
                  "FILE ALREADY EXISTS: a.txt exists at destination. Do you want to overwrite?",
                  "FILE ALREADY EXISTS: b.txt exists at destination. Do you want to overwrite?"}));
    EXPECT_EQ(Win32TempFolder::ReadFile(Dest(L"a.txt")), "old a");
    EXPECT_EQ(Win32TempFolder::ReadFile(Dest(L"b.txt")), "new b");
}

TEST_F(Win32FileCommandsTest, AFailureOtherThanAnExistingFileIsReportedWithoutAQuestion)
{
    Commands().CopyTo(Selected({"missing.txt"}), source);
    EXPECT_TRUE(questions.Asked.empty());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("missing.txt"), std::string::npos);
    EXPECT_NE(reports[0].find(std::make_error_code(std::errc::no_such_file_or_directory).message()),
              std::string::npos);
}

TEST_F(Win32FileCommandsTest, MoveReplacesOnlyWhenTheUserSaysYes)
{
    WriteSrc(L"kept.txt", "new kept");
    WriteSrc(L"replaced.txt", "new replaced");
    WriteSrc(L"fresh.txt", "fresh");
    WriteDest(L"kept.txt", "old kept");
    WriteDest(L"replaced.txt", "old replaced");
    questions.Answers = {false, true};
    EXPECT_EQ(Commands().MoveTo(Selected({"kept.txt", "replaced.txt", "fresh.txt"}), source),
              ListsAfter::Rebuild);
    EXPECT_EQ(questions.Asked.size(), 2u);
    EXPECT_EQ(Win32TempFolder::ReadFile(Dest(L"kept.txt")), "old kept");
    EXPECT_EQ(Win32TempFolder::ReadFile(Src(L"kept.txt")), "new kept");
    EXPECT_EQ(Win32TempFolder::ReadFile(Dest(L"replaced.txt")), "new replaced");
    EXPECT_FALSE(Win32TempFolder::Exists(Src(L"replaced.txt")));
    EXPECT_EQ(Win32TempFolder::ReadFile(Dest(L"fresh.txt")), "fresh");
    EXPECT_FALSE(Win32TempFolder::Exists(Src(L"fresh.txt")));
}

TEST_F(Win32FileCommandsTest, DeleteRemovesTheSelectedFilesAndGoesOnPastFailures)
{
    WriteSrc(L"one.txt", "1");
    WriteSrc(L"two.txt", "2");
    WriteSrc(L"stays.txt", "3");
    questions.Answers = {true};
    TextRows rows = Selected({"one.txt", "gone.txt", "two.txt", "stays.txt"});
    rows.SetSelected(3, false);
    EXPECT_EQ(Commands().Delete(rows, source), ListsAfter::Rebuild);
    EXPECT_FALSE(Win32TempFolder::Exists(Src(L"one.txt")));
    EXPECT_FALSE(Win32TempFolder::Exists(Src(L"two.txt")));
    EXPECT_TRUE(Win32TempFolder::Exists(Src(L"stays.txt")));
}

TEST(OpenWithShell, AFileThatIsNotThereIsTheShellsError)
{
    Win32TempFolder folder;
    EXPECT_EQ(OpenWithShell(Utf8FromWide(folder / L"not there.txt")), std::errc::no_such_file_or_directory);
}

} // namespace
} // namespace pellamy
