// SPDX-License-Identifier: GPL-3.0-or-later
// What the window core asks of the window: its check boxes and panels, the lists, the wait for a
// scan, the dialogs and message boxes, the clipboard, opening files and their properties.
#include "app/win32/ControlIds.h"
#include "app/win32/MainWindow.h"
#include "app/win32/Skin.h"
#include "app/win32/navigator/FolderNavigator.h"
#include "app/win32/navigator/SelectDirectoryDialog.h"
#include "platform/win32/Win32Clipboard.h"
#include "platform/win32/WideText.h"
#include "window/ErrorReportText.h"

#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

namespace pellamy::win32 {
namespace {

/// Opens the clipboard for `owner`, waiting a little while another program holds it.
bool OpenClipboardFor(HWND owner)
{
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (OpenClipboard(owner)) {
            return true;
        }
        Sleep(10);
    }
    return false;
}

/// Places `bytes` (its size given) in a movable block under `format`; false when refused.
bool PlaceOnClipboard(UINT format, const void* bytes, std::size_t size)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) {
        return false;
    }
    std::memcpy(GlobalLock(block), bytes, size);
    GlobalUnlock(block);
    if (SetClipboardData(format, block) == nullptr) {
        GlobalFree(block);
        return false;
    }
    return true;
}

bool PlaceText(const std::string& bytes)
{
    const std::wstring text = WideFromUtf8(bytes);
    return PlaceOnClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

/// A page in the clipboard's HTML form: a header of offsets, then the page, its body marked as the
/// fragment that rich editors paste.
std::string HtmlClipboardForm(const std::string& page)
{
    std::string marked = page;
    const std::size_t bodyTag = marked.find("<body");
    std::size_t fragmentStart = bodyTag == std::string::npos ? std::string::npos : marked.find('>', bodyTag);
    fragmentStart = fragmentStart == std::string::npos ? 0 : fragmentStart + 1;
    marked.insert(fragmentStart, "<!--StartFragment-->");
    fragmentStart += 20;
    std::size_t fragmentEnd = marked.rfind("</body>");
    if (fragmentEnd == std::string::npos || fragmentEnd < fragmentStart) {
        fragmentEnd = marked.size();
    }
    marked.insert(fragmentEnd, "<!--EndFragment-->");
    const auto number = [](std::size_t value) {
        std::string text = std::to_string(value);
        return std::string(10 - std::min<std::size_t>(10, text.size()), '0') + text;
    };
    const std::size_t headerSize = std::string("Version:0.9\r\nStartHTML:\r\nEndHTML:\r\nStartFragment:\r\n"
                                               "EndFragment:\r\n").size() + 4 * 10;
    return "Version:0.9\r\nStartHTML:" + number(headerSize) + "\r\nEndHTML:" + number(headerSize + marked.size()) +
           "\r\nStartFragment:" + number(headerSize + fragmentStart) +
           "\r\nEndFragment:" + number(headerSize + fragmentEnd) + "\r\n" + marked;
}

/// The paths of a drop-list block as the core builds it: names as bytes after the header, each
/// ended by a NUL, the list by one more.
std::vector<std::string> DropListPaths(const std::string& block)
{
    std::vector<std::string> paths;
    std::size_t at = kDropFilesHeaderSize;
    while (at < block.size() && block[at] != '\0') {
        const std::size_t end = block.find('\0', at);
        paths.push_back(block.substr(at, end - at));
        at = end == std::string::npos ? block.size() : end + 1;
    }
    return paths;
}

int IdOf(WindowCheckBox box)
{
    switch (box) {
    case WindowCheckBox::ISF: return kISF;
    case WindowCheckBox::roFile: return kroFile;
    case WindowCheckBox::hidFile: return khidFile;
    case WindowCheckBox::sysFile: return ksysFile;
    case WindowCheckBox::arcFile: return karcFile;
    case WindowCheckBox::AttrChk: return kAttrChk;
    case WindowCheckBox::SubFolders: return kSubFolders;
    case WindowCheckBox::Useskin1: break;
    }
    return 0;
}

/// Runs the shell's `verb` (its default one when null) on `path`, without the shell's own message
/// boxes; false, with the reason in GetLastError, when it could not.
bool ShellExecuteOn(HWND owner, const std::string& path, const wchar_t* verb, ULONG mask)
{
    std::wstring file = WideFromUtf8(path);
    std::replace(file.begin(), file.end(), L'/', L'\\');
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = mask | SEE_MASK_FLAG_NO_UI;
    execute.hwnd = owner;
    execute.lpVerb = verb;
    execute.lpFile = file.c_str();
    execute.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&execute) != FALSE;
}

bool IsHeldInput(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_LBUTTONDOWN && message <= WM_MOUSELAST) || message == WM_CONTEXTMENU;
}

} // namespace

bool MainWindow::IsChecked(WindowCheckBox box) const
{
    if (box == WindowCheckBox::Useskin1) {
        return m_useSkin;
    }
    return Button_GetCheck(Control(IdOf(box))) == BST_CHECKED;
}

