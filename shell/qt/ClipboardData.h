// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_QT_CLIPBOARDDATA_H
#define PELLAMY_SHELL_QT_CLIPBOARDDATA_H

#include "shell/ClipboardFiles.h"

#include <string>
#include <vector>

namespace pellamy {

/// Places every target on the system clipboard in one go, each under its MIME type with its bytes
/// exactly as given (text is never decoded and encoded again, so names that are not UTF-8 reach
/// the receiver unchanged). The earlier contents are replaced once; an empty list leaves the
/// clipboard as it was. False when there is nothing to place or no clipboard to place it on.
bool PlaceOnClipboard(const std::vector<ClipboardTarget>& targets);

/// Places `bytes` as the clipboard's plain text, unchanged.
bool PlaceTextOnClipboard(const std::string& bytes);

} // namespace pellamy

#endif
