// SPDX-License-Identifier: GPL-3.0-or-later
// "Sub-folders": with the box checked both lists cover the folder and every folder below it, named
// by their path below the folder, and every report and file command takes those rows as shown;
// unchecked, the one folder as before.
#include "FakeTree.h"
#include "FakeWindow.h"

#include "window/WindowControls.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

// "/data/" as a tree: a link to a folder, a sub-folder that leads back to the root (a bind mount),
// one file under two names, and a folder that cannot be read.
struct TreeWindow : FakeWindow
{
    FakeTree Tree;

    TreeWindow()
    {
        using E = FakeTree::Entry;
        Tree.Folders[""].Entries = {E{"top.txt", false, 10}, E{"src", true},
                                    E{"lnk", false, 0, 0, 1, Attr::kDirectory}, E{"locked", true}};
        Tree.Folders["src"].Entries = {E{"b.txt", false, 20}, E{"c.log", false, 5},
                                       E{"hard1.dat", false, 7, 42, 2}, E{"deep", true}, E{"loop", true}};
        Tree.Folders["src/deep"].Entries = {E{"notes.txt", false, 100}, E{"hard2.dat", false, 7, 42, 2}};
        Tree.Folders["src/loop"] = FakeTree::Folder{{E{"ghost.txt", false, 1}}, 1, true, false};
        Tree.Folders["locked"].Unreadable = true;
        Platform.TreeWalker = &Tree;
    }

    void Tick(bool checked)
    {
        View.Checks[WindowCheckBox::SubFolders] = checked;
        Core.SubFoldersClick();
    }

    std::vector<std::string> TypeCells(std::size_t column) const
    {
        std::vector<std::string> cells;
        for (std::size_t row = 0; row < Core.TypeRows().RowCount(); ++row) {
            cells.push_back(Core.TypeRows().CellText(row, column));
        }
        return cells;
    }
};

TEST(SubFolders, TickedTheListsCoverTheTreeAndUntickedTheFolderAlone)
{
    TreeWindow window;
    window.OpenAndList(".txt");
    EXPECT_FALSE(window.View.IsChecked(WindowCheckBox::SubFolders)) << "unchecked at start";
    EXPECT_EQ(Names(window.Core.FileRows()), (std::vector<std::string>{"a.txt", "b.txt"}));
    window.View.Navigator = "/data/";

    window.Tick(true);
    EXPECT_EQ(window.TypeCells(0), (std::vector<std::string>{".dat", ".log", ".txt"}));
    EXPECT_EQ(window.TypeCells(2), (std::vector<std::string>{"1", "1", "3"}))
        << "the link to a folder, the way back to the root and the second name of a file count nothing";
    EXPECT_EQ(window.Core.TotalFiles(), 5);
    EXPECT_EQ(window.Core.TotalSize(), ByteCount{142});
    EXPECT_NE(window.View.Totals.find("Files:5"), std::string::npos) << window.View.Totals;
    EXPECT_EQ(window.Core.FileRows().RowCount(), 0u) << "a new summary empties the file list";

    window.SelectType(".txt");
    window.Core.sLViewClick();
    EXPECT_EQ(Names(window.Core.FileRows()),
              (std::vector<std::string>{"top.txt", "src/b.txt", "src/deep/notes.txt"}));
    EXPECT_EQ(window.View.Panels[1], "Files: 3");
    window.Core.sLViewDblClick();
    EXPECT_EQ(Names(window.Core.FileRows()),
              (std::vector<std::string>{"src/hard1.dat", "src/c.log", "top.txt", "src/b.txt", "src/deep/notes.txt"}));

    window.Tick(false);
    EXPECT_EQ(window.TypeCells(0), (std::vector<std::string>{".log", ".txt"}));
    EXPECT_EQ(window.Core.TotalFiles(), 3);
    window.SelectType(".txt");
    window.Core.sLViewClick();
    EXPECT_EQ(Names(window.Core.FileRows()), (std::vector<std::string>{"a.txt", "b.txt"}));
}

TEST(SubFolders, ReportsAndFileCommandsTakeThePathsBelowTheFolder)
{
    TreeWindow window;
    window.View.Checks[WindowCheckBox::SubFolders] = true;
    window.OpenAndList(".txt");
    window.SelectFiles({"src/deep/notes.txt", "top.txt"});

    window.Core.Copyfilelist1Click();
    EXPECT_EQ(window.View.ClipboardText, "/data/top.txt\r\n/data/src/deep/notes.txt\r\n");

    window.Core.ExportFilesCsv("");
    ASSERT_TRUE(window.View.ClipboardText);
    EXPECT_NE(window.View.ClipboardText->find("src/deep/notes.txt"), std::string::npos);

    window.View.FolderChoice = "/dest/";
    window.Core.Copyto1Click();
    EXPECT_EQ(window.Platform.FileOperations.Calls,
              (std::vector<std::string>{"copy /data/top.txt -> /dest/top.txt",
                                        "copy /data/src/deep/notes.txt -> /dest/notes.txt"}));

    window.Core.LView2DblClick();
    EXPECT_EQ(window.View.Opened, (std::vector<std::string>{"/data/top.txt"}));
}

