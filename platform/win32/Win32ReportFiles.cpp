// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32ReportFiles.h"

#include "platform/win32/LongPaths.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cwchar>
#include <memory>
#include <string>

namespace pellamy {
namespace {

constexpr const char* kStreamWriteError = "Stream write error";

// The reason as the user reads it: the portable text where the error has one, else the system's.
std::string ReasonText(DWORD code)
{
    const std::error_code error = Win32Error(code);
    return error.category() == std::generic_category() ? error.message() : Win32ErrorText(code);
}

std::string CannotCreate(const std::wstring& shown, const std::string& reason)
{
    return "Cannot create file \"" + Utf8FromWide(WithoutLongPrefix(shown)) + "\". " + reason;
}

// A name for the report while it is written, in the target's folder, not yet taken.
std::wstring TemporaryName(const std::wstring& target, unsigned attempt)
{
    static std::atomic<unsigned> counter{0};
    const auto slash = target.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? std::wstring() : target.substr(0, slash + 1);
    wchar_t suffix[64];
    ::swprintf(suffix, 64, L"~pellamy-%lx-%x-%u.tmp", ::GetCurrentProcessId(), counter++, attempt);
    return folder + suffix;
}

// Marks an open file to be deleted when its last handle closes, or takes the mark away. A report
// being written is so marked: however the program ends before the report is placed, by a failure
// or by being stopped, the system removes the unfinished file with the program's handles.
bool MarkForDeletion(HANDLE file, bool deleted)
{
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = deleted ? TRUE : FALSE;
    return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition) != 0;
}

class Win32ReportWriter final : public ReportFileWriter
{
public:
    // `temporary` empty: the bytes go straight to `handle` (a device). `marked`: the temporary
    // file is marked for deletion until it is placed.
    Win32ReportWriter(HANDLE handle, std::wstring target, std::wstring temporary, bool marked = false)
        : m_handle(handle)
        , m_target(std::move(target))
        , m_temporary(std::move(temporary))
        , m_marked(marked)
    {}

    ~Win32ReportWriter() override
    {
        Close();
        if (!m_temporary.empty() && !m_committed) {
            ::DeleteFileW(m_temporary.c_str());
        }
    }

    std::optional<std::string> Write(std::string_view bytes) override
    {
        if (m_failed) {
            return kStreamWriteError;
        }
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            if (!::WriteFile(m_handle, bytes.data(), chunk, &written, nullptr) || written == 0) {
                m_failed = true;
                return kStreamWriteError;
            }
            bytes.remove_prefix(written);
        }
        return std::nullopt;
    }

    std::optional<std::string> Commit() override
    {
        if (m_failed) {
            return kStreamWriteError;
        }
        if (m_temporary.empty()) {
            Close();
            m_committed = true;
            return std::nullopt;
        }
        if (!::FlushFileBuffers(m_handle) || (m_marked && !MarkForDeletion(m_handle, false))) {
            m_failed = true;
            return kStreamWriteError;
        }
        Close();
        const DWORD attributes = ::GetFileAttributesW(m_target.c_str());
        bool placed = false;
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            placed = ::ReplaceFileW(m_target.c_str(), m_temporary.c_str(), nullptr,
                                    REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
        }
        if (!placed && !::MoveFileExW(m_temporary.c_str(), m_target.c_str(),
                                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            m_failed = true;
            return CannotCreate(m_target, ReasonText(::GetLastError()));
        }
        m_committed = true;
        return std::nullopt;
    }

private:
    void Close()
    {
        if (m_handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(m_handle);
            m_handle = INVALID_HANDLE_VALUE;
        }
    }

    HANDLE m_handle;
    std::wstring m_target;
    std::wstring m_temporary;
    bool m_marked = false;
    bool m_failed = false;
    bool m_committed = false;
};

// A file that keeps its place, in a folder that takes no new files: the report is collected in a
// temporary file of the user's temporary folder, removed by the system however the program ends,
// and copied into the target only once its length is known and the room for it is taken.
class InPlaceWriter final : public ReportFileWriter
{
public:
    InPlaceWriter(HANDLE target, HANDLE spool)
        : m_target(target)
        , m_spool(spool)
    {}

    ~InPlaceWriter() override
    {
        ::CloseHandle(m_target);
        ::CloseHandle(m_spool);
    }

    std::optional<std::string> Write(std::string_view bytes) override
    {
        while (!m_failed && !bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            m_failed = !::WriteFile(m_spool, bytes.data(), chunk, &written, nullptr) || written == 0;
            m_length += written;
            bytes.remove_prefix(written);
        }
        return m_failed ? std::optional<std::string>(kStreamWriteError) : std::nullopt;
    }

