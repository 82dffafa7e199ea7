// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_SKIN_H
#define PELLAMY_APP_QT_SKIN_H

#include <QString>

namespace pellamy {

/// The program's skin: a complete style sheet compiled into the program that repaints the window,
/// its menus and dialogs and every standard control. Switched on at start by "/s" and by the
/// "Use skin" entry; off, the desktop's own style shows.
class Skin
{
public:
    /// The style sheet applied while the skin is on.
    static QString StyleSheet();

    /// Switches the skin for the whole application.
    static void SetActive(bool on);
    static bool IsActive();
};

} // namespace pellamy

#endif
