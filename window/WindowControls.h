// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WINDOW_WINDOWCONTROLS_H
#define PELLAMY_WINDOW_WINDOWCONTROLS_H

#include <span>
#include <string_view>

namespace pellamy {

/// A control of the window definition as every front-end shows it: its name, its caption, its hint
/// (shown in the hint line while the pointer is over it), the name screen readers announce, and
/// for the check boxes their place and size within their panel, at 96 dpi.
struct WindowControl
{
    std::string_view Name;
    std::string_view Caption;
    std::string_view Hint;
    std::string_view AccessibleName;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

/// The controls that have a caption, a hint or an accessible name, in tab order where they take
/// the focus.
std::span<const WindowControl> WindowControls();

/// The control called `name`; a control without texts when there is none of that name.
const WindowControl& ControlNamed(std::string_view name);

} // namespace pellamy

#endif
