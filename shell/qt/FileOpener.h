// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_QT_FILEOPENER_H
#define PELLAMY_SHELL_QT_FILEOPENER_H

#include <string>

namespace pellamy {

/// Opens a file or folder with the desktop's default application and returns at once: `gio open`
/// when it is on PATH, else `xdg-open`; inside a Flatpak or Snap sandbox the desktop portal
/// through Qt instead. The opener gets the absolute path as one file URI argument, its bytes
/// percent-encoded, never through a shell: blanks, quotes, a leading "-", a newline and bytes that
/// are not UTF-8 reach it unchanged and can never be read as an option. False when no opener
/// could be started.
bool OpenWithShell(const std::string& absolutePath);

} // namespace pellamy

#endif
