// SPDX-License-Identifier: GPL-3.0-or-later
// The folder navigator panel in a real window under Wine: the directory list's rows, the user's
// selections by message, the drive box following the list and picked drives.
#include "ScreenCapture.h"
#include "app/win32/ControlIds.h"
#include "app/win32/Dpi.h"
#include "app/win32/navigator/FolderNavigator.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32CaptionCollator.h"
#include "platform/win32/Win32FolderSystem.h"
#include "win32/Win32TempFolder.h"

#include <gtest/gtest.h>

#include <memory>

namespace pellamy::win32 {
namespace {

class FolderNavigatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        start = folders.WorkingFolder();
        for (const wchar_t* folder : {L"Program Files", L"Program Files\\alpha", L"Program Files\\Beta",
                                      L"Program Files\\Beta\\inner", L"Program Files\\gamma",
                                      L"Program Files\\secret", L"zeta"}) {
            ASSERT_TRUE(CreateDirectoryW((temp / folder).c_str(), nullptr));
        }
        SetFileAttributesW((temp / L"Program Files\\secret").c_str(), FILE_ATTRIBUTE_HIDDEN);
        top = CreateWindowExW(0, L"STATIC", L"Navigator", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 260, 320,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(top, nullptr);
        navigator = std::make_unique<FolderNavigator>(
            top, folders, collator,
            FolderNavigator::Events{[this] { clicks.push_back(navigator->Directory()); }, [this] { ++driveChanges; }});
        font = MakeWindowFont(96);
        navigator->SetFont(font, 96);
        navigator->Place(RECT{0, 0, 209, 249});
        PumpMessages();
    }

    void TearDown() override
    {
        navigator.reset();
        DestroyWindow(top);
        DeleteObject(font);
        folders.SetWorkingFolder(start);
    }

    std::string In(const std::string& name) const { return base + "/" + name; }

