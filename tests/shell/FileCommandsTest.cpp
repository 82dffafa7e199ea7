// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/FileCommands.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

namespace pellamy {
namespace {

/// Files held in memory, keyed by path; a path listed in `Refused` fails with that error.
class FakeFiles final : public FileOperations
{
public:
    std::error_code Copy(const std::string& source, const std::string& destination,
                         bool failIfExists) override
    {
        Calls.push_back("copy " + source + " " + destination + (failIfExists ? " keep" : " replace"));
        if (const auto error = Check(source, destination, !failIfExists)) {
            return error;
        }
        Files[destination] = Files[source];
        return {};
    }
    std::error_code Move(const std::string& source, const std::string& destination,
                         bool replaceExisting) override
    {
        Calls.push_back("move " + source + " " + destination + (replaceExisting ? " replace" : " keep"));
        if (const auto error = Check(source, destination, replaceExisting)) {
            return error;
        }
        Files[destination] = Files[source];
        Files.erase(source);
        return {};
    }
    std::error_code Remove(const std::string& path) override
    {
        Calls.push_back("remove " + path);
        return Files.erase(path) == 1 ? std::error_code()
                                      : std::make_error_code(std::errc::no_such_file_or_directory);
    }

    std::map<std::string, std::string> Files;
    std::map<std::string, std::error_code> Refused;
    std::vector<std::string> Calls;

private:
    std::error_code Check(const std::string& source, const std::string& destination, bool replace) const
    {
        if (const auto refused = Refused.find(destination); refused != Refused.end()) {
            return refused->second;
        }
        if (Files.count(source) == 0) {
            return std::make_error_code(std::errc::no_such_file_or_directory);
        }
        if (!replace && Files.count(destination) != 0) {
            return std::make_error_code(std::errc::file_exists);
        }
        return {};
    }
};

/// Answers from a script and keeps what was asked.
class ScriptedQuestions final : public Questions
{
public:
    bool AskYesNo(const std::string& question, const std::string& caption) override
    {
        Asked.push_back(caption + ": " + question);
        if (Answers.empty()) {
            ADD_FAILURE() << "unexpected question " << question;
            return false;
        }
        const bool answer = Answers.front();
        Answers.pop_front();
        return answer;
    }

