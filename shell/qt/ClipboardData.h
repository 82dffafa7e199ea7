// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_QT_CLIPBOARDDATA_H
#define PELLAMY_SHELL_QT_CLIPBOARDDATA_H

#include "shell/ClipboardFiles.h"

#include <QByteArray>

#include <string>
#include <vector>

namespace pellamy {

/// Places every target on the system clipboard in one go, each under its MIME type with its bytes
/// exactly as given (text is never decoded and encoded again, so names that are not UTF-8 reach
/// the receiver unchanged). The earlier contents are replaced once; an empty list leaves the
/// clipboard as it was. False when there is nothing to place or no clipboard to place it on.
/// Each target's bytes are released as soon as the clipboard has its own copy, so a large list
/// is never held twice over.
bool PlaceOnClipboard(std::vector<ClipboardTarget> targets);

/// Places `bytes` as the clipboard's plain text, unchanged; the clipboard keeps the one copy the
/// conversion makes.
bool PlaceTextOnClipboard(std::string bytes);

/// Places `bytes` as the clipboard's plain text, unchanged and without a copy.
bool PlaceTextOnClipboard(QByteArray bytes);

} // namespace pellamy

#endif