    std::vector<std::string> RowTexts() const
    {
        std::vector<std::string> texts;
        const LRESULT count = SendMessageW(navigator->DirectoryList(), LB_GETCOUNT, 0, 0);
        for (LRESULT row = 0; row < count; ++row) {
            wchar_t text[MAX_PATH] = {};
            SendMessageW(navigator->DirectoryList(), LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
            texts.push_back(Utf8FromWide(text));
        }
        return texts;
    }

    LRESULT Selected() const { return SendMessageW(navigator->DirectoryList(), LB_GETCURSEL, 0, 0); }
    LRESULT SelectedDrive() const { return SendMessageW(navigator->DriveBox(), CB_GETCURSEL, 0, 0); }

    // The index of the drive box's item for `root`, -1 when it has none.
    int DriveItem(const std::string& root) const
    {
        const std::vector<Drive> listed = navigator->Navigation().ListedDrives();
        for (std::size_t i = 0; i < listed.size(); ++i) {
            if (listed[i].Root == root) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    // The user selects `row` with the mouse: the list box moves its selection and notifies.
    void UserSelects(int row) const
    {
        HWND list = navigator->DirectoryList();
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
        SendMessageW(navigator->Panel(), WM_COMMAND, MAKEWPARAM(kdList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }

    void Key(HWND window, WPARAM key) const
    {
        SendMessageW(window, WM_KEYDOWN, key, 1);
        SendMessageW(window, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001u));
        PumpMessages();
    }

    Win32FolderSystem folders;
    Win32CaptionCollator collator;
    Win32TempFolder temp;
    std::string base = FolderNavigation::CleanPath(Utf8FromWide(temp.Path()));
    std::string start;
    HWND top = nullptr;
    HFONT font = nullptr;
    std::unique_ptr<FolderNavigator> navigator;
    std::vector<std::string> clicks;
    int driveChanges = 0;
};

TEST_F(FolderNavigatorTest, ControlsCarryTheWindowDefinitionsIdentifiersAndSizes)
{
    EXPECT_EQ(GetDlgCtrlID(navigator->Panel()), kPanel2);
    EXPECT_EQ(GetDlgCtrlID(navigator->DirectoryList()), kdList);
    EXPECT_EQ(GetDlgCtrlID(navigator->DriveBox()), kJvDriveCombo1);
    EXPECT_EQ(GetParent(navigator->Panel()), top);
    EXPECT_NE(GetWindowLongW(navigator->Panel(), GWL_EXSTYLE) & WS_EX_CONTROLPARENT, 0);
    // The list box shows its vertical scroll bar only when the rows overflow it, never a
    // horizontal one.
    const LONG style = GetWindowLongW(navigator->DirectoryList(), GWL_STYLE);
    EXPECT_EQ(style & WS_HSCROLL, 0);
    EXPECT_NE(style & LBS_OWNERDRAWFIXED, 0);
    EXPECT_EQ(SendMessageW(navigator->DirectoryList(), LB_GETITEMHEIGHT, 0, 0), 17);

    RECT list{};
    RECT box{};
    GetWindowRect(navigator->DirectoryList(), &list);
    GetWindowRect(navigator->DriveBox(), &box);
    EXPECT_EQ(list.bottom, box.top);
    EXPECT_EQ(box.right - box.left, 209);
    RECT field{};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(navigator->DriveBox(), CBEM_GETCOMBOCONTROL, 0, 0)), &field);
    EXPECT_EQ(field.bottom - field.top, 22);
}

TEST_F(FolderNavigatorTest, RowsShowTheChainTheOpenFolderAndItsVisibleSubFolders)
{
    navigator->SetDirectory(In("Program Files") + "\\");
    EXPECT_EQ(navigator->Directory(), In("Program Files"));
    EXPECT_EQ(FolderNavigation::CleanPath(folders.WorkingFolder()), In("Program Files"));
    const std::vector<std::string> rows = RowTexts();
    const std::size_t open = navigator->Navigation().OpenRow();
    ASSERT_EQ(rows.size(), open + 4);
    EXPECT_EQ(rows[open], "Program Files");
    EXPECT_EQ(std::vector<std::string>(rows.begin() + static_cast<long>(open) + 1, rows.end()),
              (std::vector<std::string>{"alpha", "Beta", "gamma"}));
    EXPECT_EQ(Selected(), static_cast<LRESULT>(open));
    EXPECT_EQ(SelectedDrive(), DriveItem("C:/"));
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(driveChanges, 0);
    SaveScreenshot(top, "navigator");
}

TEST_F(FolderNavigatorTest, SubFoldersReadInTheBackgroundFollowTheChain)
{
    navigator->ReadSubFoldersInBackground(true);
    navigator->SetDirectory(In("Program Files"));
    // The folder is open at once, its chain shown; its sub-folders arrive once read.
    EXPECT_EQ(navigator->Directory(), In("Program Files"));
    const std::size_t open = navigator->Navigation().OpenRow();
    EXPECT_EQ(RowTexts().size(), open + 1);
    for (int wait = 0; wait < 200 && RowTexts().size() == open + 1; ++wait) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
        PumpMessages();
    }
    const std::vector<std::string> rows = RowTexts();
    EXPECT_EQ(std::vector<std::string>(rows.begin() + static_cast<long>(open) + 1, rows.end()),
              (std::vector<std::string>{"alpha", "Beta", "gamma"}));
    EXPECT_EQ(Selected(), static_cast<LRESULT>(open));

    // A folder left before its reading ends keeps the rows of the folder opened after it.
    navigator->SetDirectory(In("Program Files/Beta"));
    navigator->SetDirectory(In("zeta"));
    for (int wait = 0; wait < 20; ++wait) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
        PumpMessages();
    }
    EXPECT_EQ(RowTexts().back(), "zeta");
    EXPECT_TRUE(clicks.empty());
}

TEST_F(FolderNavigatorTest, SelectingARowOpensItThenRaisesTheClick)
{
    navigator->SetDirectory(In("Program Files"));
    const int open = static_cast<int>(navigator->Navigation().OpenRow());
    UserSelects(open + 2); // "Beta"
    EXPECT_EQ(navigator->Directory(), In("Program Files/Beta"));
    EXPECT_EQ(RowTexts().back(), "inner");
    EXPECT_EQ(Selected(), open + 1);
    EXPECT_EQ(clicks, (std::vector<std::string>{In("Program Files/Beta")}));

    // The keyboard: up returns to the parent, down enters the first sub-folder.
    HWND list = navigator->DirectoryList();
    SetFocus(list);
    Key(list, VK_UP);
    EXPECT_EQ(navigator->Directory(), In("Program Files"));
    Key(list, VK_DOWN);
    EXPECT_EQ(navigator->Directory(), In("Program Files/alpha"));
    EXPECT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks.back(), In("Program Files/alpha"));

