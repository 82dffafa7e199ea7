// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FileCommands.h"

#include "ScriptedQuestions.h"

#include <gtest/gtest.h>

#include <map>

namespace pellamy {
namespace {

/// Files held in memory, keyed by path. `ReplaceRefused` makes every replacing attempt fail.
class FakeFiles final : public FileOperations
{
public:
    std::error_code Copy(const std::string& source, const std::string& destination, bool failIfExists,
                         const std::optional<ListedFile>& listed) override
    {
        Calls.push_back("copy " + source);
        Listed.push_back(listed);
        return Transfer(source, destination, !failIfExists, false);
    }
    std::error_code Move(const std::string& source, const std::string& destination, bool replaceExisting,
                         const std::optional<ListedFile>& listed) override
    {
        Calls.push_back("move " + source);
        Listed.push_back(listed);
        return Transfer(source, destination, replaceExisting, true);
    }
    std::error_code Remove(const std::string& path) override
    {
        Calls.push_back("remove " + path);
        return Files.erase(path) == 1 ? std::error_code()
                                      : std::make_error_code(std::errc::no_such_file_or_directory);
    }

    std::map<std::string, std::string> Files;
    std::error_code ReplaceRefused;
    std::vector<std::string> Calls;
    std::vector<std::optional<ListedFile>> Listed;

private:
    std::error_code Transfer(const std::string& source, const std::string& destination, bool replace,
                             bool move)
    {
        if (Files.count(source) == 0) {
            return std::make_error_code(std::errc::no_such_file_or_directory);
        }
        if (replace && ReplaceRefused) {
            return ReplaceRefused;
        }
        if (!replace && Files.count(destination) != 0) {
            return std::make_error_code(std::errc::file_exists);
        }
        Files[destination] = Files[source];
        if (move) {
            Files.erase(source);
        }
        return {};
    }
};

class FileCommandsTest : public ::testing::Test
{
protected:
    FileCommands Commands()
    {
        return FileCommands(
            m_files, m_questions,
            [this]() {
                ++m_folderChoices;
                return m_chosenFolder;
            },
            [this](const std::string& message) { m_reports.push_back(message); });
    }

    // The file list with rows named `names`, those listed in `selected` selected.
    static TextRows Rows(const std::vector<std::string>& names, const std::vector<std::size_t>& selected)
    {
        TextRows rows;
        for (const auto& name : names) {
            rows.AddRow({"", name, "", "", "A", "1 bytes"});
        }
        for (const auto row : selected) {
            rows.SetSelected(row, true);
        }
        return rows;
    }

