// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_TREEFOLDERCOLLECTOR_H
#define PELLAMY_SCAN_TREEFOLDERCOLLECTOR_H

#include "scan/CaseFold.h"
#include "scan/TreeFileList.h"
#include "scan/TreeSource.h"
#include "scan/TreeTypeCounters.h"
#include "scan/TreeWalk.h"

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace pellamy {

/// The parts of a tree walk that one folder's reading needs: what a walker thread keeps of each
/// folder and file, and the sink that gathers one folder's entries. Used by the walk alone.
namespace tree_walk {


struct FolderTask
{
    // The folder read before this one, from which this one is opened by its name, so that the
    // cost of opening a folder never grows with its depth.
    TreeFolderRef Parent;
    std::string RelativePath;
    TreePosition Position;
    FolderNode* Node = nullptr;
    bool Claimed = false; // its identity is already taken in the set of folders entered
};

// A file with several hard links seen in a summary: counted once, at its first name.
struct LinkedFile
{
    TreePosition Position;
    std::string Extension;
    ByteCount Size = 0;
};

struct UnreadAt
{
    TreePosition Position;
    UnreadFolder Folder;
};

struct DeferredMount
{
    FolderTask Task;
    FolderIdentity Identity;
};

// What one thread gathers; the threads' shares are merged once the walk ends.
struct WorkerShare
{
    TreeTypeCounters Counters;
    std::unordered_map<InodeKey, LinkedFile, InodeKeyHash> Links;
    std::vector<UnreadAt> Unread;
    std::vector<DeferredMount> Deferred;
};

// Collects one folder's entries. Nothing of a folder counts until it has been read to its end,
// so a folder that fails part-way is left out whole.
class FolderCollector final : public TreeFolderSink
{
public:
    FolderCollector(const TreeWalkOptions& options, std::atomic<std::uint64_t>& filesSeen)
        : m_options(options)
        , m_filesSeen(filesSeen)
    {}

    void Start(const FolderTask& task)
    {
        m_prefix = task.RelativePath.empty() ? std::string() : task.RelativePath + "/";
        m_groups.clear();
        m_groupIndex.clear();
        m_linked.clear();
        m_files.clear();
        m_names.clear();
        m_fileLinks.clear();
        m_subFolders.clear();
        m_seen = 0;
    }

    bool WantsName(std::string_view name) override { return m_options.Pattern.Matches(name); }

    void File(const TreeEntryView& view) override
    {
        ++m_seen;
        if ((m_seen & 255) == 0) {
            m_filesSeen.fetch_add(256, std::memory_order_relaxed);
        }
        const DirectoryEntryView& e = view.Entry;
        if (!IsAccepted(e.Attributes, m_options.Scan)) {
            return;
        }
        const bool linked = view.Links > 1;
        if (m_options.ListFiles) {
            // The folder's path is held once, by its node; a file keeps its own name only.
            if (linked) {
                m_fileLinks.emplace_back(static_cast<std::uint32_t>(m_files.size()), InodeKey{view.Device, view.Inode});
            }
            m_files.push_back(NodeFile{static_cast<std::uint32_t>(m_names.size()),
                                       static_cast<std::uint32_t>(e.Name.size()), e.Attributes, view.Position, e.Size,
                                       e.CreationTime, e.LastWriteTime, e.LastAccessTime});
            m_names += e.Name;
            return;
        }
        const std::string_view extension = ExtensionOf(e.Name);
        if (linked) {
            m_linked.push_back(Linked{InodeKey{view.Device, view.Inode}, view.Position,
                                      std::string(extension), ToByteCount(e.Size)});
            return;
        }
        // Runs of one extension are common, so the last group is tried before folding.
        if (m_groups.empty() || extension != m_groups[m_lastGroup].Spelling) {
            m_key.clear();
            AppendFolded(extension, m_key);
            auto [it, inserted] = m_groupIndex.try_emplace(m_key, m_groups.size());
            if (inserted) {
                m_groups.push_back(Group{std::string(extension), view.Position, 0, 0});
            }
            m_lastGroup = it->second;
        }
        Group& group = m_groups[m_lastGroup];
        ++group.Count;
        group.Size += ToByteCount(e.Size);
    }

    void SubFolder(std::string_view name, std::uint32_t position) override
    {
        m_subFolders.emplace_back(std::string(name), position);
    }

    // Hands a folder that was read to its end to the thread's share, and gives its sub-folders.
    void Commit(const FolderTask& task, const TreeFolderRef& children, WorkerShare& share,
                std::vector<FolderTask>& subFolders, std::vector<std::unique_ptr<FolderNode>>& newNodes)
    {
        m_filesSeen.fetch_add(m_seen & 255, std::memory_order_relaxed);
        TreePosition position = task.Position;
        position.push_back(0);
        for (const Group& group : m_groups) {
            position.back() = group.First;
            share.Counters.Add(group.Spelling, position, group.Count, group.Size);
        }
        for (Linked& file : m_linked) {
            position.back() = file.Position;
            auto [it, inserted] = share.Links.try_emplace(file.Key);
            if (inserted || position < it->second.Position) {
                it->second = LinkedFile{position, std::move(file.Extension), file.Size};
            }
        }
        if (task.Node != nullptr) {
            // Copied at their size: the buffers keep their room for the thread's next folder, and
            // the folder holds no spare room until the walk ends.
            FolderNode& node = *task.Node;
            node.Path = m_prefix;
            node.Names.assign(m_names);
            node.Files.assign(m_files.begin(), m_files.end());
            node.Linked.assign(m_fileLinks.begin(), m_fileLinks.end());
        }
        for (auto& [name, at] : m_subFolders) {
            FolderTask sub;
            sub.Parent = children;
            sub.RelativePath = m_prefix + name;
            sub.Position = task.Position;
            sub.Position.push_back(at);
            if (task.Node != nullptr) {
                newNodes.push_back(std::make_unique<FolderNode>());
                sub.Node = newNodes.back().get();
                task.Node->Children.emplace_back(at, sub.Node);
            }
            subFolders.push_back(std::move(sub));
        }
    }

private:
    struct Group
    {
        std::string Spelling;
        std::uint32_t First = 0;
        std::int64_t Count = 0;
        ByteCount Size = 0;
    };
    struct Linked
    {
        InodeKey Key;
        std::uint32_t Position = 0;
        std::string Extension;
        ByteCount Size = 0;
    };

    const TreeWalkOptions& m_options;
    std::atomic<std::uint64_t>& m_filesSeen;
    std::string m_prefix;
    std::vector<Group> m_groups;
    std::unordered_map<std::string, std::size_t> m_groupIndex;
    std::size_t m_lastGroup = 0;
    std::string m_key;
    std::vector<Linked> m_linked;
    std::vector<NodeFile> m_files;
    std::string m_names;
    std::vector<std::pair<std::uint32_t, InodeKey>> m_fileLinks;
    std::vector<std::pair<std::string, std::uint32_t>> m_subFolders;
    std::uint64_t m_seen = 0;
};

} // namespace tree_walk
} // namespace pellamy

#endif
