// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_SHELLTYPEDESCRIPTIONS_H
#define PELLAMY_PLATFORM_WIN32_SHELLTYPEDESCRIPTIONS_H

#include "scan/TypeInfoSource.h"

#include <string>
#include <unordered_map>

namespace pellamy {

/// Type descriptions and small-icon indices from the Windows shell, asked by extension alone with
/// `SHGetFileInfoW` on the name "*" + extension and SHGFI_USEFILEATTRIBUTES, so that no file is
/// looked at. Descriptions are cached per extension for the life of the object. Where the shell
/// answers nothing, the type reads as the shell words an unregistered one: the extension's
/// letters in capitals followed by " File", or "File" without an extension.
class ShellTypeDescriptions final : public TypeInfoSource
{
public:
    /// The shell's type name (at most 80 characters): attributes FILE_ATTRIBUTE_NORMAL, flags
    /// SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES.
    std::string GetTypeDescription(const std::string& extension) override;

    /// The index of the type's small icon in the system image list: attributes 0, flags
    /// SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES | SHGFI_SMALLICON. SHGFI_ICON is left out, so
    /// the shell creates no icon handle that nothing would destroy. -1 when the shell has none.
    static int GetTypeIconIndex(const std::string& extension);

    /// The system image list of small icons (an HIMAGELIST), asked for with the empty name and the
    /// icon request's flags; null when the shell gives none. The system owns it: never destroy it.
    static void* SystemSmallImageList();

private:
    std::unordered_map<std::string, std::string> m_cache;
};

} // namespace pellamy

#endif
