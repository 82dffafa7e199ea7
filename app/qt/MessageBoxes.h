// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_MESSAGEBOXES_H
#define PELLAMY_APP_QT_MESSAGEBOXES_H

class QMessageBox;

namespace pellamy {

/// Widens `box` so that the window's title bar has room for its whole caption: a message box is
/// otherwise as wide as its text, and a short text left "Pellamy" cut to "Pe…my".
void FitCaption(QMessageBox& box);

} // namespace pellamy

#endif
