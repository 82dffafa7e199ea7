// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_WIN32_SKIN_H
#define PELLAMY_APP_WIN32_SKIN_H

#include <windows.h>

namespace pellamy::win32 {

/// The colours the window is drawn in: the system's own, or the skin's, a complete scheme of its
/// own ("/s", "Use skin").
struct SkinColors
{
    COLORREF Face;       ///< panels, the window's background, check boxes, the status bar
    COLORREF FaceText;
    COLORREF ListBack;   ///< both lists and the directory list
    COLORREF ListText;
    COLORREF Highlight;  ///< the selected rows
    COLORREF HighlightText;
    COLORREF Splitter;
};

/// Whether the skin is on.
bool SkinActive();
/// Switches the skin on or off; the caller repaints.
void SetSkinActive(bool on);
/// The colours in use now.
const SkinColors& CurrentColors();
/// A brush of `CurrentColors().Face` (and of `ListBack`), owned by the skin.
HBRUSH FaceBrush();
HBRUSH ListBrush();

/// Makes the status bar, and a list's header, draw themselves in the skin's colours while it is on.
void SkinStatusBar(HWND bar);
void SkinHeader(HWND header);

/// Draws `control` (a check box, the status bar) in the skin's colours, or the system's theme again.
void ApplySkinTheme(HWND control);

} // namespace pellamy::win32

#endif
