// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32TreeSource.h"

#include "platform/win32/LongPaths.h"
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <cstring>
#include <memory>

namespace pellamy {
namespace {

// The file id query of Windows 8 and later, which the program's Windows 7 headers leave out; on
// older systems the query fails and the file index stands in.
constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
struct FileIdInformation
{
    ULONGLONG VolumeSerialNumber;
    BYTE Identifier[16];
};

// A path this long or longer may need the long form; LongPathForm decides.
constexpr std::size_t kMaybeLongPath = 200;

struct HandleCloser
{
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct FindCloser
{
    void operator()(HANDLE handle) const { ::FindClose(handle); }
};
using UniqueFind = std::unique_ptr<void, FindCloser>;

UniqueHandle OpenHandle(const std::wstring& path, DWORD share, DWORD flags)
{
    HANDLE handle = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr);
    return UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

FileTime FromFiletime(const FILETIME& time)
{
    return (static_cast<FileTime>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

bool IsDotOrDotDot(const wchar_t* name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsLongForm(const std::wstring& path)
{
    return path.size() >= 4 && path[0] == L'\\' && path[1] == L'\\' && (path[2] == L'?' || path[2] == L'.') &&
           path[3] == L'\\';
}

// `name` inside `folder`, both as the API takes them: a name is taken as it is once the folder's
// path is in the long form, and a path that grows past MAX_PATH is put in that form.
std::wstring ChildPath(const std::wstring& folder, std::wstring_view name)
{
    std::wstring path;
    path.reserve(folder.size() + 1 + name.size());
    path = folder;
    if (path.empty() || path.back() != L'\\') {
        path += L'\\';
    }
    path += name;
    if (path.size() >= kMaybeLongPath && !IsLongForm(path)) {
        return LongPathForm(path, L"");
    }
    return path;
}

// The volume serial number as both queries give it: GetFileInformationByHandle has its low 32
// bits only, so those are all that is compared, whichever query answered.
std::uint64_t VolumeOf(std::uint64_t serial)
{
    return serial & 0xFFFFFFFFull;
}

// The file's 128-bit id folded into 64 bits: on file systems whose ids fit in 64 bits (NTFS) the
// high half is zero and the id is the file index itself.
bool ReadFileId(HANDLE handle, std::uint64_t& id)
{
    FileIdInformation info{};
    if (!::GetFileInformationByHandleEx(handle, kFileIdInfo, &info, sizeof info)) {
        return false;
    }
    std::uint64_t low = 0;
    std::uint64_t high = 0;
    std::memcpy(&low, info.Identifier, sizeof low);
    std::memcpy(&high, info.Identifier + sizeof low, sizeof high);
    if (low == 0 && high == 0) {
        // A file system without 128-bit ids leaves the field zero.
        return false;
    }
    id = low ^ (high * 0x9E3779B97F4A7C15ull);
    return true;
}

// The identity of an open folder; `attributes` receives its attributes.
std::error_code ReadIdentity(HANDLE handle, FolderIdentity& identity, DWORD& attributes)
{
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) {
        return LastWin32Error();
    }
    attributes = info.dwFileAttributes;
    identity.Device = VolumeOf(info.dwVolumeSerialNumber);
    if (!ReadFileId(handle, identity.Inode)) {
        identity.Inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
    return {};
}

} // namespace

// A folder with sub-folders still to be read: its path as the API takes it, and its volume.
class Win32TreeSource::Folder final : public TreeFolder
{
public:
    Folder(std::wstring path, std::uint64_t volume)
        : Path(std::move(path))
        , Volume(volume)
    {}

    const std::wstring Path;
    const std::uint64_t Volume;
};

std::error_code Win32TreeSource::OpenRoot(const std::string& folder, FolderIdentity& identity)
{
    std::wstring path = SystemPath(folder.empty() ? std::string(".") : folder);
    if (path.empty()) {
        return std::make_error_code(std::errc::no_such_file_or_directory);
    }
    // A separator at the end is kept only where it belongs to the root ("C:\").
    while (path.size() > 1 && path.back() == L'\\' && path[path.size() - 2] != L':') {
        path.pop_back();
    }
    // The root may be reached through links, since the user named it.
    const UniqueHandle handle = OpenHandle(path, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, 0);
    if (!handle) {
        return LastWin32Error();
    }
    DWORD attributes = 0;
    if (const std::error_code error = ReadIdentity(handle.get(), identity, attributes)) {
        return error;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return std::make_error_code(std::errc::not_a_directory);
    }
    m_root = std::move(path);
    return {};
}

std::error_code Win32TreeSource::ReadFolder(const TreeFolderRef& parent, std::string_view folderName,
                                            const std::function<bool(const FolderIdentity&)>& enter,
                                            TreeFolderSink& sink, TreeFolderRef& children)
{
    // Every hold this source hands out is one of its own folders.
    const auto* parentFolder = static_cast<const Folder*>(parent.get());
    const std::wstring path =
        parentFolder == nullptr ? m_root : ChildPath(parentFolder->Path, WideFromUtf8(folderName));

    // Below the root the folder is opened as itself, never through a link, and without letting it
    // be renamed or deleted while it is read, so that the listing below reads this very folder.
    const DWORD share = parentFolder == nullptr ? FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE
                                                : FILE_SHARE_READ | FILE_SHARE_WRITE;
    const UniqueHandle handle = OpenHandle(path, share, parentFolder == nullptr ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
    if (!handle) {
        return LastWin32Error();
    }
    FolderIdentity identity;
    DWORD attributes = 0;
    if (const std::error_code error = ReadIdentity(handle.get(), identity, attributes)) {
        return error;
    }
    if (parentFolder != nullptr) {
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            // Made a link since its parent was listed: not entered, as with a link seen there.
            return std::make_error_code(std::errc::too_many_symbolic_link_levels);
        }
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            return std::make_error_code(std::errc::not_a_directory);
        }
        identity.IsMountRoot = identity.Device != parentFolder->Volume;
    }
    if (!enter(identity)) {
        return {};
    }

    WIN32_FIND_DATAW data{};
    UniqueFind find(::FindFirstFileExW(ChildPath(path, L"*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH));
    if (find.get() == INVALID_HANDLE_VALUE) {
        find.release();
        const DWORD code = ::GetLastError();
        // A drive root has no "." entry, so an empty one matches nothing: that is an empty folder.
        return code == ERROR_FILE_NOT_FOUND || code == ERROR_NO_MORE_FILES ? std::error_code() : Win32Error(code);
    }

    std::uint32_t position = 0;
    bool subFolders = false;
    TreeEntryView view;
    std::string name;
    do {
        if (IsDotOrDotDot(data.cFileName)) {
            continue;
        }
        const std::uint32_t at = position++;
        const DWORD entryAttributes = data.dwFileAttributes;
        const bool isLink = (entryAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        name = Utf8FromWide(data.cFileName);
        if ((entryAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 && !isLink) {
            sink.SubFolder(name, at);
            subFolders = true;
            continue;
        }
        if (!sink.WantsName(name)) {
            continue;
        }
        view.Entry.Name = name;
        view.Entry.Attributes = entryAttributes;
        view.Entry.CreationTime = FromFiletime(data.ftCreationTime);
        view.Entry.LastAccessTime = FromFiletime(data.ftLastAccessTime);
        view.Entry.LastWriteTime = FromFiletime(data.ftLastWriteTime);
        view.Entry.Size = static_cast<std::int64_t>((static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) |
                                                    data.nFileSizeLow);
        view.Position = at;
        view.Device = identity.Device;
        view.Inode = 0;
        view.Links = 1;
        // A link is described as itself and never opened: opening it could reach its target.
        if (!isLink) {
            const UniqueHandle file = OpenHandle(ChildPath(path, data.cFileName),
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                 FILE_FLAG_OPEN_REPARSE_POINT);
            BY_HANDLE_FILE_INFORMATION info{};
            if (!file) {
                const DWORD code = ::GetLastError();
                if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
                    continue; // vanished since it was listed
                }
                // Otherwise (a file in use by the system) it is counted as the listing shows it.
            } else if (::GetFileInformationByHandle(file.get(), &info)) {
                view.Device = VolumeOf(info.dwVolumeSerialNumber);
                view.Links = info.nNumberOfLinks == 0 ? 1 : info.nNumberOfLinks;
                // The 64-bit index is not unique on every file system: a file with several names
                // is known by its full id where there is one.
                if (view.Links < 2 || !ReadFileId(file.get(), view.Inode)) {
                    view.Inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
                }
            }
        }
        sink.File(view);
    } while (::FindNextFileW(find.get(), &data));

    const DWORD code = ::GetLastError();
    if (code != ERROR_NO_MORE_FILES) {
        return Win32Error(code);
    }
    if (subFolders) {
        children = std::make_shared<const Folder>(path, identity.Device);
    }
    return {};
}

} // namespace pellamy
