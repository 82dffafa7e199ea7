// SPDX-License-Identifier: GPL-3.0-or-later
// The two popup menus: their tables, and every entry's handler run as the menu runs it.
#include "FakeWindow.h"
#include "shell/ContextMenuRegistration.h"
#include "window/PopupMenus.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pellamy {
namespace {

const MenuEntry& EntryNamed(std::span<const MenuEntry> menu, std::string_view name)
{
    const auto it = std::find_if(menu.begin(), menu.end(), [&](const MenuEntry& e) { return e.Name == name; });
    if (it == menu.end()) {
        throw std::runtime_error("no menu entry " + std::string(name));
    }
    return *it;
}

// Chooses an entry of either menu, as a front-end does when the user clicks it.
void Choose(FakeWindow& window, std::string_view name)
{
    for (auto menu : {PopupMenu1(), PopupMenu2()}) {
        for (const MenuEntry& entry : menu) {
            if (entry.Name == name) {
                (window.Core.*entry.Handler)();
                return;
            }
        }
    }
    throw std::runtime_error("no menu entry " + std::string(name));
}

TEST(PopupMenuTables, HoldTheEntriesOfTheWindowDefinitionInOrder)
{
    std::vector<std::string_view> names;
    for (const MenuEntry& entry : PopupMenu1()) {
        names.push_back(entry.Name);
        EXPECT_EQ(entry.IsSeparator(), entry.Name == "N1");
    }
    EXPECT_EQ(names, (std::vector<std::string_view>{
                         "Copyfilelist1", "Copyalldetails1", "XML1", "CopyselectedfiledetailsasHTML1", "Copyfiles1",
                         "Copyto1", "Saveselectedfiledetailsttofile1", "OpenfolderinExplorer2", "Movefileto1",
                         "Deletefiles1", "N1", "Selectall1", "Properties1"}));
    names.clear();
    for (const MenuEntry& entry : PopupMenu2()) {
        names.push_back(entry.Name);
    }
    EXPECT_EQ(names, (std::vector<std::string_view>{"CopyfolderdetailsasCSV1", "CopyfolderdetailsasXML1", "Print1",
                                                    "Savefolderdetails1", "Copyfoldername1", "SElectafolder1",
                                                    "OpenfolderinExplorer1", "N2",
                                                    "Registerunregisterincontextmenu1", "Useskin1"}));

    // The three file commands are hidden; "Use skin" carries a check mark, on at first.
    for (std::string_view hidden : {"Copyto1", "Movefileto1", "Deletefiles1"}) {
        EXPECT_FALSE(EntryNamed(PopupMenu1(), hidden).Shown) << hidden;
    }
    EXPECT_TRUE(EntryNamed(PopupMenu1(), "Properties1").Shown);
    EXPECT_EQ(EntryNamed(PopupMenu1(), "OpenfolderinExplorer2").Caption, "Open folder in  Explorer");
    EXPECT_EQ(EntryNamed(PopupMenu1(), "Copyfilelist1").Hint, "Copy all file names to clipboard");
    EXPECT_TRUE(EntryNamed(PopupMenu2(), "Useskin1").Checkable);
    EXPECT_TRUE(EntryNamed(PopupMenu2(), "Useskin1").Checked);
}

TEST(FileListMenu, CopiesTheSelectedNamesAndDetailsOnly)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    window.SelectFiles({"b.txt"});

    Choose(window, "Copyfilelist1");
    EXPECT_EQ(window.View.ClipboardText, "/data/b.txt\r\n");

    Choose(window, "Copyalldetails1");
    EXPECT_EQ(window.View.ClipboardText->substr(0, 34), "Name,Created,Modified,Attribs,Size");
    EXPECT_NE(window.View.ClipboardText->find("/data/b.txt,"), std::string::npos) << *window.View.ClipboardText;
    EXPECT_EQ(window.View.ClipboardText->find("a.txt"), std::string::npos);

    Choose(window, "XML1");
    EXPECT_NE(window.View.ClipboardText->find("<FolderName>/data/</FolderName>"), std::string::npos);
    EXPECT_NE(window.View.ClipboardText->find("<Filename>b.txt</Filename>"), std::string::npos);
    EXPECT_EQ(window.View.ClipboardText->find("a.txt"), std::string::npos);
    EXPECT_EQ(window.View.ClipboardText->rfind("<?xml", 0), 0u);

    // A page goes as its markup and as HTML, for rich editors.
    Choose(window, "CopyselectedfiledetailsasHTML1");
    const std::string page = window.View.ClipboardForm("text/plain");
    EXPECT_NE(page.find("<title>Files by type: /data</title>"), std::string::npos);
    EXPECT_NE(page.find("b.txt"), std::string::npos);
    EXPECT_EQ(page.find("a.txt"), std::string::npos);
    EXPECT_EQ(window.View.ClipboardForm("text/html"), page);
    EXPECT_TRUE(window.View.Messages.empty());
}

