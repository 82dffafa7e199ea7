// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_TREESOURCE_H
#define PELLAMY_SCAN_TREESOURCE_H

#include "scan/DirectorySource.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

namespace pellamy {

/// Which folder a path leads to: its file system's device and its inode, which no other folder
/// shares while both exist, whatever path (bind mounts included) leads there.
struct FolderIdentity
{
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    /// The folder is the root of a mount (a bind mount included), so another path may lead to it.
    bool IsMountRoot = false;

    bool SameFolder(const FolderIdentity& other) const
    {
        return Device == other.Device && Inode == other.Inode;
    }
};

/// One entry of a folder read during a tree walk: what a directory source reports of it, with its
/// place in the folder and the identity of the file behind it.
struct TreeEntryView
{
    DirectoryEntryView Entry;
    /// The entry's index among the folder's names in the directory's own order ("." and ".."
    /// not counted), so that an order over the whole tree never depends on timing.
    std::uint32_t Position = 0;
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    /// The number of names the file has; a file with several is counted once.
    std::uint32_t Links = 1;
};

/// Receives the entries of one folder of a tree, in the directory's own order.
class TreeFolderSink
{
public:
    virtual ~TreeFolderSink() = default;

    /// Asked for each name that is not known to be a folder, before its details are read; a name
    /// answered with false is skipped without a metadata read.
    virtual bool WantsName(std::string_view name) = 0;

    /// An entry that is not a folder to enter: files, special files and links (a link whose
    /// target is a folder carries the directory bit and is never entered).
    virtual void File(const TreeEntryView& entry) = 0;

    /// A real sub-folder (never a link to one), with its position among the folder's names.
    virtual void SubFolder(std::string_view name, std::uint32_t position) = 0;
};

/// A folder of a walk that was read and has sub-folders, as its source keeps it so that each
/// sub-folder is opened from it by name, at the same cost at any depth. What it holds is the
/// source's business (an open descriptor, or the way to reopen the folder from a nearby one); the
/// walk only passes it back. It is shared by the sub-folders still to be read and released with the
/// last of them, before the source that made it.
class TreeFolder
{
public:
    virtual ~TreeFolder() = default;
};

/// A shared hold on a folder of a walk; empty for the root's parent.
using TreeFolderRef = std::shared_ptr<const TreeFolder>;

/// The operating system's side of a walk over a folder and everything below it. After
/// `OpenRoot`, `ReadFolder` may be called from several threads at once.
class TreeSource
{
public:
    virtual ~TreeSource() = default;

    /// Opens `folder` as the root of the walk (links in its own path are followed, since the
    /// user named it) and gives its identity. Returns the reason when it cannot be opened.
    virtual std::error_code OpenRoot(const std::string& folder, FolderIdentity& identity) = 0;

    /// Reads the folder `name` of `parent` (an empty `parent` and name for the root), never
    /// following a link to it. Once the folder is open its identity goes to `enter`; when that
    /// answers false nothing is read and no error is returned. When the folder was read and
    /// delivered at least one sub-folder, `children` receives the hold to pass as `parent` when
    /// reading them; otherwise it is left empty. Returns an error when the folder cannot be
    /// opened, when its entries cannot be examined (read without search permission; nothing is
    /// delivered then), or when reading fails part-way.
    virtual std::error_code ReadFolder(const TreeFolderRef& parent, std::string_view name,
                                       const std::function<bool(const FolderIdentity&)>& enter,
                                       TreeFolderSink& sink, TreeFolderRef& children) = 0;
};

} // namespace pellamy

#endif
