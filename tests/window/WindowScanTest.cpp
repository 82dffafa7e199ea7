// SPDX-License-Identifier: GPL-3.0-or-later
// What users of a desktop tool expect of the window: scans off the user-interface thread that Esc
// stops, the row without extension, the save dialog's names, Enter on a type row, a failed open.
#include "FakeWindow.h"

#include <gtest/gtest.h>

namespace pellamy {
namespace {

TEST(WindowScans, RunWhileTheWindowWaitsAndEscKeepsWhatTheListsShowed)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    EXPECT_EQ(window.View.Waits, 2) << "the summary and the listing each ran off the thread";
    const std::string totals = window.View.Totals;

    // Esc during a folder's summary: the folder shown, its lists and totals stay.
    window.View.StopScans = true;
    window.View.Navigator = "/elsewhere";
    window.Core.dListClick();
    EXPECT_EQ(window.Core.CurrentFolder(), "/data/");
    EXPECT_EQ(window.View.Navigator, "/data") << "the navigator shows the folder of the lists again";
    EXPECT_EQ(window.Core.TypeRows().RowCount(), 2u);
    EXPECT_EQ(Names(window.Core.FileRows()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(window.View.Totals, totals);
    EXPECT_EQ(window.View.Panels[0], "Stopped: the lists show what they showed before");
    EXPECT_EQ(window.View.BusyDepth, 0);

    // Esc during a listing: the file list and its pattern stay.
    window.SelectType(".log");
    window.Core.sLViewClick();
    EXPECT_EQ(Names(window.Core.FileRows()), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(window.Core.CurrentPattern(), NamePattern::OfExtension(".txt"));

    // The next scan that ends gives the hint line back.
    window.Core.DisplayHint("the hint");
    window.Core.sLViewClick();
    EXPECT_EQ(window.View.Panels[0], "Stopped: the lists show what they showed before");
    window.View.StopScans = false;
    window.Core.sLViewClick();
    EXPECT_EQ(window.View.Panels[0], "the hint");

    // A stopped start-up shows nothing rather than half a folder.
    FakeWindow early;
    early.View.StopScans = true;
    early.Core.FormCreate({"/data/"});
    EXPECT_EQ(early.Core.TypeRows().RowCount(), 0u);
    EXPECT_EQ(early.Core.CurrentFolder(), "");
}

TEST(WindowScans, TheRowWithoutExtensionListsTheFilesItCounts)
{
    FakeWindow window;
    window.Platform.DirectorySource.Entries.push_back({"README", Attr::kArchive, 1, 0, 0, 0});
    window.Platform.DirectorySource.Entries.push_back({"Makefile", Attr::kArchive, 1, 0, 0, 0});
    window.OpenAndList("");
    EXPECT_EQ(window.Core.TypeRows().CellText(0, 2), "2");
    EXPECT_EQ(Names(window.Core.FileRows()), (std::vector<std::string>{"README", "Makefile"}));
    EXPECT_EQ(window.View.Panels[1], "Files: 2");
}

TEST(WindowKeys, EnterOnATypeRowListsItAsAClickDoes)
{
    FakeWindow window;
    window.Core.FormCreate({"/data/"});
    window.SelectType(".log");
    window.Core.sLViewKeyDown(0x41);
    EXPECT_EQ(window.Core.FileRows().RowCount(), 0u);
    window.Core.sLViewKeyDown(WindowCore::kKeyReturn);
    EXPECT_EQ(Names(window.Core.FileRows()), (std::vector<std::string>{"c.log"}));
}

TEST(WindowSaves, ANameWithoutExtensionGetsTheFiltersAndTheDialogOpensInTheWorkingFolder)
{
    FakeWindow window;
    window.Core.FormCreate({"/data/"});
    const std::map<int, std::string> saved = {{1, "/out/report.csv"}, {2, "/out/report.xml"}, {3, "/out/report.html"}};
    for (const auto& [filter, name] : saved) {
        window.View.SaveChoice = {"/out/report", filter};
        window.Core.Savefolderdetails1Click();
        EXPECT_EQ(window.Platform.ReportFiles.Files.count(name), 1u) << name;
    }
    EXPECT_EQ(window.View.SaveDialogFolder, "/work");

    // A name with an extension keeps it, and the format still follows the filter alone.
    window.View.SaveChoice = {"/out/files_xml.csv", 2};
    window.Core.Savefolderdetails1Click();
    EXPECT_EQ(window.Platform.ReportFiles.Files["/out/files_xml.csv"].rfind("<?xml", 0), 0u);
    window.View.SaveChoice = {"/out.d/files_xml", 2};
    window.Core.Savefolderdetails1Click();
    EXPECT_EQ(window.Platform.ReportFiles.Files.count("/out.d/files_xml.xml"), 1u)
        << "a dot in a folder's name is no extension";
}

TEST(WindowOpen, AFailedOpenSaysSoWithTheOpenersReason)
{
    FakeWindow window;
    window.OpenAndList(".txt");
    window.SelectFiles({"a.txt"});
    window.View.OpenFailure = "Unable to find terminal required for application";
    window.Core.LView2DblClick();
    ASSERT_EQ(window.View.Messages.size(), 1u);
    EXPECT_EQ(window.View.Messages[0],
              "Cannot open \"/data/a.txt\". Unable to find terminal required for application");

    window.View.OpenFailure.reset();
    window.Core.OpenfolderinExplorer1Click();
    EXPECT_EQ(window.View.Messages.size(), 1u);
}

} // namespace
} // namespace pellamy