TEST(FileListMenu, CopyCommandsWithNothingSelectedLeaveTheClipboard)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    for (std::string_view name : {"Copyalldetails1", "XML1", "CopyselectedfiledetailsasHTML1", "Copyfiles1",
                                  "Saveselectedfiledetailsttofile1"}) {
        Choose(window, name);
        EXPECT_FALSE(window.View.ClipboardText) << name;
    }
    EXPECT_TRUE(window.View.ClipboardFiles.empty());
    EXPECT_EQ(window.View.SaveDialogsRun, 0);
    Choose(window, "Copyfilelist1");
    EXPECT_EQ(window.View.ClipboardText, "") << "the names of no rows";

    FakeWindow empty;
    empty.Core.FormCreate({"/data/"});
    Choose(empty, "Copyfilelist1");
    EXPECT_FALSE(empty.View.ClipboardText) << "an empty list copies nothing";
}

TEST(FileListMenu, SelectAllThenCopyFilesPutsEveryFileOnTheClipboard)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    Choose(window, "Selectall1");
    Choose(window, "Copyfiles1");
    ASSERT_FALSE(window.View.ClipboardFiles.empty());
    const auto uris = std::find_if(window.View.ClipboardFiles.begin(), window.View.ClipboardFiles.end(),
                                   [](const ClipboardTarget& t) { return t.mimeType == "text/uri-list"; });
    ASSERT_NE(uris, window.View.ClipboardFiles.end());
    EXPECT_EQ(uris->bytes, "file:///data/a.txt\r\nfile:///data/b.txt\r\n");
}

TEST(FileListMenu, SaveWritesTheFormatOfTheChosenFilter)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    window.SelectFiles({"a.txt"});
    Choose(window, "Saveselectedfiledetailsttofile1");
    EXPECT_EQ(window.View.SaveDialogsRun, 1);
    EXPECT_TRUE(window.Platform.ReportFiles.Files.empty()) << "cancelled";

    const std::map<int, std::string> starts = {{1, "Name,Created"}, {2, "<?xml"}, {3, "<html"}};
    for (const auto& [filter, start] : starts) {
        const std::string name = "/out/files" + std::to_string(filter) + ".xml";
        window.View.SaveChoice = {name, filter};
        Choose(window, "Saveselectedfiledetailsttofile1");
        EXPECT_NE(window.Platform.ReportFiles.Files[name].find(start), std::string::npos) << filter;
    }

    window.Platform.ReportFiles.Refused.insert("/locked.csv");
    window.View.SaveChoice = {"/locked.csv", 1};
    Choose(window, "Saveselectedfiledetailsttofile1");
    ASSERT_EQ(window.View.Messages.size(), 1u);
    EXPECT_NE(window.View.Messages[0].find("Permission denied"), std::string::npos);

    window.Platform.ReportFiles.Refused.insert("/locked.html");
    window.View.SaveChoice = {"/locked.html", 3};
    Choose(window, "Saveselectedfiledetailsttofile1");
    EXPECT_EQ(window.View.Messages.back(), "Error occured");
}

TEST(FileListMenu, OpenAndPropertiesActOnTheSelectedFile)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    Choose(window, "OpenfolderinExplorer2");
    EXPECT_EQ(window.View.Opened, (std::vector<std::string>{"/data/"}));

    Choose(window, "Properties1");
    EXPECT_EQ(window.View.Messages, (std::vector<std::string>{"Select one file only!"}));
    window.SelectFiles({"a.txt", "b.txt"});
    Choose(window, "Properties1");
    EXPECT_EQ(window.View.Messages.size(), 2u);
    window.SelectFiles({"b.txt"});
    Choose(window, "Properties1");
    EXPECT_EQ(window.View.PropertiesShown, (std::vector<std::string>{"/data/b.txt"}));

    window.SelectFiles({"a.txt", "b.txt"});
    window.Core.LView2DblClick();
    EXPECT_EQ(window.View.Opened.back(), "/data/a.txt") << "the selected file nearest the top";
}

TEST(FileListMenu, CopyMoveAndDeleteAskAndRebuildTheLists)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    window.SelectFiles({"a.txt"});
    window.View.FolderChoice = "/target";
    Choose(window, "Copyto1");
    EXPECT_EQ(window.View.FolderDialogStarts.back(), std::optional<std::string>("/data/"));
    EXPECT_EQ(window.Platform.FileOperations.Calls,
              (std::vector<std::string>{"copy /data/a.txt -> /target/a.txt"}));

    window.SelectFiles({"b.txt"});
    const std::size_t resets = window.View.Resets.size();
    Choose(window, "Movefileto1");
    EXPECT_EQ(window.Platform.FileOperations.Calls.back(), "move /data/b.txt -> /target/b.txt");
    EXPECT_GT(window.View.Resets.size(), resets) << "the lists are rebuilt";
    EXPECT_EQ(window.Core.FileRows().RowCount(), 2u) << "listed again with the same pattern";

    window.SelectFiles({"a.txt"});
    window.View.Answers = {false};
    Choose(window, "Deletefiles1");
    EXPECT_EQ(window.View.Questions.back(), "Deleting Files: Are you sure you want to delete these files");
    EXPECT_EQ(window.Platform.FileOperations.Calls.size(), 2u) << "No deletes nothing";
    window.SelectFiles({"a.txt"});
    window.View.Answers = {true};
    Choose(window, "Deletefiles1");
    EXPECT_EQ(window.Platform.FileOperations.Calls.back(), "remove /data/a.txt");
}

