// SPDX-License-Identifier: GPL-3.0-or-later
#include "scan/TreeWalk.h"

#include "scan/TreeFolderCollector.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace pellamy {
namespace {

using namespace tree_walk;
class TreeWalker
{
public:
    TreeWalker(TreeSource& source, const TreeWalkOptions& options, const FolderIdentity& root)
        : m_source(source)
        , m_options(options)
        , m_root(root)
    {
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        m_shares.resize(options.Threads == 0 ? cores : options.Threads);
    }

    TreeWalkResult Run(const std::function<void(const TreeProgress&)>& progress)
    {
        FolderTask root;
        root.Claimed = true;
        m_visited.insert(InodeKey{m_root.Device, m_root.Inode});
        std::unique_ptr<FolderNode> rootNode;
        if (m_options.ListFiles) {
            rootNode = std::make_unique<FolderNode>();
            root.Node = rootNode.get();
        }
        std::vector<FolderTask> round;
        round.push_back(std::move(root));
        // Folders at mount points wait for the next round, in which they are claimed in tree
        // order, so that which of several paths to one folder is read never depends on timing.
        while (!round.empty() && !m_options.Scan.Stop.stop_requested()) {
            RunRound(std::move(round), progress);
            round = ClaimDeferredMounts();
        }

        TreeWalkResult result;
        result.FoldersRead = m_foldersRead.load();
        if (m_options.Scan.Stop.stop_requested()) {
            result.RootError = std::make_error_code(std::errc::operation_canceled);
            return result;
        }
        if (m_rootError) {
            result.RootError = m_rootError;
            return result;
        }
        TreeTypeCounters counters;
        std::unordered_map<InodeKey, LinkedFile, InodeKeyHash> links;
        std::vector<UnreadAt> unread;
        for (WorkerShare& share : m_shares) {
            counters.MergeFrom(share.Counters);
            for (auto& [key, file] : share.Links) {
                auto [it, inserted] = links.try_emplace(key);
                if (inserted || file.Position < it->second.Position) {
                    it->second = std::move(file);
                }
            }
            std::move(share.Unread.begin(), share.Unread.end(), std::back_inserter(unread));
        }
        for (const auto& [key, file] : links) {
            counters.Add(file.Extension, file.Position, 1, file.Size);
        }
        result.Rows = counters.Rows();
        std::sort(unread.begin(), unread.end(),
                  [](const UnreadAt& a, const UnreadAt& b) { return a.Position < b.Position; });
        for (UnreadAt& folder : unread) {
            result.Unread.push_back(std::move(folder.Folder));
        }
        if (rootNode) {
            std::vector<std::unique_ptr<FolderNode>> folders;
            folders.reserve(m_nodes.size() + 1);
            folders.push_back(std::move(rootNode));
            std::move(m_nodes.begin(), m_nodes.end(), std::back_inserter(folders));
            m_nodes.clear();
            result.Files = TreeFileList(std::move(folders));
        }
        return result;
    }

private:
    void RunRound(std::vector<FolderTask> tasks, const std::function<void(const TreeProgress&)>& progress)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_pending = std::move(tasks);
            m_busy = 0;
        }
        std::vector<std::thread> threads;
        for (std::size_t i = 0; i < m_shares.size(); ++i) {
            threads.emplace_back([this, i] { Work(m_shares[i]); });
        }
        {
            std::unique_lock lock(m_mutex);
            while (!m_done.wait_for(lock, std::chrono::milliseconds(100),
                                    [this] { return m_pending.empty() && m_busy == 0; })) {
                if (progress) {
                    lock.unlock();
                    progress(TreeProgress{m_foldersRead.load(), m_filesSeen.load()});
                    lock.lock();
                }
            }
        }
        for (std::thread& thread : threads) {
            thread.join();
        }
    }

    void Work(WorkerShare& share)
    {
        FolderCollector collector(m_options, m_filesSeen);
        std::vector<FolderTask> subFolders;
        std::vector<std::unique_ptr<FolderNode>> newNodes;
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return !m_pending.empty() || m_busy == 0; });
            if (m_options.Scan.Stop.stop_requested()) {
                // Stopped: the folders still queued are never read.
                m_pending.clear();
            }
            if (m_pending.empty()) {
                // Nothing queued and nobody reading who could queue more: the round is over.
                m_wake.notify_all();
                m_done.notify_all();
                return;
            }
            FolderTask task = std::move(m_pending.back());
            m_pending.pop_back();
            ++m_busy;
            lock.unlock();

            subFolders.clear();
            newNodes.clear();
            Read(task, collector, share, subFolders, newNodes);
            // The parent may be held for this folder alone: let it go before taking the lock.
            task.Parent.reset();

            lock.lock();
            --m_busy;
            for (auto& node : newNodes) {
                m_nodes.push_back(std::move(node));
            }
            // Last first, so that a thread taking from the end takes the first sub-folder.
            for (auto it = subFolders.rbegin(); it != subFolders.rend(); ++it) {
                m_pending.push_back(std::move(*it));
            }
            if (!subFolders.empty()) {
                m_wake.notify_all();
            } else if (m_pending.empty() && m_busy == 0) {
                m_wake.notify_all();
            }
        }
    }

    void Read(FolderTask& task, FolderCollector& collector, WorkerShare& share,
              std::vector<FolderTask>& subFolders, std::vector<std::unique_ptr<FolderNode>>& newNodes)
    {
        const bool isRoot = task.Position.empty();
        bool entered = false;
        const auto enter = [&](const FolderIdentity& identity) {
            if (!isRoot) {
                if (m_options.OneFileSystem && identity.Device != m_root.Device) {
                    return false;
                }
                if (!task.Claimed && identity.IsMountRoot) {
                    share.Deferred.push_back(DeferredMount{task, identity});
                    return false;
                }
                if (!task.Claimed) {
                    const std::lock_guard visitedLock(m_visitedMutex);
                    if (!m_visited.insert(InodeKey{identity.Device, identity.Inode}).second) {
                        return false;
                    }
                }
            }
            entered = true;
            return true;
        };
        collector.Start(task);
        // The last name of the path (the whole path below the root; empty for the root).
        const std::string_view name =
            std::string_view(task.RelativePath).substr(task.RelativePath.rfind('/') + 1);
        TreeFolderRef children;
        const std::error_code error = m_source.ReadFolder(task.Parent, name, enter, collector, children);
        if (error) {
            if (isRoot) {
                m_rootError = error;
            } else {
                share.Unread.push_back(UnreadAt{task.Position, UnreadFolder{task.RelativePath, error}});
            }
            return;
        }
        if (!entered) {
            return;
        }
        collector.Commit(task, children, share, subFolders, newNodes);
        m_foldersRead.fetch_add(1, std::memory_order_relaxed);
    }

    std::vector<FolderTask> ClaimDeferredMounts()
    {
        std::vector<DeferredMount> deferred;
        for (WorkerShare& share : m_shares) {
            std::move(share.Deferred.begin(), share.Deferred.end(), std::back_inserter(deferred));
            share.Deferred.clear();
        }
        std::sort(deferred.begin(), deferred.end(), [](const DeferredMount& a, const DeferredMount& b) {
            return a.Task.Position < b.Task.Position;
        });
        std::vector<FolderTask> claimed;
        for (DeferredMount& mount : deferred) {
            if (m_visited.insert(InodeKey{mount.Identity.Device, mount.Identity.Inode}).second) {
                mount.Task.Claimed = true;
                claimed.push_back(std::move(mount.Task));
            }
        }
        return claimed;
    }

    TreeSource& m_source;
    const TreeWalkOptions& m_options;
    FolderIdentity m_root;
    std::vector<WorkerShare> m_shares;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::vector<FolderTask> m_pending;
    std::size_t m_busy = 0;
    std::vector<std::unique_ptr<FolderNode>> m_nodes;

    std::mutex m_visitedMutex;
    std::unordered_set<InodeKey, InodeKeyHash> m_visited;

    std::atomic<std::uint64_t> m_foldersRead{0};
    std::atomic<std::uint64_t> m_filesSeen{0};
    std::error_code m_rootError; // written only by the thread that reads the root
};

} // namespace

TreeWalkResult WalkTree(TreeSource& source, const std::string& folder, const TreeWalkOptions& options,
                        const std::function<void(const TreeProgress&)>& progress)
{
    FolderIdentity root;
    if (const std::error_code error = source.OpenRoot(folder, root)) {
        TreeWalkResult result;
        result.RootError = error;
        return result;
    }
    TreeWalker walker(source, options, root);
    return walker.Run(progress);
}

} // namespace pellamy
