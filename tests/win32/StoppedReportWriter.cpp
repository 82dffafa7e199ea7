// SPDX-License-Identifier: GPL-3.0-or-later
// Starts a report file, writes part of it, says so by creating the file named by its second
// argument, and waits to be stopped from outside: what a stopped program leaves behind.
#include "platform/win32/Win32ReportFiles.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <variant>

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        return 2;
    }
    pellamy::Win32ReportFiles files;
    auto opened = files.Open(pellamy::Utf8FromWide(argv[1]));
    auto* writer = std::get_if<std::unique_ptr<pellamy::ReportFileWriter>>(&opened);
    if (writer == nullptr || (*writer)->Write("Name,Size\r\npart")) {
        return 1;
    }
    HANDLE marker = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ::CloseHandle(marker);
    ::Sleep(INFINITE);
    return 0;
}
