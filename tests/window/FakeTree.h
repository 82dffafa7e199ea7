// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_WINDOW_FAKETREE_H
#define PELLAMY_TESTS_WINDOW_FAKETREE_H

#include "scan/FileEntry.h"
#include "scan/TreeSource.h"

#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace pellamy {

/// A tree in memory, walked as the system's tree source walks one. Folders are keyed by their
/// path below the root ("" the root, "src/deep"); an entry that names a folder of the map is a
/// sub-folder, anything else a file (a link to a folder is a file with the directory bit).
class FakeTree final : public TreeSource
{
public:
    struct Entry
    {
        std::string Name;
        bool Folder = false;
        std::int64_t Size = 0;
        std::uint64_t Inode = 0; // 0: a file of its own
        std::uint32_t Links = 1;
        std::uint32_t Attributes = Attr::kArchive;
    };
    struct Folder
    {
        std::vector<Entry> Entries;
        std::uint64_t Inode = 0; // 0: a folder of its own
        bool MountRoot = false;
        bool Unreadable = false;
    };
    std::map<std::string, Folder> Folders;

    std::error_code OpenRoot(const std::string&, FolderIdentity& identity) override
    {
        if (Folders.count("") == 0) {
            return std::make_error_code(std::errc::no_such_file_or_directory);
        }
        identity = IdentityOf("");
        return {};
    }

    std::error_code ReadFolder(const TreeFolderRef& parent, std::string_view name,
                               const std::function<bool(const FolderIdentity&)>& enter, TreeFolderSink& sink,
                               TreeFolderRef& children) override
    {
        std::string path;
        if (parent) {
            const std::string& above = static_cast<const Held&>(*parent).Path;
            path = above.empty() ? std::string(name) : above + "/" + std::string(name);
        }
        const auto found = Folders.find(path);
        if (found == Folders.end()) {
            return std::make_error_code(std::errc::no_such_file_or_directory);
        }
        if (found->second.Unreadable) {
            return std::make_error_code(std::errc::permission_denied);
        }
        if (!enter(IdentityOf(path))) {
            return {};
        }
        bool hasFolders = false;
        std::uint32_t position = 0;
        for (const Entry& entry : found->second.Entries) {
            if (entry.Folder) {
                sink.SubFolder(entry.Name, position);
                hasFolders = true;
            } else if (sink.WantsName(entry.Name)) {
                TreeEntryView view;
                view.Entry.Name = entry.Name;
                view.Entry.Attributes = entry.Attributes;
                view.Entry.Size = entry.Size;
                view.Position = position;
                view.Device = 1;
                view.Inode = entry.Inode != 0 ? entry.Inode : 1000000 + InodeOf(path) * 1000 + position;
                view.Links = entry.Links;
                sink.File(view);
            }
            ++position;
        }
        if (hasFolders) {
            children = std::make_shared<Held>(path);
        }
        return {};
    }

private:
    struct Held final : TreeFolder
    {
        explicit Held(std::string path)
            : Path(std::move(path))
        {}
        std::string Path;
    };

    std::uint64_t InodeOf(const std::string& path) const
    {
        const Folder& folder = Folders.at(path);
        if (folder.Inode != 0) {
            return folder.Inode;
        }
        return static_cast<std::uint64_t>(std::distance(Folders.begin(), Folders.find(path))) + 1;
    }

    FolderIdentity IdentityOf(const std::string& path) const
    {
        return FolderIdentity{1, InodeOf(path), Folders.at(path).MountRoot};
    }
};

} // namespace pellamy

#endif
