// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_WIN32CLIPBOARD_H
#define PELLAMY_PLATFORM_WIN32_WIN32CLIPBOARD_H

#include <string>
#include <vector>

namespace pellamy {

/// Puts `paths` on the Windows clipboard as files, for pasting in the shell or in an editor: the
/// drop list (CF_HDROP) built by `DropFilesBlock` with UTF-16 names, and the text form
/// (`PathsTextForm`) as CF_UNICODETEXT, so that no name outside the ANSI code page is lost. Both go
/// in one opening of the clipboard, emptied once before the first. Returns false, leaving the
/// clipboard as it was, when there is no path or the clipboard cannot be opened or a block cannot be
/// allocated; false too when a format was refused (what was placed before stays, owned by the
/// clipboard).
bool PutFilesOnClipboard(const std::vector<std::string>& paths);

} // namespace pellamy

#endif