    std::deque<bool> Answers;
    std::vector<std::string> Asked;
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
    EXPECT_EQ(OverwriteQuestion("a.txt"), "a.txt exists at destination. Do you want to overwrite?");
}

TEST_F(FileCommandsTest, CopyAsksBeforeReplacingAndYesOverwrites)
{
    m_files.Files = {{"/src/a.txt", "new"}, {"/dest/a.txt", "old"}};
    m_questions.Answers = {true};
    Commands().CopyTo(Rows({"a.txt"}, {0}), "/src/");
    EXPECT_EQ(m_questions.Asked,
              std::vector<std::string>{
                  "FILE ALREADY EXISTS: a.txt exists at destination. Do you want to overwrite?"});
    EXPECT_EQ(m_files.Files["/dest/a.txt"], "new");
    EXPECT_EQ(m_files.Files["/src/a.txt"], "new");
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(FileCommandsTest, CopyAnsweredNoKeepsBothFilesAndGoesOnWithTheNext)
{
    m_files.Files = {{"/src/a.txt", "new"}, {"/src/b.txt", "b"}, {"/dest/a.txt", "old"}};
    m_questions.Answers = {false};
    Commands().CopyTo(Rows({"a.txt", "b.txt"}, {0, 1}), "/src/");
    EXPECT_EQ(m_questions.Asked.size(), 1u);
    EXPECT_EQ(m_files.Files["/dest/a.txt"], "old");
    EXPECT_EQ(m_files.Files["/src/a.txt"], "new");
    EXPECT_EQ(m_files.Files["/dest/b.txt"], "b");
    EXPECT_TRUE(m_reports.empty());
}

TEST_F(FileCommandsTest, CopyFailureOtherThanAnExistingFileIsReportedWithoutAQuestion)
{
    m_files.Files = {{"/src/a.txt", "a"}, {"/src/b.txt", "b"}};
    m_files.Refused["/dest/a.txt"] = std::make_error_code(std::errc::permission_denied);
    Commands().CopyTo(Rows({"a.txt", "b.txt"}, {0, 1}), "/src/");
    EXPECT_TRUE(m_questions.Asked.empty());
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0], "Cannot copy \"/src/a.txt\" to \"/dest/a.txt\". " +
                                std::make_error_code(std::errc::permission_denied).message());
    EXPECT_EQ(m_files.Files["/dest/b.txt"], "b");
}

TEST_F(FileCommandsTest, FailedSecondAttemptIsReported)
{
    m_files.Files = {{"/src/a.txt", "new"}, {"/dest/a.txt", "old"}};
    m_questions.Answers = {true};
    // The destination exists; the replacing attempt is then refused as well.
    class ReplaceRefused final : public FileOperations
    {
    public:
        explicit ReplaceRefused(FakeFiles& files)
            : m_files(files)
        {}
        std::error_code Copy(const std::string& s, const std::string& d, bool failIfExists) override
        {
            return failIfExists ? m_files.Copy(s, d, true)
                                : std::make_error_code(std::errc::read_only_file_system);
        }
        std::error_code Move(const std::string& s, const std::string& d, bool replace) override
        {
            return !replace ? m_files.Move(s, d, false)
                            : std::make_error_code(std::errc::read_only_file_system);
        }
        std::error_code Remove(const std::string& path) override { return m_files.Remove(path); }

    private:
        FakeFiles& m_files;
    } operations(m_files);
    FileCommands commands(
        operations, m_questions, [] { return std::optional<std::string>("/dest/"); },
        [this](const std::string& message) { m_reports.push_back(message); });

    commands.CopyTo(Rows({"a.txt"}, {0}), "/src/");
    m_questions.Answers = {true};
    EXPECT_EQ(commands.MoveTo(Rows({"a.txt"}, {0}), "/src/"), ListsAfter::Rebuild);
    const std::string reason = std::make_error_code(std::errc::read_only_file_system).message();
    EXPECT_EQ(m_reports,
              (std::vector<std::string>{"Cannot copy \"/src/a.txt\" to \"/dest/a.txt\". " + reason,
                                        "Cannot move \"/src/a.txt\" to \"/dest/a.txt\". " + reason}));
    EXPECT_EQ(m_files.Files["/dest/a.txt"], "old");
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

TEST_F(FileCommandsTest, CopyGoesThroughTheSelectedRowsInListOrder)
{
    m_files.Files = {{"/src/a", "a"}, {"/src/b", "b"}, {"/src/c", "c"}};
    Commands().CopyTo(Rows({"c", "b", "a"}, {2, 0}), "/src/");
    EXPECT_EQ(m_files.Calls,
              (std::vector<std::string>{"copy /src/c /dest/c keep", "copy /src/a /dest/a keep"}));
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

TEST_F(FileCommandsTest, MoveAsksBeforeReplacingAndReportsOtherFailures)
{
    m_files.Files = {{"/src/a.txt", "new"}, {"/src/b.txt", "b"}, {"/dest/a.txt", "old"}};
    m_questions.Answers = {true};
    EXPECT_EQ(Commands().MoveTo(Rows({"a.txt", "gone.txt", "b.txt"}, {0, 1, 2}), "/src/"),
              ListsAfter::Rebuild);
    EXPECT_EQ(m_questions.Asked.size(), 1u);
    EXPECT_EQ(m_files.Files,
              (std::map<std::string, std::string>{{"/dest/a.txt", "new"}, {"/dest/b.txt", "b"}}));
    ASSERT_EQ(m_reports.size(), 1u);
    EXPECT_EQ(m_reports[0].rfind("Cannot move \"/src/gone.txt\" to \"/dest/gone.txt\". ", 0), 0u);
}

TEST_F(FileCommandsTest, DeleteAsksFirstAndNoChangesNothing)
{
    m_files.Files = {{"/src/a.txt", "a"}};
    m_questions.Answers = {false};
    EXPECT_EQ(Commands().Delete(Rows({"a.txt"}, {0}), "/src/"), ListsAfter::Unchanged);
    EXPECT_EQ(m_questions.Asked,
              std::vector<std::string>{"Deleting Files: Are you sure you want to delete these files"});
    EXPECT_TRUE(m_files.Calls.empty());

    // Yes on an empty list: nothing to delete and nothing to rebuild.
    m_questions.Answers = {true};
    EXPECT_EQ(Commands().Delete(Rows({}, {}), "/src/"), ListsAfter::Unchanged);
    // Yes with rows but none selected: nothing deleted, the lists rebuilt.
    m_questions.Answers = {true};
    EXPECT_EQ(Commands().Delete(Rows({"a.txt"}, {}), "/src/"), ListsAfter::Rebuild);
    EXPECT_TRUE(m_files.Calls.empty());
    EXPECT_EQ(m_files.Files.size(), 1u);
}

TEST_F(FileCommandsTest, DeleteOfAMissingFileDoesNotStopTheOthers)
{
    m_files.Files = {{"/src/a.txt", "a"}, {"/src/c.txt", "c"}, {"/src/keep.txt", "k"}};
    m_questions.Answers = {true};
    EXPECT_EQ(Commands().Delete(Rows({"a.txt", "b.txt", "c.txt", "keep.txt"}, {0, 1, 2}), "/src/"),
              ListsAfter::Rebuild);
    EXPECT_EQ(m_files.Calls,
              (std::vector<std::string>{"remove /src/a.txt", "remove /src/b.txt", "remove /src/c.txt"}));
    EXPECT_EQ(m_files.Files, (std::map<std::string, std::string>{{"/src/keep.txt", "k"}}));
    EXPECT_TRUE(m_reports.empty());
}

} // namespace
} // namespace pellamy
