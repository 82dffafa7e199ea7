// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_WIN32_WIN32TEMPFOLDER_H
#define PELLAMY_TESTS_WIN32_WIN32TEMPFOLDER_H

#include "platform/win32/WindowsApi.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace pellamy {

/// A new empty folder in the user's temporary folder, removed with everything in it (read-only,
/// hidden and system files too) when the object goes.
class Win32TempFolder
{
public:
    Win32TempFolder()
    {
        wchar_t temp[MAX_PATH + 1];
        const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
        EXPECT_GT(length, 0u);
        static unsigned counter = 0;
        for (;;) {
            wchar_t name[64];
            ::swprintf(name, 64, L"pellamy-test-%lu-%u", ::GetCurrentProcessId(), counter++);
            m_path = std::wstring(temp, length) + name;
            if (::CreateDirectoryW(m_path.c_str(), nullptr)) {
                break;
            }
            if (::GetLastError() != ERROR_ALREADY_EXISTS) {
                ADD_FAILURE() << "cannot create a temporary folder";
                break;
            }
        }
    }
    Win32TempFolder(const Win32TempFolder&) = delete;
    Win32TempFolder& operator=(const Win32TempFolder&) = delete;
    // Removed through the long form, so that folders made past the length limit go too.
    ~Win32TempFolder() { RemoveTree(L"\\\\?\\" + m_path); }

    /// The folder, without a separator at its end.
    const std::wstring& Path() const { return m_path; }

    /// `name` inside the folder.
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

    /// Creates the file `name` with `content`; its full path.
    std::wstring WriteFile(const std::wstring& name, const std::string& content = {}) const
    {
        const std::wstring path = *this / name;
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(file, INVALID_HANDLE_VALUE) << "cannot create a test file";
        if (file != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            EXPECT_TRUE(
                content.empty() ||
                ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
            ::CloseHandle(file);
        }
        return path;
    }

    /// The whole content of the file `path`; empty when it cannot be read.
    static std::string ReadFile(const std::wstring& path)
    {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        std::string content;
        if (file == INVALID_HANDLE_VALUE) {
            return content;
        }
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
            content.append(buffer, read);
        }
        ::CloseHandle(file);
        return content;
    }

    static bool Exists(const std::wstring& path)
    {
        return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

private:
    static void RemoveTree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW data;
        HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = data.cFileName;
                if (name == L"." || name == L"..") {
                    continue;
                }
                const std::wstring path = folder + L"\\" + name;
                ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if ((data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
                    // A link or junction goes as itself, never with what it leads to.
                    if (!::RemoveDirectoryW(path.c_str())) {
                        ::DeleteFileW(path.c_str());
                    }
                } else if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                    RemoveTree(path);
                } else {
                    ::DeleteFileW(path.c_str());
                }
            } while (::FindNextFileW(find, &data));
            ::FindClose(find);
        }
        ::RemoveDirectoryW(folder.c_str());
    }

    std::wstring m_path;
};

} // namespace pellamy

#endif