TEST(SubFolders, UnreadFoldersAreCountedAfterTheWalkAndNamedInTheTip)
{
    TreeWindow window;
    window.View.Checks[WindowCheckBox::SubFolders] = true;
    window.Core.FormCreate({"/data/"});
    EXPECT_EQ(window.View.Panels[0], "1 folder could not be read");
    EXPECT_EQ(window.View.PanelTips[0], "/data/locked: " + std::make_error_code(std::errc::permission_denied).message());

    window.Tree.Folders["more"].Unreadable = true;
    window.Tree.Folders[""].Entries.push_back(FakeTree::Entry{"more", true});
    window.Core.dListClick();
    EXPECT_EQ(window.View.Panels[0], "2 folders could not be read");
    EXPECT_NE(window.View.PanelTips[0].find("\n/data/more: "), std::string::npos) << window.View.PanelTips[0];

    // Once every folder is read (or the box is unchecked) the hint line and its tooltip clear.
    window.Core.DisplayHint("the hint");
    window.Tick(false);
    EXPECT_EQ(window.View.Panels[0], "the hint");
    EXPECT_EQ(window.View.PanelTips[0], "");
}

TEST(SubFolders, AWalkRunsOffTheThreadWithItsCountAndEscKeepsTheLists)
{
    TreeWindow window;
    window.OpenAndList(".txt");
    const std::string totals = window.View.Totals;
    const int waits = window.View.Waits;

    window.View.StopScans = true;
    window.Tick(true);
    EXPECT_EQ(window.View.Waits, waits + 1);
    EXPECT_EQ(window.View.Panels[0], "Stopped: the lists show what they showed before");
    EXPECT_EQ(window.Core.TotalFiles(), 3);
    EXPECT_EQ(window.View.Totals, totals);
    EXPECT_EQ(Names(window.Core.FileRows()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(window.View.BusyDepth, 0);

    window.View.StopScans = false;
    window.Core.ScanProgressAfterMs = 0;
    window.Core.dListClick();
    EXPECT_EQ(window.View.LastRepainted.rfind("Reading folders: ", 0), 0u) << window.View.LastRepainted;
    EXPECT_NE(window.View.LastRepainted.find(" folders, "), std::string::npos);
    EXPECT_EQ(window.Core.TotalFiles(), 5);
}

TEST(SubFolders, WithoutATreeWalkerTheFolderAloneIsShownAndTheHintLineSaysWhy)
{
    TreeWindow window;
    window.Platform.TreeWalker = nullptr;
    window.View.Checks[WindowCheckBox::SubFolders] = true;
    window.OpenAndList(".txt");
    EXPECT_EQ(window.Core.TotalFiles(), 3);
    EXPECT_EQ(Names(window.Core.FileRows()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(window.View.Panels[0], "Sub-folders cannot be read on this system: the lists show the folder alone");
}

TEST(SubFolders, EachTypeRowKnowsItsShareOfTheTotalSize)
{
    TreeWindow window;
    window.View.Checks[WindowCheckBox::SubFolders] = true;
    window.Core.FormCreate({"/data/"});
    const TypeTable& types = window.Core.TypeRows();
    ASSERT_EQ(types.RowCount(), 3u);
    EXPECT_DOUBLE_EQ(types.SizeShare(0), 7.0 / 142.0);
    EXPECT_DOUBLE_EQ(types.SizeShare(2), 130.0 / 142.0);

    // Empty files only: no row has a share.
    TypeTable empty;
    empty.Fill({TypeRow{".a", "", 2, 0}}, RegionalSettings{}, ByteCollator{});
    EXPECT_EQ(empty.SizeShare(0), 0.0);
}

TEST(SubFolders, TheCheckBoxFollowsFilterInTheFilterBar)
{
    const WindowControl& box = ControlNamed("SubFolders");
    EXPECT_EQ(box.Caption, "Sub-folders");
    EXPECT_EQ(box.AccessibleName, "Sub-folders");
    EXPECT_FALSE(box.Hint.empty());
    const WindowControl& filter = ControlNamed("AttrChk");
    EXPECT_GE(box.Left, filter.Left + filter.Width);
    EXPECT_EQ(box.Top, filter.Top);
}

} // namespace
} // namespace pellamy