    FakeFiles m_files;
    ScriptedQuestions m_questions;
    std::optional<std::string> m_chosenFolder = "/dest";
    int m_folderChoices = 0;
    std::vector<std::string> m_reports;
};

TEST(DestinationPath, IsTheChosenFolderAndTheSourcesFileName)
{
    EXPECT_EQ(DestinationPath("/dest", "/src/a.txt"), "/dest/a.txt");
    EXPECT_EQ(DestinationPath("/dest/", "/src/a.txt"), "/dest/a.txt");
    EXPECT_EQ(DestinationPath("/", "/src/sub/a b.txt"), "/a b.txt");
    EXPECT_EQ(DestinationPath("rel", "plain"), "rel/plain");
}

TEST_F(FileCommandsTest, CopyNeedsASelectedRowAndAConfirmedFolder)
{
    m_files.Files = {{"/src/a.txt", "a"}};
    Commands().CopyTo(Rows({"a.txt"}, {}), "/src/");
    EXPECT_EQ(m_folderChoices, 0);

    m_chosenFolder.reset();
    Commands().CopyTo(Rows({"a.txt"}, {0}), "/src/");
    EXPECT_EQ(m_folderChoices, 1);
    EXPECT_TRUE(m_files.Calls.empty());
}

TEST_F(FileCommandsTest, FailedSecondAttemptIsReportedWithTheSystemsReason)
{
    m_files.Files = {{"/src/a.txt", "new"}, {"/dest/a.txt", "old"}};
    m_files.ReplaceRefused = std::make_error_code(std::errc::read_only_file_system);
    m_questions.Answers = {true, true};
    Commands().CopyTo(Rows({"a.txt"}, {0}), "/src/");
    EXPECT_EQ(Commands().MoveTo(Rows({"a.txt"}, {0}), "/src/"), ListsAfter::Rebuild);
    const std::string reason = m_files.ReplaceRefused.message();
    EXPECT_EQ(m_reports,
              (std::vector<std::string>{"Cannot copy \"/src/a.txt\" to \"/dest/a.txt\". " + reason,
                                        "Cannot move \"/src/a.txt\" to \"/dest/a.txt\". " + reason}));
    EXPECT_EQ(m_files.Files["/dest/a.txt"], "old");
}

TEST_F(FileCommandsTest, MoveRebuildsTheListsWheneverTheListHasRows)
{
    // No rows at all: nothing happens.
    EXPECT_EQ(Commands().MoveTo(Rows({}, {}), "/src/"), ListsAfter::Unchanged);
    // Rows but none selected: no folder is asked for, the lists are still rebuilt.
    EXPECT_EQ(Commands().MoveTo(Rows({"a.txt"}, {}), "/src/"), ListsAfter::Rebuild);
    EXPECT_EQ(m_folderChoices, 0);
    // A cancelled folder choice rebuilds too.
    m_chosenFolder.reset();
    m_files.Files = {{"/src/a.txt", "a"}};
    EXPECT_EQ(Commands().MoveTo(Rows({"a.txt"}, {0}), "/src/"), ListsAfter::Rebuild);
    EXPECT_EQ(m_folderChoices, 1);
    EXPECT_TRUE(m_files.Calls.empty());
}

TEST_F(FileCommandsTest, MoveAsksOnlyForAnExistingNameAndReportsOtherFailures)
{
    m_files.Files = {{"/src/a.txt", "new"}, {"/src/b.txt", "b"}, {"/dest/a.txt", "old"}};
    m_questions.Answers = {true};
    EXPECT_EQ(Commands().MoveTo(Rows({"a.txt", "gone.txt", "b.txt"}, {0, 1, 2}), "/src/"),
              ListsAfter::Rebuild);
    EXPECT_EQ(m_questions.Asked,
              std::vector<std::string>{
                  "FILE ALREADY EXISTS: a.txt exists at destination. Do you want to overwrite?"});
    EXPECT_EQ(m_files.Files,
              (std::map<std::string, std::string>{{"/dest/a.txt", "new"}, {"/dest/b.txt", "b"}}));
    EXPECT_EQ(m_reports,
              std::vector<std::string>{"Cannot move \"/src/gone.txt\" to \"/dest/gone.txt\". " +
                                       std::make_error_code(std::errc::no_such_file_or_directory).message()});
}

TEST_F(FileCommandsTest, DeleteAsksFirstAndRebuildsOnlyAfterYesOnAListWithRows)
{
    m_files.Files = {{"/src/a.txt", "a"}};
    m_questions.Answers = {false};
    EXPECT_EQ(Commands().Delete(Rows({"a.txt"}, {0}), "/src/"), ListsAfter::Unchanged);
    EXPECT_EQ(m_questions.Asked,
              std::vector<std::string>{"Deleting Files: Are you sure you want to delete these files"});

    m_questions.Answers = {true};
    EXPECT_EQ(Commands().Delete(Rows({}, {}), "/src/"), ListsAfter::Unchanged);
    // Rows but none selected: nothing deleted, the lists rebuilt.
    m_questions.Answers = {true};
    EXPECT_EQ(Commands().Delete(Rows({"a.txt"}, {}), "/src/"), ListsAfter::Rebuild);
    EXPECT_TRUE(m_files.Calls.empty());
    EXPECT_EQ(m_files.Files.size(), 1u);
}

} // namespace
} // namespace pellamy