    std::optional<std::string> Commit() override
    {
        if (m_failed) {
            return kStreamWriteError;
        }
        m_failed = true;
        // A full disk fails while the room is taken, before a byte of the file has changed.
        LARGE_INTEGER length{};
        length.QuadPart = static_cast<LONGLONG>(m_length);
        FILE_ALLOCATION_INFO room{};
        room.AllocationSize = length;
        // File systems that cannot take the room ahead take the bytes as they come.
        if (!::SetFileInformationByHandle(m_target, FileAllocationInfo, &room, sizeof room)) {
            const DWORD code = ::GetLastError();
            if (code != ERROR_INVALID_PARAMETER && code != ERROR_NOT_SUPPORTED && code != ERROR_INVALID_FUNCTION &&
                code != ERROR_CALL_NOT_IMPLEMENTED) {
                return kStreamWriteError;
            }
        }
        LARGE_INTEGER start{};
        if (!::SetFilePointerEx(m_spool, start, nullptr, FILE_BEGIN) ||
            !::SetFilePointerEx(m_target, start, nullptr, FILE_BEGIN)) {
            return kStreamWriteError;
        }
        std::string buffer(1 << 20, '\0');
        for (std::uint64_t left = m_length; left > 0;) {
            DWORD read = 0;
            const DWORD wanted = static_cast<DWORD>(std::min<std::uint64_t>(left, buffer.size()));
            DWORD written = 0;
            if (!::ReadFile(m_spool, buffer.data(), wanted, &read, nullptr) || read == 0 ||
                !::WriteFile(m_target, buffer.data(), read, &written, nullptr) || written != read) {
                return kStreamWriteError;
            }
            left -= read;
        }
        if (!::SetFilePointerEx(m_target, length, nullptr, FILE_BEGIN) || !::SetEndOfFile(m_target) ||
            !::FlushFileBuffers(m_target)) {
            return kStreamWriteError;
        }
        return std::nullopt;
    }

private:
    HANDLE m_target;
    HANDLE m_spool;
    std::uint64_t m_length = 0;
    bool m_failed = false;
};

// A temporary file in the user's temporary folder, deleted when it is closed.
HANDLE CreateSpool()
{
    std::wstring folder(MAX_PATH + 1, L'\0');
    folder.resize(::GetTempPathW(static_cast<DWORD>(folder.size()), folder.data()));
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::wstring name = TemporaryName(folder + L"report", attempt);
        HANDLE spool = ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (spool != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) {
            return spool;
        }
    }
    return INVALID_HANDLE_VALUE;
}

} // namespace

ReportFiles::Opened Win32ReportFiles::Open(const std::string& path) const
{
    const std::wstring target = SystemPath(path);
    struct HandleCloser
    {
        void operator()(void* handle) const { ::CloseHandle(handle); }
    };
    std::unique_ptr<void, HandleCloser> writable;
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            return CannotCreate(target, std::make_error_code(std::errc::is_a_directory).message());
        }
        if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            return CannotCreate(target, std::make_error_code(std::errc::permission_denied).message());
        }
        // A device answers to its name anywhere; it is written as it is.
        HANDLE existing = ::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (existing == INVALID_HANDLE_VALUE) {
            return CannotCreate(target, ReasonText(::GetLastError()));
        }
        if (::GetFileType(existing) != FILE_TYPE_DISK) {
            return std::make_unique<Win32ReportWriter>(existing, target, std::wstring());
        }
        // Kept open: should the folder take no new files, the file is written where it is.
        writable.reset(existing);
    }
    for (unsigned attempt = 0;; ++attempt) {
        std::wstring temporary = TemporaryName(target, attempt);
        HANDLE handle = ::CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            // Where the file system cannot mark it, the file is still removed on every failure the
            // program sees; only a program stopped from outside leaves it.
            const bool marked = MarkForDeletion(handle, true);
            return std::make_unique<Win32ReportWriter>(handle, target, std::move(temporary), marked);
        }
        const DWORD code = ::GetLastError();
        if (code == ERROR_ACCESS_DENIED && writable) {
            HANDLE spool = CreateSpool();
            if (spool == INVALID_HANDLE_VALUE) {
                return CannotCreate(target, ReasonText(::GetLastError()));
            }
            return std::make_unique<InPlaceWriter>(writable.release(), spool);
        }
        if ((code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) || attempt >= 100) {
            return CannotCreate(target, ReasonText(code));
        }
    }
}

} // namespace pellamy
