// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_WIN32_WIN32TREESOURCE_H
#define PELLAMY_PLATFORM_WIN32_WIN32TREESOURCE_H

#include "scan/TreeSource.h"

#include <string>

namespace pellamy {

/// Reads the folders of a tree with `FindFirstFileExW` in its basic form with large fetches,
/// describing entries as the one-folder scan does (`Win32DirectorySource`). A folder is opened by
/// its path, kept in the hold of its parent in the form the API takes (long form past MAX_PATH).
///
/// Reparse points (symbolic links, junctions, mounted volumes) are never followed: they are
/// delivered as files with their own attributes, so a link to a folder keeps the directory bit and
/// is never entered. A folder's identity is its volume's serial number and its file id: the
/// 128-bit id of `FileIdInfo` where the file system gives one (folded into 64 bits), else the
/// 64-bit file index. A folder whose volume differs from its parent's is the root of a mount.
///
/// The directory listing tells nothing of hard links, so every name the sink wants that is not a
/// folder is opened once for its attributes alone, to read its number of links and its file id:
/// one open, one query and one close per file, which is most of the cost of a walk. Every hold it
/// hands out must be released before the source is destroyed.
class Win32TreeSource final : public TreeSource
{
public:
    std::error_code OpenRoot(const std::string& folder, FolderIdentity& identity) override;
    std::error_code ReadFolder(const TreeFolderRef& parent, std::string_view name,
                               const std::function<bool(const FolderIdentity&)>& enter,
                               TreeFolderSink& sink, TreeFolderRef& children) override;

private:
    class Folder;

    // The root as the API takes it, without a separator at its end unless it is a drive's root.
    std::wstring m_root;
};

} // namespace pellamy

#endif
