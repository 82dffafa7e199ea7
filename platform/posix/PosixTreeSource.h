// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_PLATFORM_POSIX_POSIXTREESOURCE_H
#define PELLAMY_PLATFORM_POSIX_POSIXTREESOURCE_H

#include "platform/posix/UniqueFd.h"
#include "scan/TreeSource.h"

#include <atomic>

namespace pellamy {

/// Reads the folders of a tree with `getdents64` and `statx`, describing entries as the one-folder
/// scan does. Folders below the root are opened by their path relative to the root's descriptor
/// with `openat2` and `RESOLVE_NO_SYMLINKS`, so no link on the way is ever followed (where the
/// call is missing, or the path is too long for one call, one `openat` with `O_NOFOLLOW` per
/// name). Mount points are told by `STATX_ATTR_MOUNT_ROOT`. Special files are never opened.
class PosixTreeSource final : public TreeSource
{
public:
    std::error_code OpenRoot(const std::string& folder, FolderIdentity& identity) override;
    std::error_code ReadFolder(const std::string& relativePath,
                               const std::function<bool(const FolderIdentity&)>& enter,
                               TreeFolderSink& sink) override;

private:
    UniqueFd OpenBelowRoot(const std::string& relativePath);

    UniqueFd m_root;
    std::atomic<bool> m_noOpenat2{false};
};

} // namespace pellamy

#endif