void MainWindow::SetChecked(WindowCheckBox box, bool checked)
{
    if (box == WindowCheckBox::Useskin1) {
        m_useSkin = checked;
        return;
    }
    Button_SetCheck(Control(IdOf(box)), checked ? BST_CHECKED : BST_UNCHECKED);
}

std::string MainWindow::NavigatorFolder() const
{
    return m_navigator->Directory();
}

void MainWindow::SetNavigatorFolder(const std::string& folder)
{
    m_navigator->SetDirectory(folder);
}

void MainWindow::SetTotalsLine(const std::string& text)
{
    m_totalsText = text;
    SetWindowTextW(m_totals, WideFromUtf8(text).c_str());
}

void MainWindow::SetStatusPanel(int panel, const std::string& text, bool repaintNow)
{
    if (panel < 0 || panel > 1) {
        return;
    }
    m_statusTexts[panel] = text;
    SendMessageW(m_statusBar, SB_SETTEXTW, static_cast<WPARAM>(panel), reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
    if (panel == 1) {
        LayoutStatusBar();
    }
    if (repaintNow) {
        UpdateWindow(m_statusBar);
    }
}

void MainWindow::SetStatusPanelTip(int panel, const std::string& tip)
{
    // Only the hint line has a tooltip: the folders a walk could not read.
    if (panel != 0 || m_statusTip == nullptr) {
        return;
    }
    m_statusTipText = WideFromUtf8(tip);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_statusBar;
    tool.uId = 1;
    tool.lpszText = m_statusTipText.data();
    SendMessageW(m_statusTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_statusTip, TTM_ACTIVATE, m_statusTipText.empty() ? FALSE : TRUE, 0);
}

void MainWindow::BeginListReset(WindowList list)
{
    List(list).BeginReset();
}

void MainWindow::EndListReset(WindowList list)
{
    List(list).EndReset();
}

void MainWindow::ReadSelection(WindowList list,
                               const std::function<void(std::size_t first, std::size_t last)>& range) const
{
    List(list).ReadSelection(range);
}

void MainWindow::SelectAllRows(WindowList list)
{
    List(list).SelectAll();
}

void MainWindow::HandleMessagesWhileWaiting(BackgroundWork& work)
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            work.Stop();
            return;
        }
        const bool ours = message.hwnd == m_window || IsChild(m_window, message.hwnd);
        if (ours && message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            work.Stop();
            continue;
        }
        if (ours && IsHeldInput(message.message)) {
            // Handled once the scan has ended, in its order, so no handler runs inside another.
            if (!(message.message == WM_KEYUP && message.wParam == VK_ESCAPE) &&
                !(message.message == WM_CHAR && message.wParam == 27)) {
                m_heldInput.push_back(message);
            }
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void MainWindow::WaitFor(BackgroundWork& work)
{
    m_waiting = &work;
    // Input that came before the scan's end is the scan's, however short the scan: Esc stops it,
    // anything else waits for it.
    HandleMessagesWhileWaiting(work);
    ULONGLONG lastProgress = GetTickCount64();
    while (!work.Finished()) {
        MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        HandleMessagesWhileWaiting(work);
        if (GetTickCount64() - lastProgress >= 100) {
            lastProgress = GetTickCount64();
            work.ShowProgress();
        }
    }
    m_waiting = nullptr;
    // The held input goes back into the queue, ahead of anything typed from now on.
    std::deque<MSG> held;
    held.swap(m_heldInput);
    for (const MSG& message : held) {
        PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
    }
    if (m_closeAfterScan) {
        m_closeAfterScan = false;
        PostMessageW(m_window, WM_CLOSE, 0, 0);
    }
}

void MainWindow::NudgeWindowWidth()
{
    RECT bounds;
    GetWindowRect(m_window, &bounds);
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    SetWindowPos(m_window, nullptr, 0, 0, width + 1, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(m_window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SetBusy(bool busy)
{
    m_busy = busy;
    SetCursor(LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::SetSkin(bool on)
{
    SetSkinActive(on);
    for (int id : {kISF, kroFile, khidFile, ksysFile, karcFile, kAttrChk, kStatusBar1}) {
        ApplySkinTheme(Control(id));
    }
    SendMessageW(m_statusBar, SB_SETBKCOLOR, 0, on ? static_cast<LPARAM>(CurrentColors().Face) : CLR_DEFAULT);
    m_types->ApplyColors();
    m_files->ApplyColors();
    m_navigator->ApplyColors();
    RedrawWindow(m_window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

bool MainWindow::AskYesNo(const std::string& question, const std::string& caption)
{
    if (QuestionAsker) {
        return QuestionAsker(question, caption);
    }
    return MessageBoxW(m_window, WideFromUtf8(question).c_str(), WideFromUtf8(caption).c_str(),
                       MB_YESNO | MB_ICONQUESTION) == IDYES;
}

bool MainWindow::RunSaveDialog(const std::string& folder, std::string& fileName, int& filterIndex)
{
    if (SaveDialogRunner) {
        return SaveDialogRunner(fileName, filterIndex);
    }
    // The dialog `SD1`: three filters, no title, no question before an existing file is replaced;
    // it offers the last name and filter again. The core gives a name without an extension the
    // chosen filter's, so the dialog adds none of its own.
    static constexpr wchar_t kFilter[] =
        L"CSV File(*.csv)\0*.csv\0XML File(*,xml)\0*.xml\0HTML File(*.html)\0*.html\0";
    std::wstring name = m_saveName;
    name.resize(std::max<std::size_t>(name.size() + 1, 32768), L'\0');
    const std::wstring initialFolder = WideFromUtf8(folder);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = m_window;
    dialog.lpstrFilter = kFilter;
    dialog.nFilterIndex = static_cast<DWORD>(m_saveFilter);
    dialog.lpstrFile = name.data();
    dialog.nMaxFile = static_cast<DWORD>(name.size());
    dialog.lpstrInitialDir = initialFolder.empty() ? nullptr : initialFolder.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!GetSaveFileNameW(&dialog)) {
        return false;
    }
    name.resize(wcslen(name.c_str()));
    m_saveName = name;
    m_saveFilter = static_cast<int>(dialog.nFilterIndex);
    fileName = Utf8FromWide(name);
    filterIndex = m_saveFilter;
    return true;
}

std::optional<std::string> MainWindow::RunSelectFolderDialog(FolderDialogUse use,
                                                             const std::optional<std::string>& initialFolder)
{
    if (FolderChooserRunner) {
        return FolderChooserRunner(use);
    }
    if (initialFolder) {
        m_dirs->SetInitialDir(*initialFolder);
    }
    if (!m_dirs->Execute(m_window)) {
        return std::nullopt;
    }
    // The folder as typed, with "/" between its parts as everywhere inside the program.
    std::string folder = m_dirs->Directory();
    std::replace(folder.begin(), folder.end(), '\\', '/');
    return folder;
}

void MainWindow::ShowMessage(const std::string& text)
{
    if (MessageShower) {
        MessageShower(text);
        return;
    }
    MessageBoxW(m_window, WideFromUtf8(text).c_str(), kWindowCaption, MB_OK);
}

void MainWindow::ShowErrorReport(const std::string& message)
{
    const std::string text = ErrorReportText(message);
    if (ErrorReporter) {
        ErrorReporter(text);
        return;
    }
    MessageBoxW(m_window, WideFromUtf8(text).c_str(), kWindowCaption, MB_OK | MB_ICONERROR);
}

void MainWindow::PutTextOnClipboard(std::string bytes)
{
    // The system keeps text as UTF-16: the report's bytes are let go once converted, so a long
    // report is held twice at most, never three times; the clipboard is held only to place it.
    const std::wstring text = WideFromUtf8(bytes);
    std::string().swap(bytes);
    if (!OpenClipboardFor(m_window)) {
        return;
    }
    EmptyClipboard();
    PlaceOnClipboard(CF_UNICODETEXT, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    CloseClipboard();
}

void MainWindow::PutTextOnClipboard(std::size_t size, const std::function<void(char* buffer)>& write)
{
    std::string bytes(size, '\0');
    write(bytes.data());
    PutTextOnClipboard(std::move(bytes));
}

bool MainWindow::PutOnClipboard(std::vector<ClipboardTarget> targets)
{
    // Files go on the clipboard in the system's own forms: the drop list with UTF-16 names and their
    // paths as text.
    for (const ClipboardTarget& target : targets) {
        if (target.mimeType == kDropFilesTarget) {
            return PutFilesOnClipboard(DropListPaths(target.bytes));
        }
    }
    if (!OpenClipboardFor(m_window)) {
        return false;
    }
    EmptyClipboard();
    bool placed = true;
    for (const ClipboardTarget& target : targets) {
        if (target.mimeType == kTextTarget) {
            placed = PlaceText(target.bytes) && placed;
        } else if (target.mimeType == kHtmlTarget) {
            const std::string form = HtmlClipboardForm(target.bytes);
            placed = PlaceOnClipboard(RegisterClipboardFormatW(L"HTML Format"), form.c_str(), form.size() + 1) && placed;
        }
    }
    CloseClipboard();
    return placed;
}

void MainWindow::Open(const std::string& path, std::function<void(const std::string& reason)> failed)
{
    // The system's own message boxes stay away: a failure is shown as the window shows it.
    if (!ShellExecuteOn(m_window, path, nullptr, SEE_MASK_NOASYNC)) {
        failed(Win32ErrorText(GetLastError()));
    }
}

void MainWindow::ShowProperties(const std::string& path)
{
    ShellExecuteOn(m_window, path, L"properties", SEE_MASK_INVOKEIDLIST);
}

} // namespace pellamy::win32
