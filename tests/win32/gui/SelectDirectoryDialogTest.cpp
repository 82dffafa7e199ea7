// SPDX-License-Identifier: GPL-3.0-or-later
// The select-folder dialog shown for real under Wine and driven from a timer inside its modal loop:
// what it opens on, the "Confirm" question, creating a typed folder, and Cancel.
#include "ScreenCapture.h"
#include "app/win32/navigator/SelectDirectoryDialog.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32CaptionCollator.h"
#include "platform/win32/Win32FolderSystem.h"
#include "win32/Win32TempFolder.h"

#include <gtest/gtest.h>

namespace pellamy::win32 {
namespace {

// What the timer does in the dialog once it is shown.
std::function<void(HWND)> g_script;
SelectDirectoryDialog* g_dialog = nullptr;

void CALLBACK RunScript(HWND, UINT, UINT_PTR timer, DWORD)
{
    if (g_dialog == nullptr || g_dialog->Window() == nullptr || !IsWindowVisible(g_dialog->Window())) {
        return;
    }
    KillTimer(nullptr, timer);
    HWND window = g_dialog->Window();
    g_script(window);
    // Whatever the script left open is closed, so that a failing case cannot hang the test.
    if (IsWindow(window) && g_dialog->Window() != nullptr) {
        PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
    }
}

class SelectDirectoryDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        start = folders.WorkingFolder();
        for (const wchar_t* folder : {L"work", L"work\\alpha", L"work\\Beta", L"work\\gamma"}) {
            ASSERT_TRUE(CreateDirectoryW((temp / folder).c_str(), nullptr));
        }
        temp.WriteFile(L"work\\notes.txt");
        dialog.SetInitialDir(In("work"));
        dialog.SetConfirmQuestion([this](HWND, const std::wstring& caption, const std::wstring& text) {
            questions.push_back(Utf8FromWide(caption) + ": " + Utf8FromWide(text));
            return answer;
        });
        g_dialog = &dialog;
    }

    void TearDown() override
    {
        g_dialog = nullptr;
        folders.SetWorkingFolder(start);
    }

    // Shows the dialog and runs `script` in it once it is up.
    bool Run(std::function<void(HWND)> script)
    {
        g_script = std::move(script);
        SetTimer(nullptr, 0, 50, &RunScript);
        return dialog.Execute(nullptr);
    }

    static std::string Text(HWND window, int id)
    {
        wchar_t text[MAX_PATH] = {};
        GetDlgItemTextW(window, id, text, MAX_PATH);
        return Utf8FromWide(text);
    }

    // A click on a button: it takes the focus, then it is pressed.
    static void Press(HWND window, int id)
    {
        SetFocus(GetDlgItem(window, id));
        SendMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0);
    }

    std::string In(const std::string& name) const { return base + "/" + name; }
    std::string Shown(const std::string& name) const { return Utf8FromWide(temp / WideFromUtf8(name)); }

    Win32FolderSystem folders;
    Win32CaptionCollator collator;
    Win32TempFolder temp;
    std::string base = FolderNavigation::CleanPath(Utf8FromWide(temp.Path()));
    std::string start;
    SelectDirectoryDialog dialog{folders, collator};
    std::vector<std::string> questions;
    bool answer = true;
};

