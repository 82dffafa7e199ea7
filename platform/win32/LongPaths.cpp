// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/LongPaths.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <algorithm>
#include <array>
#include <cwctype>
#include <vector>

namespace pellamy {
namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";
// The longest path the API takes in its normal form: MAX_PATH less the terminating NUL, and less
// the 8.3 name a new folder must leave room for (CreateDirectoryW refuses from 248 on).
constexpr std::size_t kLongestNormalPath = 247;

bool IsSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

bool IsDriveLetter(wchar_t c)
{
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
}

bool SameTextCaseless(std::wstring_view a, std::wstring_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](wchar_t x, wchar_t y) {
               return std::towupper(x) == std::towupper(y);
           });
}

// The names Windows keeps for its legacy devices, which a path of the name alone stands for.
bool IsLegacyDevice(std::wstring_view name)
{
    while (!name.empty() && (name.back() == L'.' || name.back() == L' ' || name.back() == L':')) {
        name.remove_suffix(1);
    }
    static constexpr std::array<std::wstring_view, 6> kPlain = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    if (std::any_of(kPlain.begin(), kPlain.end(), [&](std::wstring_view device) { return SameTextCaseless(name, device); })) {
        return true;
    }
    return name.size() == 4 && (SameTextCaseless(name.substr(0, 3), L"COM") || SameTextCaseless(name.substr(0, 3), L"LPT")) &&
           name[3] >= L'1' && name[3] <= L'9';
}

// Splits at separators, dropping empty names (runs of separators count as one).
std::vector<std::wstring> Names(std::wstring_view path)
{
    std::vector<std::wstring> names;
    std::wstring name;
    for (wchar_t c : path) {
        if (IsSeparator(c)) {
            if (!name.empty()) {
                names.push_back(std::move(name));
                name.clear();
            }
        } else {
            name += c;
        }
    }
    if (!name.empty()) {
        names.push_back(std::move(name));
    }
    return names;
}

} // namespace

std::wstring LongPathForm(std::wstring_view path, std::wstring_view currentFolder)
{
    if (path.empty()) {
        return {};
    }
    if (path.substr(0, 4) == kLongPrefix || (path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
                                             (path[2] == L'?' || path[2] == L'.') && IsSeparator(path[3]))) {
        return std::wstring(path);
    }
    if (IsLegacyDevice(path)) {
        std::wstring device(path);
        while (!device.empty() && (device.back() == L'.' || device.back() == L' ' || device.back() == L':')) {
            device.pop_back();
        }
        return std::wstring(kDevicePrefix) + device;
    }

    // The root (a drive "C:" or a share "\\server\share") and the names below it.
    std::wstring root;
    std::wstring_view rest;
    bool unc = false;
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        const std::vector<std::wstring> parts = Names(path);
        unc = true;
        root = L"\\\\" + (parts.empty() ? std::wstring() : parts[0]) + L"\\" + (parts.size() > 1 ? parts[1] : L"");
        std::size_t skipped = 0;
        std::size_t at = 0;
        while (at < path.size() && skipped < 2) {
            while (at < path.size() && IsSeparator(path[at])) {
                ++at;
            }
            while (at < path.size() && !IsSeparator(path[at])) {
                ++at;
            }
            ++skipped;
        }
        rest = path.substr(at);
    } else if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == L':') {
        root = std::wstring(1, static_cast<wchar_t>(std::towupper(path[0]))) + L":";
        rest = path.substr(2);
        if (rest.empty() || !IsSeparator(rest[0])) {
            // "C:name" is relative to the drive's working folder: the working folder when it is on
            // that drive, else the drive's root.
            const std::wstring current(currentFolder);
            const bool sameDrive = current.size() >= 2 && SameTextCaseless(current.substr(0, 2), root);
            const std::wstring base = sameDrive ? current : root + L"\\";
            return LongPathForm(rest.empty() ? base : base + L"\\" + std::wstring(rest), L"");
        }
    } else if (IsSeparator(path[0])) {
        // "\name": from the root of the working folder's drive or share.
        const std::wstring current = WithoutLongPrefix(LongPathForm(currentFolder, L""));
        if (current.size() >= 2 && current[1] == L':') {
            return LongPathForm(current.substr(0, 2) + std::wstring(path), L"");
        }
        const std::vector<std::wstring> share = Names(current);
        if (current.substr(0, 2) != L"\\\\" || share.size() < 2) {
            return {};
        }
        return LongPathForm(L"\\\\" + share[0] + L"\\" + share[1] + std::wstring(path), L"");
    } else {
        if (currentFolder.empty()) {
            return {};
        }
        return LongPathForm(std::wstring(currentFolder) + L"\\" + std::wstring(path), L"");
    }

    // "." and ".." resolved, never above the root; a name ending in one dot loses it, and the
    // last name loses its trailing dots and blanks, as Windows normalises every path.
    std::vector<std::wstring> names;
    for (std::wstring& name : Names(rest)) {
        if (name == L".") {
            continue;
        }
        if (name == L"..") {
            if (!names.empty()) {
                names.pop_back();
            }
            continue;
        }
        if (name.size() >= 2 && name.back() == L'.' && name[name.size() - 2] != L'.') {
            name.pop_back();
        }
        names.push_back(std::move(name));
    }
    const bool endsInSeparator = IsSeparator(path.back());
    if (!names.empty() && !endsInSeparator) {
        std::wstring& last = names.back();
        while (!last.empty() && (last.back() == L'.' || last.back() == L' ')) {
            last.pop_back();
        }
        if (last.empty()) {
            names.pop_back();
        }
    }
    std::wstring normal = root;
    for (const std::wstring& name : names) {
        normal += L'\\';
        normal += name;
    }
    if (names.empty() || endsInSeparator) {
        normal += L'\\';
    }
    if (normal.size() <= kLongestNormalPath) {
        return normal;
    }
    return unc ? std::wstring(kLongUncPrefix) + normal.substr(2) : std::wstring(kLongPrefix) + normal;
}

std::wstring WithoutLongPrefix(std::wstring_view path)
{
    if (path.substr(0, kLongUncPrefix.size()) == kLongUncPrefix) {
        return L"\\\\" + std::wstring(path.substr(kLongUncPrefix.size()));
    }
    if (path.substr(0, kLongPrefix.size()) == kLongPrefix) {
        return std::wstring(path.substr(kLongPrefix.size()));
    }
    return std::wstring(path);
}

std::wstring SystemPath(std::string_view path)
{
    const std::wstring wide = WideFromUtf8(path);
    std::wstring current(::GetCurrentDirectoryW(0, nullptr), L'\0');
    current.resize(::GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data()));
    return LongPathForm(wide, current);
}

std::string ShownPath(std::wstring_view systemPath)
{
    std::wstring shown = WithoutLongPrefix(systemPath);
    std::replace(shown.begin(), shown.end(), L'\\', L'/');
    return Utf8FromWide(shown);
}

} // namespace pellamy
