// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_WIN32_WIN32PROCESS_H
#define PELLAMY_TESTS_WIN32_WIN32PROCESS_H

#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <string>

namespace pellamy {

/// What a program run to its end left behind.
struct ProcessResult
{
    DWORD ExitCode = 0xFFFFFFFF;
    std::string Output; // standard output
    std::string Errors; // standard error
};

/// A Windows path for a file of the build tree, which the build names by its Unix path when
/// cross-built: under Wine the drive Z: is the Unix root.
inline std::wstring BuildTreePath(const std::string& path)
{
    std::wstring wide(path.begin(), path.end());
    if (!wide.empty() && wide[0] == L'/') {
        wide = L"Z:" + wide;
    }
    return wide;
}

/// Runs `commandLine` (the program first, quoted as needed) with its standard output and error in
/// files of `scratch`, waits for it and returns what it wrote and its exit code.
inline ProcessResult RunProcess(const std::wstring& commandLine, const std::wstring& scratch)
{
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const std::wstring outPath = scratch + L"\\stdout.bin";
    const std::wstring errPath = scratch + L"\\stderr.bin";
    HANDLE out =
        ::CreateFileW(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    HANDLE err =
        ::CreateFileW(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    ProcessResult result;
    if (::CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                         &process)) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::GetExitCodeProcess(process.hProcess, &result.ExitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    } else {
        ADD_FAILURE() << "cannot start the program, error " << ::GetLastError();
    }
    ::CloseHandle(out);
    ::CloseHandle(err);
    const auto read = [](const std::wstring& path) {
        std::string content;
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        char buffer[4096];
        DWORD got = 0;
        while (file != INVALID_HANDLE_VALUE && ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) &&
               got > 0) {
            content.append(buffer, got);
        }
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
        }
        ::DeleteFileW(path.c_str());
        return content;
    };
    result.Output = read(outPath);
    result.Errors = read(errPath);
    return result;
}

} // namespace pellamy

#endif
