// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/TreeFileList.h"

#include <unordered_set>

namespace pellamy {

using tree_walk::FolderNode;
using tree_walk::InodeKey;
using tree_walk::InodeKeyHash;
using tree_walk::NodeFile;

TreeFileList::TreeFileList(std::vector<std::unique_ptr<FolderNode>> folders)
    : m_folders(std::move(folders))
{
    for (const auto& folder : m_folders) {
        m_count += folder->Files.size();
        // A folder's path is given again after each of its sub-folders.
        m_textBytes += folder->Names.size() + folder->Path.size() * (1 + folder->Children.size());
    }
}

TreeFileList::TreeFileList(TreeFileList&&) noexcept = default;
TreeFileList& TreeFileList::operator=(TreeFileList&&) noexcept = default;
TreeFileList::~TreeFileList() = default;

void TreeFileList::Take(
    const std::function<void(std::string_view folder, const DirectoryEntryView& file)>& give)
{
    if (m_folders.empty()) {
        return;
    }
    std::unordered_set<InodeKey, InodeKeyHash> linksSeen;
    struct Frame
    {
        FolderNode* Node;
        std::size_t File = 0;
        std::size_t Child = 0;
        std::size_t Linked = 0;
    };
    std::vector<Frame> stack{Frame{m_folders.front().get()}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        FolderNode& node = *frame.Node;
        const bool fileLeft = frame.File < node.Files.size();
        const bool childLeft = frame.Child < node.Children.size();
        if (!fileLeft && !childLeft) {
            node = FolderNode{};
            stack.pop_back();
            continue;
        }
        if (fileLeft && (!childLeft || node.Files[frame.File].Position < node.Children[frame.Child].first)) {
            const std::size_t index = frame.File++;
            if (frame.Linked < node.Linked.size() && node.Linked[frame.Linked].first == index) {
                if (!linksSeen.insert(node.Linked[frame.Linked++].second).second) {
                    continue;
                }
            }
            const NodeFile& file = node.Files[index];
            give(node.Path,
                 DirectoryEntryView{std::string_view(node.Names).substr(file.NameOffset, file.NameLength),
                                    file.Attributes, file.CreationTime, file.LastAccessTime,
                                    file.LastWriteTime, file.Size});
            continue;
        }
        FolderNode* child = node.Children[frame.Child++].second;
        stack.push_back(Frame{child});
    }
    m_folders.clear();
    m_count = 0;
    m_textBytes = 0;
}

} // namespace pellamy
