// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/win32/Win32Clipboard.h"

#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"
#include "shell/ClipboardFiles.h"

#include <cstring>
#include <memory>

namespace pellamy {
namespace {

struct GlobalFreer
{
    void operator()(void* block) const { ::GlobalFree(block); }
};
using UniqueGlobal = std::unique_ptr<void, GlobalFreer>;

// A moveable, zero-filled block holding `bytes`; null when it cannot be had.
UniqueGlobal GlobalBlock(const void* bytes, std::size_t size)
{
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!block) {
        return nullptr;
    }
    void* at = ::GlobalLock(block.get());
    if (at == nullptr) {
        return nullptr;
    }
    std::memcpy(at, bytes, size);
    ::GlobalUnlock(block.get());
    return block;
}

class OpenedClipboard
{
public:
    OpenedClipboard()
        : m_open(::OpenClipboard(nullptr) != 0)
    {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard()
    {
        if (m_open) {
            ::CloseClipboard();
        }
    }
    bool IsOpen() const { return m_open; }

private:
    bool m_open;
};

// Hands `block` to the clipboard as `format`; once accepted, the clipboard owns it.
bool Place(UINT format, UniqueGlobal block)
{
    if (::SetClipboardData(format, block.get()) == nullptr) {
        return false;
    }
    block.release();
    return true;
}

} // namespace

bool PutFilesOnClipboard(const std::vector<std::string>& paths)
{
    if (paths.empty()) {
        return false;
    }
    const std::string drop = DropFilesBlock(paths, DropListNames::Utf16);
    const std::wstring text = WideFromUtf8(PathsTextForm(paths));
    UniqueGlobal dropBlock = GlobalBlock(drop.data(), drop.size());
    UniqueGlobal textBlock = GlobalBlock(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    if (!dropBlock || !textBlock) {
        return false;
    }
    const OpenedClipboard clipboard;
    if (!clipboard.IsOpen() || !::EmptyClipboard()) {
        return false;
    }
    const bool dropPlaced = Place(CF_HDROP, std::move(dropBlock));
    return dropPlaced && Place(CF_UNICODETEXT, std::move(textBlock));
}

} // namespace pellamy
