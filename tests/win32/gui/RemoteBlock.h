// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_WIN32_GUI_REMOTEBLOCK_H
#define PELLAMY_TESTS_WIN32_GUI_REMOTEBLOCK_H

#include "platform/win32/WideText.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace pellamy {

/// A block of memory in another program's process, for the messages whose pointers the system
/// does not carry across (those of the common controls): a structure at its start, a text buffer
/// after it. Without the rights to that process the block is not valid.
class RemoteBlock
{
public:
    static constexpr std::size_t kSize = 64 * 1024;
    static constexpr std::size_t kTextOffset = 1024;
    static constexpr int kTextChars = static_cast<int>((kSize - kTextOffset) / sizeof(wchar_t));

    explicit RemoteBlock(HANDLE process) : m_process(process)
    {
        if (m_process != nullptr) {
            m_address = static_cast<char*>(
                VirtualAllocEx(m_process, nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        }
    }
    ~RemoteBlock()
    {
        if (m_address != nullptr) {
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        }
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool Valid() const { return m_address != nullptr; }
    LPARAM Address(std::size_t offset = 0) const { return reinterpret_cast<LPARAM>(m_address + offset); }
    wchar_t* Text() const { return reinterpret_cast<wchar_t*>(m_address + kTextOffset); }

    template <typename T>
    bool Put(const T& value, std::size_t offset = 0) const
    {
        SIZE_T written = 0;
        return WriteProcessMemory(m_process, m_address + offset, &value, sizeof value, &written) &&
               written == sizeof value;
    }
    template <typename T>
    T Get(std::size_t offset = 0) const
    {
        T value{};
        SIZE_T read = 0;
        ReadProcessMemory(m_process, m_address + offset, &value, sizeof value, &read);
        return value;
    }
    /// The text the window wrote to the text buffer: up to its terminating zero.
    std::string GetText() const
    {
        std::wstring text(static_cast<std::size_t>(kTextChars), L'\0');
        SIZE_T read = 0;
        ReadProcessMemory(m_process, m_address + kTextOffset, text.data(), text.size() * sizeof(wchar_t), &read);
        text.resize(wcsnlen(text.c_str(), read / sizeof(wchar_t)));
        return pellamy::Utf8FromWide(text);
    }
    /// Empties the text buffer, so that a message that writes nothing reads as "".
    void ClearText() const { Put(L'\0', kTextOffset); }

private:
    HANDLE m_process;
    char* m_address = nullptr;
};

} // namespace pellamy

#endif
