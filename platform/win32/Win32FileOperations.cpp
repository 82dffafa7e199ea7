// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32FileOperations.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

namespace pellamy {

std::error_code Win32FileOperations::Copy(const std::string& source, const std::string& destination,
                                          bool failIfExists)
{
    if (::CopyFileW(WideFromUtf8(source).c_str(), WideFromUtf8(destination).c_str(),
                    failIfExists ? TRUE : FALSE)) {
        return {};
    }
    return LastWin32Error();
}

std::error_code Win32FileOperations::Move(const std::string& source, const std::string& destination,
                                          bool replaceExisting)
{
    DWORD flags = MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH;
    if (replaceExisting) {
        flags |= MOVEFILE_REPLACE_EXISTING;
    }
    if (::MoveFileExW(WideFromUtf8(source).c_str(), WideFromUtf8(destination).c_str(), flags)) {
        return {};
    }
    return LastWin32Error();
}

std::error_code Win32FileOperations::Remove(const std::string& path)
{
    if (::DeleteFileW(WideFromUtf8(path).c_str())) {
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
