// SPDX-License-Identifier: GPL-3.0-or-later
// The window's handlers against a fake view: start-up, clicks, check boxes, drops, F5 and the
// window's own behaviour, with no display and no toolkit.
#include "FakeWindow.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

std::vector<std::string> Captions(const TypeTable& rows)
{
    std::vector<std::string> captions;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        captions.emplace_back(rows.Caption(row));
    }
    return captions;
}

TEST(WindowStartup, OpensTheFolderOfTheFirstArgumentWithItsSummary)
{
    FakeWindow window;
    window.Core.FormCreate({"/data/"});
    EXPECT_EQ(window.Core.CurrentFolder(), "/data/");
    EXPECT_EQ(window.View.Navigator, "/data");
    EXPECT_EQ(Captions(window.Core.TypeRows()), (std::vector<std::string>{".log", ".txt"}));
    EXPECT_EQ(window.Core.TypeRows().CellText(1, 1), "Text Document");
    EXPECT_EQ(window.Core.TypeRows().CellText(1, 2), "2");
    EXPECT_EQ(window.Core.TotalFiles(), 3);
    EXPECT_EQ(window.Core.TotalSize(), 2063);
    EXPECT_NE(window.View.Totals.find("TOTALS:    Files:3"), std::string::npos) << window.View.Totals;
    EXPECT_EQ(window.View.Panels[1], "Files: 0");
    EXPECT_EQ(window.View.BusyDepth, 0);
    EXPECT_GT(window.View.BusyShown, 0);
    EXPECT_EQ(window.View.Nudges, 1);
}

TEST(WindowStartup, AFileArgumentOpensItsFolderAndSlashSSwitchesTheSkinOn)
{
    FakeWindow window;
    window.Platform.DirectorySource.FolderAttributes = Attr::kArchive;
    window.Core.FormCreate({"/data/a.txt", "/s"});
    EXPECT_EQ(window.Core.CurrentFolder(), "/data/");
    EXPECT_EQ(window.View.Skin, true);
    EXPECT_TRUE(window.View.IsChecked(WindowCheckBox::Useskin1));

    FakeWindow plain;
    plain.Core.FormCreate({"/data/"});
    EXPECT_EQ(plain.View.Skin, false);
    EXPECT_FALSE(plain.View.IsChecked(WindowCheckBox::Useskin1));
}

TEST(WindowTypeClicks, AClickListsTheTypeAndADoubleClickEveryFile)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    EXPECT_EQ(Names(window.Core.FileRows()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(window.Core.CurrentPattern(), NamePattern::OfExtension(".txt"));
    EXPECT_EQ(window.View.Panels[1], "Files: 2");
    EXPECT_EQ(window.Core.FileRows().CellText(1, 4), "RA");

    window.Core.sLViewDblClick();
    EXPECT_EQ(window.Core.FileRows().RowCount(), 3u);
    EXPECT_EQ(window.Core.CurrentPattern(), NamePattern::AllFiles());
    EXPECT_EQ(window.View.Panels[1], "Files: 3");
}

TEST(WindowTypeClicks, NothingIsListedWithoutASelectedTypeAndF5ListsAgain)
{
    FakeWindow window;
    window.Core.FormCreate({"/data/"});
    window.Core.sLViewClick();
    window.Core.sLViewDblClick();
    EXPECT_EQ(window.Core.FileRows().RowCount(), 0u);

    window.SelectType(".log");
    window.Core.FormKeyDown(0x41); // "A" does nothing
    EXPECT_EQ(window.Core.FileRows().RowCount(), 0u);
    window.Core.FormKeyDown(WindowCore::kKeyF5);
    EXPECT_EQ(Names(window.Core.FileRows()), (std::vector<std::string>{"c.log"}));
}

TEST(WindowFolderChoice, TheNavigatorAndEveryCheckBoxReopenTheNavigatorsFolder)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    int asked = 0;
    for (void (WindowCore::*handler)() : {&WindowCore::dListClick, &WindowCore::JvDriveCombo1Change,
                                          &WindowCore::ISFClick, &WindowCore::roFileClick}) {
        window.View.Navigator = "/other" + std::to_string(++asked);
        (window.Core.*handler)();
        EXPECT_EQ(window.Core.CurrentFolder(), "/other" + std::to_string(asked) + "/");
        EXPECT_EQ(window.Core.FileRows().RowCount(), 0u) << "the file list is emptied";
        EXPECT_EQ(window.Core.TypeRows().RowCount(), 2u);
    }
    EXPECT_EQ(window.Platform.DirectorySource.FoldersAsked.back(), "/other4/");
}

