// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_WIDETEXT_H
#define PELLAMY_PLATFORM_WIN32_WIDETEXT_H

#include <cstdint>
#include <string>
#include <string_view>
#include <system_error>

namespace pellamy {

/// The UTF-16 form the wide Windows calls take of UTF-8 (WTF-8) text; lone surrogates come back.
std::wstring WideFromUtf8(std::string_view text);

/// UTF-16 text from the Windows API as the core's UTF-8, unpaired surrogates kept as WTF-8 does.
std::string Utf8FromWide(std::wstring_view text);

/// A Windows error code (`GetLastError`) as an error value. The errors that have a portable
/// counterpart (a missing file or folder, access denied, an existing file, a full disk, ...) get
/// the generic one, so that messages and comparisons read as on every other system; the rest keep
/// the system's code.
std::error_code Win32Error(std::uint32_t code);

/// `Win32Error(GetLastError())`.
std::error_code LastWin32Error();

/// The system's own text for a Windows error code, in the user's language, without the line break
/// that ends it.
std::string Win32ErrorText(std::uint32_t code);

} // namespace pellamy

#endif
