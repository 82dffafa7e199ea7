// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report's command line and console on Windows.
#include "cli/CommandLine.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace pellamy {
namespace {

// The program keeps paths with "/" between their parts; Windows takes either separator, and no
// Windows name holds a backslash, so every backslash of an argument is a separator.
std::string WithForwardSlashes(std::string text)
{
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

} // namespace

ReportStreams::ReportStreams()
{
    std::fflush(stdout);
    std::fflush(stderr);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    // UTF-8 reaches a console as UTF-8 while the program runs; the console gets its own code page
    // back afterwards.
    m_consoleCodePage = ::GetConsoleOutputCP();
    ::SetConsoleOutputCP(CP_UTF8);
}

ReportStreams::~ReportStreams()
{
    std::fflush(stdout);
    if (m_consoleCodePage != 0) {
        ::SetConsoleOutputCP(m_consoleCodePage);
    }
}

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argv + 1, argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        args.push_back(WithForwardSlashes(Utf8FromWide(wide[i])));
    }
    ::LocalFree(wide);
    return args;
}

std::string NavigatorFolder(const std::string& currentFolder)
{
    const std::wstring wide = WideFromUtf8(currentFolder);
    const DWORD length = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    const DWORD written = length == 0 ? 0 : ::GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    if (written == 0 || written >= length) {
        full = wide;
    } else {
        full.resize(written);
    }
    // A drive's root keeps its separator ("C:\"); every other folder stands without one.
    while (full.size() > 3 && (full.back() == L'\\' || full.back() == L'/')) {
        full.pop_back();
    }
    return Utf8FromWide(full);
}

bool StandardErrorIsTerminal()
{
    return ::_isatty(::_fileno(stderr)) != 0;
}

} // namespace pellamy
