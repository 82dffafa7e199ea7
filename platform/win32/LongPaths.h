// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_LONGPATHS_H
#define PELLAMY_PLATFORM_WIN32_LONGPATHS_H

#include <string>
#include <string_view>

namespace pellamy {

/// `path` as the Windows API takes a path of any length: absolute (relative paths taken against
/// `currentFolder`, the working folder), in its normal form as Windows makes it ("/" read as "\",
/// separators single, "." and ".." resolved, a last name's trailing dots and blanks dropped), and,
/// when it is at least `MAX_PATH` long, written in its long form: "\\?\C:\..." for a drive path,
/// "\\?\UNC\server\share\..." for a share. A shorter path keeps the normal form. A path already in
/// a device or long form ("\\?\", "\\.\") is left as it is, and so is a name of a legacy device
/// alone ("CON", "nul", "COM1"), which Windows takes as the device ("\\.\CON").
std::wstring LongPathForm(std::wstring_view path, std::wstring_view currentFolder);

/// `path` (UTF-8, "/" or "\" between its parts) for a call of the Windows API, taken against the
/// process's working folder: `LongPathForm`.
std::wstring SystemPath(std::string_view path);

/// A path of `LongPathForm` without its long-form prefix: "C:\..." or "\\server\share\...".
std::wstring WithoutLongPrefix(std::wstring_view path);

/// A path given by the Windows API for the user to see: without its long-form prefix, and with
/// "/" between its parts as inside the program ("\\?\UNC\server\share" becomes "//server/share").
std::string ShownPath(std::wstring_view systemPath);

} // namespace pellamy

#endif
