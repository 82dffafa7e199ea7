// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/win32/Dpi.h"

namespace pellamy::win32 {
namespace {

// Looked up at run time: the calls came with Windows 10, and the program runs on older systems too.
template <typename Function>
Function UserCall(const char* name)
{
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user == nullptr ? nullptr : reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user, name)));
}

} // namespace

UINT DpiOf(HWND window)
{
    using GetDpiForWindowCall = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = UserCall<GetDpiForWindowCall>("GetDpiForWindow");
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi != 0) {
            return dpi;
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

void BecomeDpiAware()
{
    using SetContextCall = BOOL(WINAPI*)(HANDLE);
    static const auto setContext = UserCall<SetContextCall>("SetProcessDpiAwarenessContext");
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, by value: older headers lack it.
    if (setContext != nullptr && setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)))) {
        return;
    }
    SetProcessDPIAware();
}

HFONT MakeWindowFont(UINT dpi, bool bold)
{
    // A negative height is the character height, without the internal leading.
    return CreateFontW(-Scale(13, dpi), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                       DEFAULT_PITCH | FF_SWISS, L"Arial");
}

} // namespace pellamy::win32
