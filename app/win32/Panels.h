// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_WIN32_PANELS_H
#define PELLAMY_APP_WIN32_PANELS_H

#include <windows.h>

#include <functional>

namespace pellamy::win32 {

/// How a panel draws itself and its caption (its window text).
enum class PanelLook {
    Banner,   ///< raised inner and lowered outer bevel, caption centred
    Bar,      ///< the same bevel, no caption of its own
    Caption,  ///< no bevel, caption right-aligned; a caption too long shows "…" and its end
};

/// A panel of the window: a plain area in the window's face colour that holds controls. What its
/// controls report (commands, notifications, colour questions) goes on to the top-level window,
/// as if they were its own.
HWND CreatePanel(HWND parent, int id, PanelLook look, const wchar_t* caption = L"");

/// A splitter bar: a bevelled bar in the splitter colour that the user drags. `vertical` bars are
/// dragged left and right. While dragging, `moved` gets the pointer's position in the parent's
/// client coordinates, along the bar's axis of movement, and the panes follow at once.
class Splitter
{
public:
    Splitter(HWND parent, int id, bool vertical, std::function<void(int position)> moved);
    ~Splitter();

    Splitter(const Splitter&) = delete;
    Splitter& operator=(const Splitter&) = delete;

    HWND Handle() const { return m_window; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    bool m_vertical;
    std::function<void(int)> m_moved;
    bool m_dragging = false;
    int m_grab = 0;
};

} // namespace pellamy::win32

#endif
