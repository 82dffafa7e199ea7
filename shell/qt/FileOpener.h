// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_QT_FILEOPENER_H
#define PELLAMY_SHELL_QT_FILEOPENER_H

#include <functional>
#include <string>

class QObject;

namespace pellamy {

/// Why an opener could not open a file, in its own words.
using OpenFailure = std::function<void(const std::string& reason)>;

/// Opens a file or folder with the desktop's default application and returns at once: `gio open`
/// when it is on PATH, else `xdg-open`; inside a Flatpak or Snap sandbox the desktop portal
/// through Qt instead. The opener gets the absolute path as one file URI argument, its bytes
/// percent-encoded, never through a shell: blanks, quotes, a leading "-", a newline and bytes that
/// are not UTF-8 reach it unchanged and can never be read as an option. `failed` is called on this
/// thread, while `context` lives, when no opener could be started or when `gio open` ends with a
/// failure status (with the last line it wrote to standard error); `gio open` ends as soon as the
/// application has been started, so the window never waits for the application itself.
void OpenWithShell(const std::string& absolutePath, QObject* context, OpenFailure failed);

} // namespace pellamy

#endif
