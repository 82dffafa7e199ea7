// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_TREEFILELIST_H
#define PELLAMY_SCAN_TREEFILELIST_H

#include "scan/DirectorySource.h"
#include "scan/FileEntry.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pellamy {
namespace tree_walk {

// A file of a listed folder: its own name is `NameLength` bytes of the folder's names from
// `NameOffset`; `Position` is where it stands among the folder's entries.
struct NodeFile
{
    std::uint32_t NameOffset = 0;
    std::uint32_t NameLength = 0;
    std::uint32_t Attributes = 0;
    std::uint32_t Position = 0;
    std::int64_t Size = 0;
    FileTime CreationTime = 0;
    FileTime LastWriteTime = 0;
    FileTime LastAccessTime = 0;
};

struct InodeKey
{
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    bool operator==(const InodeKey&) const = default;
};

struct InodeKeyHash
{
    std::size_t operator()(const InodeKey& key) const
    {
        return std::hash<std::uint64_t>()(key.Inode * 0x9E3779B97F4A7C15ull ^ key.Device);
    }
};

// The files and sub-folders of one folder of a file list, kept until the walk ends so that the
// list comes out in tree order. The folder's path is held once; each file holds its numbers and
// its own name, the names one after another in one block.
struct FolderNode
{
    std::string Path; // below the root, ending in "/"; empty for the root
    std::string Names;
    std::vector<NodeFile> Files; // in position order
    // The files with several hard links (index into `Files`, identity), in file order: each is
    // listed at its first name in tree order only.
    std::vector<std::pair<std::uint32_t, InodeKey>> Linked;
    std::vector<std::pair<std::uint32_t, FolderNode*>> Children; // in position order
};

} // namespace tree_walk

/// The files a tree walk listed, held as compactly as one folder's rows until they are taken: each
/// folder's path once, each file its numbers and its own name.
class TreeFileList
{
public:
    TreeFileList() = default;
    TreeFileList(std::vector<std::unique_ptr<tree_walk::FolderNode>> folders);
    TreeFileList(TreeFileList&&) noexcept;
    TreeFileList& operator=(TreeFileList&&) noexcept;
    ~TreeFileList();

    /// How many names were listed; a file with several hard links is taken once, so `Take` may
    /// give fewer.
    std::size_t Count() const { return m_count; }
    /// At most how many bytes `Take` gives in names and folder paths, each path counted as often
    /// as it can be given again after a sub-folder's files.
    std::size_t TextBytes() const { return m_textBytes; }

    /// Gives each file in tree order (each folder's entries in directory order, a sub-folder's
    /// files where the sub-folder stands) with the path of its folder below the root (ending in
    /// "/", empty for the root itself) and its entry under its own name. A file with several hard
    /// links comes at its first name only. Each folder's storage goes once its files are given;
    /// the list is empty afterwards.
    void Take(const std::function<void(std::string_view folder, const DirectoryEntryView& file)>& give);

private:
    // Folder 0 is the root; the others are referred to from their parents.
    std::vector<std::unique_ptr<tree_walk::FolderNode>> m_folders;
    std::size_t m_count = 0;
    std::size_t m_textBytes = 0;
};

} // namespace pellamy

#endif
