// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_POSIXTREESOURCE_H
#define PELLAMY_PLATFORM_POSIX_POSIXTREESOURCE_H

#include "platform/posix/UniqueFd.h"
#include "scan/TreeSource.h"

#include <atomic>
#include <cstddef>
#include <string>

namespace pellamy {

/// Reads the folders of a tree with `getdents64` and `statx`, describing entries as the one-folder
/// scan does. A folder below the root is opened by its name from its parent's descriptor with
/// `O_NOFOLLOW`, so no link is ever followed and the cost of opening never grows with depth.
///
/// The hold on a folder with sub-folders keeps the folder's descriptor while the descriptors kept
/// stay within a share of the process's descriptor limit. Beyond it, a hold keeps the way from its
/// nearest held ancestor (a few names, opened in one `openat2` with `RESOLVE_NO_SYMLINKS`, or one
/// `openat` with `O_NOFOLLOW` per name where that call is missing or the path is too long), and one
/// descriptor is still kept every few dozen levels, so that way stays short in a tree of any depth.
/// Mount points are told by `STATX_ATTR_MOUNT_ROOT`. Special files are never opened. Every hold it
/// hands out must be released before the source is destroyed.
class PosixTreeSource final : public TreeSource
{
public:
    std::error_code OpenRoot(const std::string& folder, FolderIdentity& identity) override;
    std::error_code ReadFolder(const TreeFolderRef& parent, std::string_view name,
                               const std::function<bool(const FolderIdentity&)>& enter,
                               TreeFolderSink& sink, TreeFolderRef& children) override;

private:
    class Folder;

    UniqueFd OpenChild(const Folder* parent, std::string_view name);
    UniqueFd OpenPath(int from, const std::string& path);
    TreeFolderRef Hold(const std::shared_ptr<const Folder>& parent, std::string_view name, UniqueFd fd);

    UniqueFd m_root;
    std::atomic<bool> m_noOpenat2{false};
    // Descriptors kept by holds, and how many may be kept: freely, then one every few dozen levels,
    // then one every few hundred (set from the descriptor limit when the root is opened).
    std::atomic<std::size_t> m_held{0};
    std::size_t m_freeHolds = 0;
    std::size_t m_nearHolds = 0;
    std::size_t m_farHolds = 0;
};

} // namespace pellamy

#endif
