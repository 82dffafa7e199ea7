// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32RegistryStore.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"
#include "shell/ContextMenuRegistration.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

namespace pellamy {
namespace {

using Keys = RegistrationKeyNames;

const char* const kAllKeys[] = {Keys::FolderVerb,   Keys::FolderCommand, Keys::DriveVerb,
                                Keys::DriveCommand, Keys::FileVerb,      Keys::FileCommand};

// The default value of `key` under `root`, read back with the registry's own call.
std::optional<std::string> DefaultValue(HKEY root, const std::string& key)
{
    wchar_t buffer[1024];
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (::RegGetValueW(root, WideFromUtf8(key).c_str(), nullptr, RRF_RT_ANY, &type, buffer, &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;
    }
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << key;
    return Utf8FromWide(std::wstring(buffer, size / sizeof(wchar_t) - 1));
}

bool Exists(HKEY root, const std::string& key)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, WideFromUtf8(key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(opened);
    return true;
}

// The names of the sub-keys of `key`, in the case the registry keeps them.
std::vector<std::string> SubKeys(HKEY root, const std::string& key)
{
    std::vector<std::string> names;
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, WideFromUtf8(key).c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        return names;
    }
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = 256;
        if (::RegEnumKeyExW(opened, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        names.push_back(Utf8FromWide(std::wstring(name, length)));
    }
    ::RegCloseKey(opened);
    return names;
}

class Win32RegistryStoreTest : public ::testing::Test
{
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    void Clean()
    {
        for (const char* verb : {Keys::FolderVerb, Keys::DriveVerb, Keys::FileVerb}) {
            store.DeleteKeyTree(verb);
        }
    }

    int KeysPresent()
    {
        int present = 0;
        for (const char* key : kAllKeys) {
            present += Exists(HKEY_CURRENT_USER, key) ? 1 : 0;
        }
        return present;
    }

    Win32RegistryStore store;
};

TEST_F(Win32RegistryStoreTest, ToggleWritesSixKeysThenDeletesThemThenWritesThemAgain)
{
    const std::string program = "C:\\Program Files\\Pellamy\\pellamy.exe";
    RegistrationOutcome first = ToggleContextMenuRegistration(store, program, false);
    EXPECT_TRUE(first.Registered);
    EXPECT_FALSE(first.Failure);
    EXPECT_EQ(KeysPresent(), 6);
    for (const char* verb : {Keys::FolderVerb, Keys::DriveVerb, Keys::FileVerb}) {
        EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, verb), "Run Pellamy") << verb;
    }
    // The program's path is quoted, so that its blanks do not split it.
    for (const char* command : {Keys::FolderCommand, Keys::DriveCommand, Keys::FileCommand}) {
        EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, command),
                  "\"C:\\Program Files\\Pellamy\\pellamy.exe\" \"%1\"")
            << command;
    }
    // Nothing of it lands in the machine-wide classes.
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, Keys::FolderVerb));
    EXPECT_FALSE(Exists(HKEY_LOCAL_MACHINE, Keys::FileVerb));

    EXPECT_FALSE(ToggleContextMenuRegistration(store, program, false).Registered);
    EXPECT_EQ(KeysPresent(), 0);

    EXPECT_TRUE(ToggleContextMenuRegistration(store, program, true).Registered);
    EXPECT_EQ(KeysPresent(), 6);
    EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, Keys::DriveCommand),
              "\"C:\\Program Files\\Pellamy\\pellamy.exe\" \"%1\" \"/s\"");
}

TEST_F(Win32RegistryStoreTest, KeyNamesKeepTheirLetterCase)
{
    ToggleContextMenuRegistration(store, "C:\\p.exe", false);
    const std::vector<std::string> classes = SubKeys(HKEY_CURRENT_USER, "software\\classes");
    // The registry keeps a key's case as it was first created, so only a new key shows ours.
    const auto has = [&classes](const std::string& name) {
        return std::find(classes.begin(), classes.end(), name) != classes.end();
    };
    if (!has("Drive") && !has("drive")) {
        ADD_FAILURE() << "no drive class key";
    }
    EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, "software\\classes\\Drive\\shell"),
              (std::vector<std::string>{"stuff"}));
    EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, Keys::FolderVerb), (std::vector<std::string>{"command"}));
}

TEST_F(Win32RegistryStoreTest, OnlyTheFolderVerbKeyDecides)
{
    // Drives and files registered without folders: the toggle registers, overwriting them.
    RegistrationFailure failure;
    for (const char* key : {Keys::DriveVerb, Keys::FileCommand}) {
        ASSERT_FALSE(store.OpenOrCreateKey(key, failure)->WriteDefaultValue("old"));
    }
    EXPECT_TRUE(ToggleContextMenuRegistration(store, "C:\\p.exe", false).Registered);
    EXPECT_EQ(KeysPresent(), 6);
    EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, Keys::DriveVerb), "Run Pellamy");
    EXPECT_EQ(DefaultValue(HKEY_CURRENT_USER, Keys::FileCommand), "\"C:\\p.exe\" \"%1\"");

    // Folders alone registered: the toggle unregisters and deletes just that.
    Clean();
    ASSERT_FALSE(store.OpenOrCreateKey(Keys::FolderCommand, failure)->WriteDefaultValue("x"));
    EXPECT_FALSE(ToggleContextMenuRegistration(store, "C:\\p.exe", false).Registered);
    EXPECT_EQ(KeysPresent(), 0);
}

TEST_F(Win32RegistryStoreTest, DeletingATreeTakesEverySubKey)
{
    RegistrationFailure failure;
    ASSERT_TRUE(store.OpenOrCreateKey(std::string(Keys::FileVerb) + "\\command\\deeper\\deepest", failure));
    ASSERT_TRUE(store.OpenOrCreateKey(std::string(Keys::FileVerb) + "\\second", failure));
    EXPECT_TRUE(store.KeyExists(Keys::FileVerb));
    store.DeleteKeyTree(Keys::FileVerb);
    EXPECT_FALSE(store.KeyExists(Keys::FileVerb));
    EXPECT_TRUE(store.KeyExists("software\\classes\\*\\shell") || !store.KeyExists("software\\classes\\*"));
}

} // namespace
} // namespace pellamy
