// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32FolderSystem.h"

#include "platform/WorkingFolder.h"
#include "platform/win32/LongPaths.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <memory>

#include <winnetwk.h>

namespace pellamy {
namespace {

struct FindCloser
{
    void operator()(HANDLE handle) const { ::FindClose(handle); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

// Keeps the system from asking for a disc while a drive without a medium is examined; the
// thread's earlier error mode comes back when the guard goes.
class NoCriticalErrorBoxes
{
public:
    NoCriticalErrorBoxes() { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &m_previous); }
    NoCriticalErrorBoxes(const NoCriticalErrorBoxes&) = delete;
    NoCriticalErrorBoxes& operator=(const NoCriticalErrorBoxes&) = delete;
    ~NoCriticalErrorBoxes() { ::SetThreadErrorMode(m_previous, nullptr); }

private:
    DWORD m_previous = 0;
};

DriveKind KindOfDrive(UINT type)
{
    switch (type) {
    case DRIVE_REMOVABLE:
        return DriveKind::Removable;
    case DRIVE_FIXED:
        return DriveKind::Fixed;
    case DRIVE_REMOTE:
        return DriveKind::Remote;
    case DRIVE_CDROM:
        return DriveKind::CdRom;
    case DRIVE_RAMDISK:
        return DriveKind::RamDisk;
    default:
        return DriveKind::Unknown;
    }
}

std::string VolumeLabel(const std::wstring& root)
{
    wchar_t label[MAX_PATH + 1] = {};
    if (!::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0)) {
        return {};
    }
    return Utf8FromWide(label);
}

// The share a network drive ("X:") is connected to, as "\\server\share"; empty when unknown.
std::string NetworkShare(const std::wstring& device)
{
    wchar_t share[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH + 1;
    if (::WNetGetConnectionW(device.c_str(), share, &length) != NO_ERROR) {
        return {};
    }
    return Utf8FromWide(share);
}

bool IsDotOrDotDot(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsSeparator(char c)
{
    return c == '/' || c == '\\';
}

// The search pattern of everything in `folder`.
std::wstring AllEntriesOf(const std::string& folder)
{
    std::wstring pattern = SystemPath(folder.empty() ? std::string(".") : folder);
    if (pattern.back() != L'\\' && pattern.back() != L'/') {
        pattern += L'\\';
    }
    return pattern + L'*';
}

} // namespace

std::vector<Drive> Win32FolderSystem::MountedDrives()
{
    const NoCriticalErrorBoxes guard;
    std::vector<Drive> drives;
    const DWORD mask = ::GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if ((mask & (1u << letter)) == 0) {
            continue;
        }
        const wchar_t driveLetter = static_cast<wchar_t>(L'A' + letter);
        const std::wstring device{driveLetter, L':'};
        const std::wstring root = device + L'\\';
        Drive drive;
        drive.Root = Utf8FromWide(device) + "/";
        drive.Kind = KindOfDrive(::GetDriveTypeW(root.c_str()));
        drive.Label = VolumeLabel(root);
        if (drive.Kind == DriveKind::Remote) {
            drive.Source = NetworkShare(device);
        }
        drives.push_back(std::move(drive));
    }
    return drives;
}

FolderListing Win32FolderSystem::ReadFolderListing(const std::string& folder, bool withFiles,
                                                   std::error_code& error)
{
    return ReadFolderListing(folder, withFiles, error, std::stop_token());
}

FolderListing Win32FolderSystem::ReadFolderListing(const std::string& folder, bool withFiles,
                                                   std::error_code& error, std::stop_token stop)
{
    error.clear();
    FolderListing listing;
    WIN32_FIND_DATAW data{};
    UniqueFind find(::FindFirstFileExW(AllEntriesOf(folder).c_str(), FindExInfoBasic, &data,
                                       FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        const DWORD code = ::GetLastError();
        // A drive root has no "." entry, so an empty one matches nothing: that is an empty folder.
        if (code != ERROR_FILE_NOT_FOUND && code != ERROR_NO_MORE_FILES) {
            error = Win32Error(code);
        }
        return listing;
    }
    std::size_t read = 0;
    do {
        // A folder of a million entries takes seconds to read: the reader may give up between
        // entries.
        if (++read % 1024 == 0 && stop.stop_requested()) {
            error = std::make_error_code(std::errc::operation_canceled);
            return listing;
        }
        if (IsDotOrDotDot(data.cFileName) ||
            (data.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0) {
            continue;
        }
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            listing.Folders.push_back(Utf8FromWide(data.cFileName));
        } else if (withFiles) {
            listing.Files.push_back(Utf8FromWide(data.cFileName));
        }
    } while (::FindNextFileW(find.get(), &data));
    const DWORD code = ::GetLastError();
    if (code != ERROR_NO_MORE_FILES) {
        error = Win32Error(code);
    }
    return listing;
}

bool Win32FolderSystem::IsFolder(const std::string& path)
{
    if (path.empty()) {
        return false;
    }
    const DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FolderSystem::CanEnterFolder(const std::string& path)
{
    if (!IsFolder(path)) {
        return false;
    }
    // A folder may be entered when its entries may be listed.
    WIN32_FIND_DATAW data{};
    const HANDLE find = ::FindFirstFileExW(AllEntriesOf(path).c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) {
        return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    ::FindClose(find);
    return true;
}

bool Win32FolderSystem::SetWorkingFolder(const std::string& folder)
{
    const NoCriticalErrorBoxes guard;
    return IsFolder(folder) && ::SetCurrentDirectoryW(SystemPath(folder).c_str()) != 0;
}

bool Win32FolderSystem::MakeFolders(const std::string& folder)
{
    if (folder.empty()) {
        return false;
    }
    // Each prefix that ends before a separator is a parent; the folder itself comes last. A part
    // that cannot be made is passed over rather than ending the walk: the start of a path ("C:",
    // "//server/share") is no folder that can be created, yet the folders below it are.
    for (std::size_t end = 1; end <= folder.size(); ++end) {
        if (end < folder.size() && !IsSeparator(folder[end])) {
            continue;
        }
        const std::string part = folder.substr(0, end);
        if (!IsSeparator(part.back()) && !IsFolder(part)) {
            ::CreateDirectoryW(SystemPath(part).c_str(), nullptr);
        }
    }
    return IsFolder(folder);
}

std::string Win32FolderSystem::WorkingFolder()
{
    return pellamy::WorkingFolder();
}

} // namespace pellamy
