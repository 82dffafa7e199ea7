// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32FileOperations.h"

#include "platform/win32/LongPaths.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace pellamy {
namespace {

// Whether `source` still shows what the file list showed of it: its size, and for a link (a
// reparse point, listed as itself) its own write time too, so that a link put in the file's place
// since it was listed is never followed to another file.
std::error_code CheckListed(const std::string& source, const std::optional<ListedFile>& listed)
{
    if (!listed) {
        return {};
    }
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(SystemPath(source).c_str(), GetFileExInfoStandard, &data)) {
        return LastWin32Error();
    }
    const bool link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    const auto size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                                data.nFileSizeLow);
    const FileTime written = (static_cast<FileTime>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                             data.ftLastWriteTime.dwLowDateTime;
    if (size != listed->Size || (link && written != listed->LastWriteTime)) {
        return FileOperationError::ChangedSinceListed;
    }
    return {};
}

} // namespace

std::error_code Win32FileOperations::Copy(const std::string& source, const std::string& destination,
                                          bool failIfExists, const std::optional<ListedFile>& listed)
{
    if (const std::error_code changed = CheckListed(source, listed)) {
        return changed;
    }
    if (::CopyFileW(SystemPath(source).c_str(), SystemPath(destination).c_str(),
                    failIfExists ? TRUE : FALSE)) {
        return {};
    }
    return LastWin32Error();
}

std::error_code Win32FileOperations::Move(const std::string& source, const std::string& destination,
                                          bool replaceExisting, const std::optional<ListedFile>& listed)
{
    // A link moves as itself, so only the file's own identity matters here, as for a copy.
    if (const std::error_code changed = CheckListed(source, listed)) {
        return changed;
    }
    DWORD flags = MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;
    if (replaceExisting) {
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    if (::MoveFileExW(SystemPath(source).c_str(), SystemPath(destination).c_str(), flags)) {
        return {};
    }
    return LastWin32Error();
}

std::error_code Win32FileOperations::Remove(const std::string& path)
{
    if (::DeleteFileW(SystemPath(path).c_str())) {
        return {};
    }
    return LastWin32Error();
}

std::error_code OpenWithShell(const std::string& path)
{
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, nullptr, WideFromUtf8(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Values up to 32 are the shell's errors; the few it has map onto the system's codes.
    if (result > 32) {
        return {};
    }
    switch (result) {
    case 0:
    case SE_ERR_OOM:
        return std::make_error_code(std::errc::not_enough_memory);
    case SE_ERR_FNF:
        return Win32Error(ERROR_FILE_NOT_FOUND);
    case SE_ERR_PNF:
        return Win32Error(ERROR_PATH_NOT_FOUND);
    case SE_ERR_ACCESSDENIED:
        return Win32Error(ERROR_ACCESS_DENIED);
    default:
        return {static_cast<int>(result), std::system_category()};
    }
}

} // namespace pellamy
