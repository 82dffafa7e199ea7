// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32RegistryStore.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <system_error>
#include <vector>

namespace pellamy {
namespace {

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;

class Win32RegistryKey final : public RegistrationKey
{
public:
    explicit Win32RegistryKey(HKEY key)
        : m_key(key)
    {}
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;
    ~Win32RegistryKey() override { ::RegCloseKey(m_key); }

    RegistrationFailure WriteDefaultValue(const std::string& value) override
    {
        const std::wstring wide = WideFromUtf8(value);
        const auto bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
        if (::RegSetValueExW(m_key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()), bytes) !=
            ERROR_SUCCESS) {
            // The registry's own words for a value it did not take; the value has no name.
            return std::string("Failed to set data for ''");
        }
        return std::nullopt;
    }

private:
    HKEY m_key;
};

// Deletes `name` under `parent` with all its sub-keys, the last sub-key first.
void DeleteTree(HKEY parent, const std::wstring& name)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(parent, name.c_str(), 0, kAccess, &key) != ERROR_SUCCESS) {
        return;
    }
    DWORD count = 0;
    DWORD longest = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr,
                           nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        std::vector<std::wstring> children;
        std::vector<wchar_t> buffer(longest + 1);
        for (DWORD i = 0; i < count; ++i) {
            DWORD length = static_cast<DWORD>(buffer.size());
            if (::RegEnumKeyExW(key, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
                ERROR_SUCCESS) {
                children.emplace_back(buffer.data(), length);
            }
        }
        for (auto child = children.rbegin(); child != children.rend(); ++child) {
            DeleteTree(key, *child);
        }
    }
    ::RegCloseKey(key);
    ::RegDeleteKeyW(parent, name.c_str());
}

} // namespace

bool Win32RegistryStore::KeyExists(const std::string& key)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, WideFromUtf8(key).c_str(), 0, KEY_READ, &opened) !=
        ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(opened);
    return true;
}

void Win32RegistryStore::DeleteKeyTree(const std::string& key)
{
    DeleteTree(HKEY_CURRENT_USER, WideFromUtf8(key));
}

std::unique_ptr<RegistrationKey> Win32RegistryStore::OpenOrCreateKey(const std::string& key,
                                                                    RegistrationFailure& failure)
{
    HKEY opened = nullptr;
    const LONG status = ::RegCreateKeyExW(HKEY_CURRENT_USER, WideFromUtf8(key).c_str(), 0, nullptr,
                                          REG_OPTION_NON_VOLATILE, kAccess, nullptr, &opened, nullptr);
    if (status != ERROR_SUCCESS) {
        failure = "Failed to create key '" + key + "'. " +
                  std::error_code(static_cast<int>(status), std::system_category()).message();
        return nullptr;
    }
    return std::make_unique<Win32RegistryKey>(opened);
}

std::string OwnProgramPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return Utf8FromWide(path);
        }
        path.resize(path.size() * 2);
    }
}

} // namespace pellamy
