// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_WIN32_DPI_H
#define PELLAMY_APP_WIN32_DPI_H

#include <windows.h>

namespace pellamy::win32 {

/// The sizes of the window definition are at 96 dots per inch.
inline constexpr UINT kDesignDpi = 96;

/// `value` pixels at 96 dpi, at `dpi`.
inline int Scale(int value, UINT dpi)
{
    return MulDiv(value, static_cast<int>(dpi), static_cast<int>(kDesignDpi));
}

/// The dots per inch of the monitor `window` is on (GetDpiForWindow where the system has it, else
/// the screen's).
UINT DpiOf(HWND window);

/// Makes the process aware of each monitor's dpi when its manifest has not already (a test or a
/// benchmark that builds the window in its own process).
void BecomeDpiAware();

/// The window definition's font, Arial with a character height of 13 pixels at 96 dpi, at `dpi`;
/// `bold` for the banner's caption. The caller deletes it.
HFONT MakeWindowFont(UINT dpi, bool bold = false);

} // namespace pellamy::win32

#endif
