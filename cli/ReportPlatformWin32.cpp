// SPDX-License-Identifier: GPL-3.0-or-later
// pellamy-report's platform on Windows: the Windows API for folders, files, the locale and the
// shell's type descriptions.
#include "cli/ReportPlatform.h"
#include "platform/win32/ShellTypeDescriptions.h"
#include "platform/win32/WideText.h"
#include "platform/win32/Win32CaptionCollator.h"
#include "platform/win32/Win32DirectorySource.h"
#include "platform/win32/Win32RegionalSettings.h"
#include "platform/win32/Win32ReportFiles.h"
#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace pellamy {
namespace {

class Win32ReportPlatform final : public ReportPlatform
{
public:
    // UTF-8 reaches a console as UTF-8 while the program runs; the console gets its own code page
    // back afterwards.
    Win32ReportPlatform()
        : m_consoleCodePage(::GetConsoleOutputCP())
    {
        ::SetConsoleOutputCP(CP_UTF8);
    }
    Win32ReportPlatform(const Win32ReportPlatform&) = delete;
    Win32ReportPlatform& operator=(const Win32ReportPlatform&) = delete;
    ~Win32ReportPlatform() override
    {
        std::fflush(stdout);
        if (m_consoleCodePage != 0) {
            ::SetConsoleOutputCP(m_consoleCodePage);
        }
    }

    DirectorySource& Directory() override { return m_directory; }
    TypeInfoSource& Types() override { return m_types; }
    const TextCollator& Collator() const override { return m_collator; }
    RegionalSettings Settings() const override { return Win32RegionalSettings(); }
    const ReportFiles& Files() const override { return m_files; }
    // Trees are walked by the POSIX layer only, so far.
    TreeSource* Tree() override { return nullptr; }

private:
    Win32DirectorySource m_directory;
    ShellTypeDescriptions m_types;
    Win32CaptionCollator m_collator;
    Win32ReportFiles m_files;
    UINT m_consoleCodePage;
};

// The program keeps paths with "/" between their parts; Windows takes either separator, and no
// Windows name holds a backslash, so every backslash of an argument is a separator.
std::string WithForwardSlashes(std::string text)
{
    std::replace(text.begin(), text.end(), '\\', '/');
    return text;
}

} // namespace

std::unique_ptr<ReportPlatform> MakeReportPlatform()
{
    std::fflush(stdout);
    std::fflush(stderr);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);
    return std::make_unique<Win32ReportPlatform>();
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