TEST(WindowFolderChoice, TheAttributeFilterAndSystemFilesChangeTheSummary)
{
    FakeWindow window;
    window.Platform.DirectorySource.Entries.push_back({"d.sys", Attr::kSystem, 1, 0, 0, 0});
    window.Core.FormCreate({"/data/"});
    EXPECT_EQ(window.Core.TotalFiles(), 3) << "system files are left out";

    window.View.Checks[WindowCheckBox::ISF] = true;
    window.View.Navigator = "/data";
    window.Core.ISFClick();
    EXPECT_EQ(window.Core.TotalFiles(), 4);

    window.View.Checks[WindowCheckBox::ISF] = false;
    window.View.Checks[WindowCheckBox::AttrChk] = true;
    window.View.Checks[WindowCheckBox::arcFile] = false;
    window.View.Checks[WindowCheckBox::roFile] = true;
    window.Core.roFileClick();
    EXPECT_EQ(window.Core.TotalFiles(), 1) << "only the read-only file";
}

TEST(WindowFolderChoice, ADropOpensTheFolderOfItsFirstPath)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    window.Core.HandleFileDrop({});
    EXPECT_EQ(window.Core.CurrentFolder(), "/data/");

    window.Platform.DirectorySource.FolderAttributes = Attr::kArchive;
    window.Core.HandleFileDrop({"/dropped/file.txt", "/elsewhere/other.txt"});
    EXPECT_EQ(window.Core.CurrentFolder(), "/dropped/");
    EXPECT_EQ(window.View.Navigator, "/dropped");
    EXPECT_EQ(window.Core.FileRows().RowCount(), 0u);
}

TEST(WindowFolderChoice, SelectAFolderStartsOnTheNavigatorsFolderWhileItIsOne)
{
    FakeWindow window;
    window.Core.FormCreate({"/data/"});
    window.Core.SElectafolder1Click();
    ASSERT_EQ(window.View.FolderDialogStarts.size(), 1u);
    EXPECT_EQ(window.View.FolderDialogStarts[0], std::nullopt) << "/data is not a folder of the fake";
    EXPECT_EQ(window.Core.CurrentFolder(), "/data/") << "cancelled";

    window.Platform.FolderNames.Folders.insert("/data");
    window.View.FolderChoice = "/chosen";
    window.Core.SElectafolder1Click();
    EXPECT_EQ(window.View.FolderDialogStarts[1], std::optional<std::string>("/data"));
    EXPECT_EQ(window.Core.CurrentFolder(), "/chosen/");
    EXPECT_EQ(window.View.Navigator, "/chosen");
}

TEST(WindowBehaviour, HintsShowTheirPartAfterTheBarOnceTheWindowIsCreated)
{
    FakeWindow window;
    window.Core.DisplayHint("early");
    EXPECT_EQ(window.View.Panels[0], "");
    window.Core.FormCreate({"/data/"});
    window.Core.DisplayHint("Short|Long hint");
    EXPECT_EQ(window.View.Panels[0], "Long hint");
    window.Core.DisplayHint("Plain");
    EXPECT_EQ(window.Core.CurrentHint(), "Plain");
}

TEST(WindowBehaviour, SettingsChangeAtTheNextFill)
{
    FakeWindow window;
    window.Platform.DirectorySource.Entries = {{"big.bin", Attr::kArchive, 1536, 0, 0, 0}};
    window.Core.FormCreate({"/data/"});
    const std::string before = window.Core.TypeRows().CellText(0, 3);
    window.Platform.Regional.DecimalSeparator = ",";
    window.Core.SettingsChanged();
    EXPECT_EQ(window.Core.TypeRows().CellText(0, 3), before) << "rows shown keep their texts";
    window.Core.BuildTypeSummary();
    EXPECT_NE(window.Core.TypeRows().CellText(0, 3), before);
    EXPECT_NE(window.Core.TypeRows().CellText(0, 3).find(','), std::string::npos);
}

} // namespace
} // namespace pellamy