    // Enter opens the selected row again, without a click; the program's setting raises none.
    Key(list, VK_RETURN);
    navigator->SetDirectory(In("zeta"));
    EXPECT_EQ(navigator->Directory(), In("zeta"));
    EXPECT_EQ(clicks.size(), 3u);
    EXPECT_EQ(driveChanges, 0);
}

TEST_F(FolderNavigatorTest, TheDriveBoxFollowsTheListAndAPickedDriveOpensItsRoot)
{
    const int driveC = DriveItem("C:/");
    const int driveZ = DriveItem("Z:/");
    ASSERT_GE(driveC, 0);
    ASSERT_GE(driveZ, 0) << "Wine maps the host's root to Z:";
    EXPECT_EQ(SendMessageW(navigator->DriveBox(), CB_GETCOUNT, 0, 0),
              static_cast<LRESULT>(navigator->Navigation().ListedDrives().size()));

    navigator->SetDirectory(In("Program Files"));
    navigator->SetDirectory("z:\\");
    EXPECT_EQ(navigator->Directory(), "Z:/");
    EXPECT_EQ(SelectedDrive(), driveZ);
    EXPECT_EQ(driveChanges, 0);
    // A path with no drive letter changes neither the list nor the box.
    navigator->SetDirectory("\\");
    navigator->SetDirectory("\\\\server\\share");
    EXPECT_EQ(navigator->Directory(), "Z:/");
    EXPECT_EQ(SelectedDrive(), driveZ);

    // The user picks C: in the box with the keyboard: the list goes to its root, then the event.
    HWND combo = reinterpret_cast<HWND>(SendMessageW(navigator->DriveBox(), CBEM_GETCOMBOCONTROL, 0, 0));
    SetFocus(combo);
    SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(driveC), 0);
    SendMessageW(navigator->Panel(), WM_COMMAND, MAKEWPARAM(kJvDriveCombo1, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(navigator->DriveBox()));
    EXPECT_EQ(navigator->Directory(), "C:/");
    EXPECT_EQ(RowTexts().size(), navigator->Navigation().Rows().size());
    EXPECT_EQ(Selected(), 0);
    EXPECT_EQ(SelectedDrive(), driveC);
    EXPECT_EQ(driveChanges, 1);
    EXPECT_TRUE(clicks.empty());

    // Volume arrival or removal rebuilds the items quietly.
    navigator->DrivesChanged();
    EXPECT_EQ(SelectedDrive(), driveC);
    EXPECT_EQ(navigator->Directory(), "C:/");
    EXPECT_EQ(driveChanges, 1);
}

TEST_F(FolderNavigatorTest, KeysInTheDriveBoxReachThePanelThroughTheComboBoxEx)
{
    navigator->SetDirectory(In("Program Files"));
    const int driveC = DriveItem("C:/");
    const LRESULT count = SendMessageW(navigator->DriveBox(), CB_GETCOUNT, 0, 0);
    ASSERT_GT(count, driveC + 1) << "a drive after C: to move to";
    HWND combo = reinterpret_cast<HWND>(SendMessageW(navigator->DriveBox(), CBEM_GETCOMBOCONTROL, 0, 0));
    SetFocus(combo);
    Key(combo, VK_DOWN);
    const std::string root = navigator->Navigation().ListedDrives()[static_cast<std::size_t>(driveC) + 1].Root;
    EXPECT_EQ(driveChanges, 1);
    EXPECT_EQ(SelectedDrive(), FolderNavigation::SameFolder(navigator->Directory(), root) ? driveC + 1 : driveC);
}

} // namespace
} // namespace pellamy::win32
