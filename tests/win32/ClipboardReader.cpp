// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the files on the clipboard as another program would, and writes what it found to the
// file named by its one argument: "block" and the drop-list block's bytes in hexadecimal, "count"
// and the number of files DragQueryFileW reports, "file" and each name in UTF-8, then "text" and
// the CF_UNICODETEXT text in UTF-8 hexadecimal. Exits 1 when the clipboard holds no drop list.
#include "platform/win32/WideText.h"
#include "platform/win32/WindowsApi.h"

#include <cstdio>
#include <string>

namespace {

std::string Hex(const void* bytes, std::size_t size)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        const auto b = static_cast<const unsigned char*>(bytes)[i];
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2 || !::OpenClipboard(nullptr)) {
        return 2;
    }
    std::string report;
    int status = 0;
    if (HANDLE drop = ::GetClipboardData(CF_HDROP); drop != nullptr) {
        const void* bytes = ::GlobalLock(drop);
        report += "block " + Hex(bytes, ::GlobalSize(drop)) + "\n";
        ::GlobalUnlock(drop);
        const UINT count = ::DragQueryFileW(static_cast<HDROP>(drop), 0xFFFFFFFF, nullptr, 0);
        report += "count " + std::to_string(count) + "\n";
        for (UINT i = 0; i < count; ++i) {
            std::wstring name(::DragQueryFileW(static_cast<HDROP>(drop), i, nullptr, 0) + 1, L'\0');
            name.resize(
                ::DragQueryFileW(static_cast<HDROP>(drop), i, name.data(), static_cast<UINT>(name.size())));
            report += "file " + pellamy::Utf8FromWide(name) + "\n";
        }
    } else {
        status = 1;
    }
    if (HANDLE text = ::GetClipboardData(CF_UNICODETEXT); text != nullptr) {
        const auto* wide = static_cast<const wchar_t*>(::GlobalLock(text));
        const std::string utf8 = pellamy::Utf8FromWide(wide);
        report += "text " + Hex(utf8.data(), utf8.size()) + "\n";
        ::GlobalUnlock(text);
    }
    ::CloseClipboard();
    if (FILE* out = ::_wfopen(argv[1], L"wb"); out != nullptr) {
        std::fwrite(report.data(), 1, report.size(), out);
        std::fclose(out);
    } else {
        return 2;
    }
    return status;
}
