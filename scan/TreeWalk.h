// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SCAN_TREEWALK_H
#define PELLAMY_SCAN_TREEWALK_H

#include "scan/FileEntry.h"
#include "scan/ScanFolder.h"
#include "scan/TreeFileList.h"
#include "scan/TreeSource.h"
#include "scan/TypeSummary.h"

#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

namespace pellamy {

/// What a walk over a folder and everything below it is asked to do.
struct TreeWalkOptions
{
    /// Which files count, as in one folder.
    ScanOptions Scan;
    /// The names a file list takes; the summary takes every name.
    NamePattern Pattern = NamePattern::AllFiles();
    /// Keep every accepted file (a file list) rather than only the per-type counters.
    bool ListFiles = false;
    /// Enter no folder on another file system than the root's.
    bool OneFileSystem = false;
    /// How many threads read folders; 0 for one per core.
    unsigned Threads = 0;
};

/// How far a walk has come: folders read and entries (other than sub-folders) seen in them.
struct TreeProgress
{
    std::uint64_t Folders = 0;
    std::uint64_t Files = 0;
};

/// A folder below the root that could not be read, with the system's reason.
struct UnreadFolder
{
    std::string RelativePath;
    std::error_code Error;
};

/// What a walk found. Everything in it is the same whatever the number of threads and timing.
struct TreeWalkResult
{
    /// Set when the root itself cannot be opened or read, or to `std::errc::operation_canceled` when
    /// the walk was stopped (`TreeWalkOptions::Scan.Stop`); nothing else is filled then.
    std::error_code RootError;
    /// Summary: one row per type (no descriptions), in the tree order of each type's first file.
    std::vector<TypeRow> Rows;
    /// File list: the accepted files, each with the path of its folder relative to the root
    /// ("sub/" for "sub/a.txt"), given in tree order (each folder's entries in directory order, a
    /// sub-folder's files where the sub-folder stands).
    TreeFileList Files;
    /// The folders below the root that could not be read, in tree order; their files are left out.
    std::vector<UnreadFolder> Unread;
    std::uint64_t FoldersRead = 0;
};

/// Walks `folder` and every folder below it with a pool of threads, each reading whole folders.
/// Links to folders are never followed; each folder is read once, however many paths (bind
/// mounts) lead to it: the path that crosses the fewest mount points wins, and of those the first
/// in tree order. A file with several hard links counts once, at its first accepted
/// name in tree order. `progress`, when given, is called on the calling thread about ten times a
/// second.
TreeWalkResult WalkTree(TreeSource& source, const std::string& folder, const TreeWalkOptions& options,
                        const std::function<void(const TreeProgress&)>& progress = {});

} // namespace pellamy

#endif
