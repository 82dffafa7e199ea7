// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WINDOW_POPUPMENUS_H
#define PELLAMY_WINDOW_POPUPMENUS_H

#include <span>
#include <string_view>

namespace pellamy {

class WindowCore;

/// A handler of the window, run when its menu entry is chosen.
using MenuHandler = void (WindowCore::*)();

/// One entry of a popup menu as the window definition gives it. A separator has no handler.
struct MenuEntry
{
    std::string_view Name;
    std::string_view Caption;
    /// Shown in the hint line while the entry is highlighted; may be empty.
    std::string_view Hint;
    bool Shown = true;
    /// Whether the entry carries a check mark, and whether it starts checked.
    bool Checkable = false;
    bool Checked = false;
    MenuHandler Handler = nullptr;

    bool IsSeparator() const { return Handler == nullptr; }
};

/// `PopupMenu1`, the file list's menu, in its order.
std::span<const MenuEntry> PopupMenu1();
/// `PopupMenu2`, the type list's menu, in its order.
std::span<const MenuEntry> PopupMenu2();

} // namespace pellamy

#endif