TEST(FileListMenu, ACopyOverAnExistingFileAsksFirst)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    window.SelectFiles({"a.txt"});
    window.View.FolderChoice = "/target";
    window.Platform.FileOperations.Existing.insert("/target/a.txt");
    window.View.Answers = {false};
    Choose(window, "Copyto1");
    EXPECT_EQ(window.View.Questions,
              (std::vector<std::string>{"FILE ALREADY EXISTS: a.txt exists at destination. Do you want to overwrite?"}));
    EXPECT_TRUE(window.Platform.FileOperations.Calls.empty());
}

TEST(TypeListMenu, CopiesAndSavesTheFolderDetails)
{
    FakeWindow window;
    window.Core.FormCreate({"/data/"});
    Choose(window, "CopyfolderdetailsasCSV1");
    EXPECT_NE(window.View.ClipboardText->find("Text Document"), std::string::npos);
    EXPECT_NE(window.View.ClipboardText->find(".log"), std::string::npos);

    Choose(window, "CopyfolderdetailsasXML1");
    EXPECT_NE(window.View.ClipboardText->find("/data"), std::string::npos);
    EXPECT_NE(window.View.ClipboardText->find("Text Document"), std::string::npos);

    Choose(window, "Print1");
    EXPECT_NE(window.View.ClipboardForm("text/html").find("<title>Folder content: /data</title>"), std::string::npos);
    EXPECT_EQ(window.View.ClipboardForm("text/plain"), window.View.ClipboardForm("text/html"));

    Choose(window, "Copyfoldername1");
    EXPECT_EQ(window.View.ClipboardText, "/data");

    window.View.SaveChoice = {"/out/folder.html", 3};
    Choose(window, "Savefolderdetails1");
    EXPECT_NE(window.Platform.ReportFiles.Files["/out/folder.html"].find("<title>Folder details: /data</title>"),
              std::string::npos);
    EXPECT_TRUE(window.View.Messages.empty());

    Choose(window, "OpenfolderinExplorer1");
    EXPECT_EQ(window.View.Opened, (std::vector<std::string>{"/data/"}));
}

TEST(TypeListMenu, SaveFolderDetailsNeedsRowsAndSelectAFolderOpensTheChoice)
{
    FakeWindow window;
    window.Platform.DirectorySource.Entries.clear();
    window.Core.FormCreate({"/data/"});
    Choose(window, "Savefolderdetails1");
    EXPECT_EQ(window.View.SaveDialogsRun, 0);

    window.View.FolderChoice = "/picked";
    Choose(window, "SElectafolder1");
    EXPECT_EQ(window.Core.CurrentFolder(), "/picked/");
}

TEST(TypeListMenu, RegisterTogglesAndSaysWhich)
{
    FakeWindow window;
    window.Core.FormCreate({"/data/", "/s"});
    Choose(window, "Registerunregisterincontextmenu1");
    EXPECT_EQ(window.View.Messages, (std::vector<std::string>{"Pellamy registered"}));
    bool skinInCommand = false;
    for (const auto& [key, value] : window.Platform.Store.Writes) {
        skinInCommand = skinInCommand || value.find("/s") != std::string::npos;
    }
    EXPECT_TRUE(skinInCommand) << "the command gets /s while the skin is checked";

    Choose(window, "Registerunregisterincontextmenu1");
    EXPECT_EQ(window.View.Messages.back(), "Pellamy unregistered");
    EXPECT_TRUE(window.View.ErrorReports.empty());
}

TEST(TypeListMenu, AFailedRegistrationGoesToTheErrorReport)
{
    FakeWindow window;
    window.Core.FormCreate({"/data/"});
    window.Platform.Store.FailingWrites.insert(RegistrationKeyNames::FolderCommand);
    Choose(window, "Registerunregisterincontextmenu1");
    EXPECT_TRUE(window.View.Messages.empty());
    EXPECT_EQ(window.View.ErrorReports.size(), 1u);
}

TEST(TypeListMenu, UseSkinFollowsItsCheckMark)
{
    FakeWindow window;
    window.Core.FormCreate({"/data/"});
    window.View.Checks[WindowCheckBox::Useskin1] = true;
    Choose(window, "Useskin1");
    EXPECT_EQ(window.View.Skin, true);
    window.View.Checks[WindowCheckBox::Useskin1] = false;
    Choose(window, "Useskin1");
    EXPECT_EQ(window.View.Skin, false);
}

} // namespace
} // namespace pellamy
