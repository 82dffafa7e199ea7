// SPDX-License-Identifier: GPL-3.0-or-later
// window_bench FOLDER [COLUMN...]: builds the program's window in this process on FOLDER, drives it
// as a user would and prints one JSON object with each phase's wall time in seconds:
//   start     the window built and shown, its first folder's type summary filled and painted
//   list_all  the double click on the first type row that lists every file, the first screen of
//             rows painted
//   sorts     for each COLUMN of the file list (5, 1 and 3 unless given), two header clicks: the
//             first sorts one way, the second the other, each painted again
// with the rows of both lists and the process's working set after each phase and at its peak
// (KiB). A header click is the list view's LVN_COLUMNCLICK notification to the window, with the
// file list as its sender, as the list view sends it. Exit code 1 when the window shows no files.
#include "app/win32/ControlIds.h"
#include "app/win32/Dpi.h"
#include "app/win32/MainWindow.h"
#include "platform/Platform.h"
#include "platform/win32/WideText.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

using namespace pellamy;
using namespace pellamy::win32;

namespace {

std::size_t WorkingSetKiB(bool peak)
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) {
        return 0;
    }
    return (peak ? counters.PeakWorkingSetSize : counters.WorkingSetSize) / 1024;
}

/// Handles what the window has waiting and paints what the phase changed, as the message loop
/// would before the user sees the result.
void Settle(MainWindow& window)
{
    window.HandlePendingMessages();
    RedrawWindow(window.Handle(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    window.HandlePendingMessages();
}

struct Phase
{
    std::string Name;
    double Seconds = 0;
    std::size_t WorkingSetKiB = 0;
};

template <typename Step>
Phase Time(const std::string& name, MainWindow* window, Step step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    if (window != nullptr) {
        Settle(*window);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return Phase{name, seconds, WorkingSetKiB(false)};
}

void ClickHeader(MainWindow& window, int column)
{
    NMLISTVIEW click{};
    click.hdr.hwndFrom = window.Control(kLView2);
    click.hdr.idFrom = static_cast<UINT_PTR>(kLView2);
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(window.Handle(), WM_NOTIFY, static_cast<WPARAM>(kLView2), reinterpret_cast<LPARAM>(&click));
}

void PrintPhase(const Phase& phase, bool last)
{
    std::printf("    \"%s\": {\"seconds\": %.4f, \"working_set_kib\": %zu}%s\n", phase.Name.c_str(), phase.Seconds,
                phase.WorkingSetKiB, last ? "" : ",");
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_bench FOLDER [COLUMN...]\n");
        return 2;
    }
    // The program keeps paths with "/" between their parts; a Windows path may come with either.
    std::string folder = Utf8FromWide(argv[1]);
    std::replace(folder.begin(), folder.end(), '\\', '/');
    std::vector<int> columns;
    for (int arg = 2; arg < argc; ++arg) {
        columns.push_back(static_cast<int>(std::wcstol(argv[arg], nullptr, 10)));
    }
    if (columns.empty()) {
        columns = {5, 1, 3};
    }

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    BecomeDpiAware();
    const auto platform = MakePlatform();
    bool failed = false;
    std::vector<Phase> phases;
    {
        MainWindow* shown = nullptr;
        std::unique_ptr<MainWindow> window;
        // The first folder is read while the start message is handled: once the core has a
        // folder and no message waits, its summary is in the type list.
        phases.push_back(Time("start", nullptr, [&] {
            window = std::make_unique<MainWindow>(*platform, GetModuleHandleW(nullptr));
            window->ErrorReporter = [&failed](const std::string& message) {
                std::fprintf(stderr, "error: %s\n", message.c_str());
                failed = true;
            };
            window->MessageShower = [](const std::string& text) { std::fprintf(stderr, "message: %s\n", text.c_str()); };
            window->Show({folder});
            while (window->Core().CurrentFolder().empty() && !failed) {
                window->HandlePendingMessages();
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
            }
            Settle(*window);
        }));
        shown = window.get();
        const std::size_t types = shown->Core().TypeRows().RowCount();

        std::size_t files = 0;
        if (types > 0) {
            ListView_SetItemState(shown->Control(ksLView), 0, LVIS_SELECTED | LVIS_FOCUSED,
                                  LVIS_SELECTED | LVIS_FOCUSED);
            phases.push_back(Time("list_all", shown, [&] { shown->Core().sLViewDblClick(); }));
            files = shown->Core().FileRows().RowCount();
        }
        if (files > 0) {
            for (const int column : columns) {
                for (const char* click : {"a", "b"}) {
                    phases.push_back(Time("sort_" + std::to_string(column) + click, shown,
                                          [&] { ClickHeader(*shown, column); }));
                }
            }
        }
        const bool emptyFolder = types == 0 && !failed;
        std::printf("{\n  \"folder\": \"%s\",\n  \"type_rows\": %zu,\n  \"file_rows\": %zu,\n"
                    "  \"peak_working_set_kib\": %zu,\n  \"phases\": {\n",
                    folder.c_str(), types, files, WorkingSetKiB(true));
        for (std::size_t index = 0; index < phases.size(); ++index) {
            PrintPhase(phases[index], index + 1 == phases.size());
        }
        std::printf("  }\n}\n");
        std::fflush(stdout);
        if (!emptyFolder && files == 0) {
            std::fprintf(stderr, "window_bench: the window listed no files\n");
            failed = true;
        }
    }
    CoUninitialize();
    return failed ? 1 : 0;
}
