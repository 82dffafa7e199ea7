// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32DirectorySource.h"

#include "platform/win32/LongPaths.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <memory>

namespace pellamy {
namespace {

// How often the sink hears how far the enumeration got.
constexpr std::uint64_t kProgressEvery = 4096;

struct FindCloser
{
    void operator()(HANDLE handle) const { ::FindClose(handle); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

FileTime FromFiletime(const FILETIME& time)
{
    return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool IsDotOrDotDot(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

} // namespace

std::error_code Win32DirectorySource::Enumerate(const std::string& folder, DirectorySink& sink)
{
    std::wstring pattern = SystemPath(folder.empty() ? std::string(".") : folder);
    if (pattern.back() != L'\\' && pattern.back() != L'/') {
        pattern += L'\\';
    }
    pattern += L'*';

    WIN32_FIND_DATAW data{};
    UniqueFind find(::FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        const DWORD code = ::GetLastError();
        // A drive root has no "." entry, so an empty one matches nothing: that is an empty folder.
        return code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES ? std::error_code()
                                                                           : Win32Error(code);
    }

    std::uint64_t namesRead = 0;
    do {
        if (IsDotOrDotDot(data.cFileName)) {
            continue;
        }
        if (++namesRead % kProgressEvery == 0) {
            sink.Progress(namesRead);
            if (sink.StopRequested()) {
                return std::make_error_code(std::errc::operation_canceled);
            }
        }
        const std::string name = Utf8FromWide(data.cFileName);
        if (!sink.WantsName(name)) {
            continue;
        }
        DirectoryEntryView entry;
        entry.Name = name;
        entry.Attributes = data.dwFileAttributes;
        entry.CreationTime = FromFiletime(data.ftCreationTime);
        entry.LastAccessTime = FromFiletime(data.ftLastAccessTime);
        entry.LastWriteTime = FromFiletime(data.ftLastWriteTime);
        entry.Size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                               data.nFileSizeLow);
        sink.Accept(entry);
    } while (::FindNextFileW(find.get(), &data));

    const DWORD code = ::GetLastError();
    return code == ERROR_NO_MORE_FILES ? std::error_code() : Win32Error(code);
}

std::uint32_t Win32DirectorySource::ReadAttributes(const std::string& path)
{
    // INVALID_FILE_ATTRIBUTES has every bit set, which is what the core expects of a failed read.
    return ::GetFileAttributesW(SystemPath(path).c_str());
}

} // namespace pellamy
