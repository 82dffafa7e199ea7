// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_WIN32_GUI_SCREENCAPTURE_H
#define PELLAMY_TESTS_WIN32_GUI_SCREENCAPTURE_H

#include <windows.h>

#include <cstdlib>
#include <string>

namespace pellamy::win32 {

/// Lets queued and sent messages run: painting, posted notifications, timers that are due.
inline void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

/// Saves the picture of `window` (its frame included) as "<name>.bmp" in the folder named by the
/// environment variable PELLAMY_SCREENSHOTS, for a person to look at; does nothing when it is not
/// set.
inline void SaveScreenshot(HWND window, const char* name)
{
    const char* folder = std::getenv("PELLAMY_SCREENSHOTS");
    if (folder == nullptr || *folder == '\0') {
        return;
    }
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    PumpMessages();
    Sleep(300);
    PumpMessages();
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    // The window's own surface holds its children's drawing too.
    HDC source = GetWindowDC(window);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    ReleaseDC(window, source);
    GdiFlush();
    // GDI leaves the fourth byte of each pixel at zero, which viewers read as fully transparent.
    auto* pixels = static_cast<unsigned char*>(bits);
    for (int i = 0; i < width * height; ++i) {
        pixels[i * 4 + 3] = 0xFF;
    }
    const std::string path = std::string(folder) + "\\" + name + ".bmp";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        const DWORD size = static_cast<DWORD>(width * height * 4);
        BITMAPFILEHEADER header{};
        header.bfType = 0x4D42;
        header.bfOffBits = sizeof header + sizeof info.bmiHeader;
        header.bfSize = header.bfOffBits + size;
        DWORD written = 0;
        WriteFile(file, &header, sizeof header, &written, nullptr);
        WriteFile(file, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
        WriteFile(file, bits, size, &written, nullptr);
        CloseHandle(file);
    }
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

} // namespace pellamy::win32

#endif