TEST_F(SelectDirectoryDialogTest, OpensOnTheInitialFolderAndCancelKeepsIt)
{
    std::string title;
    std::string edit;
    RECT client{};
    std::vector<FolderRow::Kind> kinds;
    std::vector<std::string> files;
    const bool confirmed = Run([&](HWND window) {
        wchar_t text[64] = {};
        GetWindowTextW(window, text, 64);
        title = Utf8FromWide(text);
        edit = Text(window, SelectDirectoryDialog::kNameEdit);
        GetClientRect(window, &client);
        for (const FolderRow& row : dialog.Rows()) {
            kinds.push_back(row.Role);
        }
        HWND fileList = GetDlgItem(window, SelectDirectoryDialog::kFileList);
        for (LRESULT i = 0; i < SendMessageW(fileList, LB_GETCOUNT, 0, 0); ++i) {
            wchar_t name[MAX_PATH] = {};
            SendMessageW(fileList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
            files.push_back(Utf8FromWide(name));
        }
        SaveScreenshot(window, "dialog");
        Press(window, IDCANCEL);
    });
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(dialog.Directory(), In("work"));
    EXPECT_EQ(title, "Select Directory");
    EXPECT_EQ(edit, Shown("work"));
    EXPECT_EQ(client.right, 424);
    EXPECT_EQ(client.bottom, 255);
    ASSERT_GE(kinds.size(), 4u);
    EXPECT_EQ(kinds[kinds.size() - 4], FolderRow::Kind::Open);
    EXPECT_EQ(kinds.back(), FolderRow::Kind::Sub);
    EXPECT_EQ(files, (std::vector<std::string>{"notes.txt"}));
    EXPECT_TRUE(questions.empty());
}

TEST_F(SelectDirectoryDialogTest, RowsOpenOnDoubleClickOrEnterAndOkReturnsTheTypedName)
{
    std::string afterDoubleClick;
    std::string afterEnter;
    const bool confirmed = Run([&](HWND window) {
        HWND list = GetDlgItem(window, SelectDirectoryDialog::kFolderList);
        const auto rowOf = [&](const std::string& name) {
            for (std::size_t i = 0; i < dialog.Rows().size(); ++i) {
                if (dialog.Rows()[i].Name == name) {
                    return static_cast<WPARAM>(i);
                }
            }
            return static_cast<WPARAM>(-1);
        };
        SendMessageW(list, LB_SETCURSEL, rowOf("Beta"), 0);
        SendMessageW(window, WM_COMMAND, MAKEWPARAM(SelectDirectoryDialog::kFolderList, LBN_DBLCLK),
                     reinterpret_cast<LPARAM>(list));
        afterDoubleClick = Text(window, SelectDirectoryDialog::kNameEdit);
        SetFocus(list);
        SendMessageW(list, LB_SETCURSEL, rowOf("work"), 0);
        SendMessageW(window, WM_COMMAND, IDOK, 0); // Enter in the list
        afterEnter = Text(window, SelectDirectoryDialog::kNameEdit);
        SetDlgItemTextW(window, SelectDirectoryDialog::kNameEdit, (temp / L"work\\gamma\\").c_str());
        Press(window, IDOK);
    });
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(afterDoubleClick, Shown("work\\Beta"));
    EXPECT_EQ(afterEnter, Shown("work"));
    EXPECT_EQ(dialog.Directory(), Shown("work\\gamma\\"));
    EXPECT_TRUE(questions.empty());
}

TEST_F(SelectDirectoryDialogTest, AMissingFolderIsCreatedOnlyWhenTheQuestionIsAnsweredYes)
{
    answer = false;
    bool stillShown = false;
    const bool confirmed = Run([&](HWND window) {
        SetDlgItemTextW(window, SelectDirectoryDialog::kNameEdit, L"new\\deeper");
        Press(window, IDOK);
        stillShown = IsWindow(window) && dialog.Window() != nullptr;
        answer = true;
        Press(window, IDOK);
    });
    EXPECT_TRUE(stillShown);
    EXPECT_TRUE(confirmed);
    EXPECT_EQ(questions, (std::vector<std::string>(
                             2, "Confirm: The specified directory does not exist. Create it?")));
    // A relative name is taken within the folder open in the dialog, and returned as typed.
    EXPECT_EQ(dialog.Directory(), "new\\deeper");
    EXPECT_TRUE(Win32TempFolder::Exists(temp / L"work\\new\\deeper"));
    EXPECT_EQ(FolderNavigation::CleanPath(folders.WorkingFolder()), In("work"));
}

TEST_F(SelectDirectoryDialogTest, AnAcceptedEmptyNameCannotBeCreated)
{
    EXPECT_THROW(Run([&](HWND window) {
                     SetDlgItemTextW(window, SelectDirectoryDialog::kNameEdit, L"");
                     Press(window, IDOK);
                 }),
                 DirectoryCreateError);
    EXPECT_EQ(questions.size(), 1u);
}

// Moved to a monitor of twice the scale while open, the dialog takes the size offered and its
// controls, their font and the drawn rows double with it.
TEST_F(SelectDirectoryDialogTest, AScaleChangeWhileOpenScalesTheControlsTheirFontAndTheRows)
{
    struct Reading
    {
        RECT Ok{};
        LONG Font = 0;
        LRESULT FolderRow = 0;
        LRESULT DriveRow = 0;
    };
    const auto read = [](HWND window) {
        Reading reading;
        GetWindowRect(GetDlgItem(window, IDOK), &reading.Ok);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&reading.Ok), 2);
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(window, SelectDirectoryDialog::kNameEdit, WM_GETFONT,
                                                               0, 0)),
                   sizeof font, &font);
        reading.Font = font.lfHeight;
        reading.FolderRow = SendDlgItemMessageW(window, SelectDirectoryDialog::kFolderList, LB_GETITEMHEIGHT, 0, 0);
        reading.DriveRow = SendDlgItemMessageW(window, SelectDirectoryDialog::kDriveBox, CB_GETITEMHEIGHT, 0, 0);
        return reading;
    };
    Reading before;
    Reading after;
    RECT client{};
    Run([&](HWND window) {
        before = read(window);
        RECT offered{0, 0, 2 * 424, 2 * 255};
        AdjustWindowRectEx(&offered, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
        OffsetRect(&offered, 10 - offered.left, 10 - offered.top);
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&offered));
        after = read(window);
        GetClientRect(window, &client);
        SaveScreenshot(window, "dialog-192dpi");
        Press(window, IDCANCEL);
    });
    EXPECT_EQ(client.right, 2 * 424);
    EXPECT_EQ(client.bottom, 2 * 255);
    EXPECT_EQ(after.Ok.left, 2 * before.Ok.left);
    EXPECT_EQ(after.Ok.top, 2 * before.Ok.top);
    EXPECT_EQ(after.Ok.right - after.Ok.left, 2 * (before.Ok.right - before.Ok.left));
    EXPECT_EQ(after.Font, 2 * before.Font);
    EXPECT_EQ(after.FolderRow, 2 * before.FolderRow);
    EXPECT_EQ(after.DriveRow, 2 * before.DriveRow);
}

} // namespace
} // namespace pellamy::win32
