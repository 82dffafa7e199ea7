// SPDX-License-Identifier: GPL-3.0-or-later
// The program's entry on Windows: the window over the Windows platform, opened on the folder or
// file named by the command line.
#include "app/win32/MainWindow.h"
#include "platform/Platform.h"
#include "platform/win32/WideText.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <string>
#include <vector>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    // The shell's calls (icons, display names, properties) want a single-threaded apartment.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> args;
    for (int index = 1; index < count; ++index) {
        args.push_back(pellamy::Utf8FromWide(arguments[index]));
    }
    LocalFree(arguments);

    const auto platform = pellamy::MakePlatform();
    pellamy::win32::MainWindow window(*platform, instance);
    window.Show(std::move(args), showCommand);
    const int code = window.Run();
    CoUninitialize();
    return code;
}
