// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_WIDGETS_FOLDERPATHS_H
#define PELLAMY_WIDGETS_FOLDERPATHS_H

#include "platform/posix/MountTable.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace pellamy {

/// Where the folder lists and drive boxes learn the drives from; `ReadMountedDrives` in the
/// program, a fixed table in tests.
using DriveProvider = std::function<std::vector<Drive>()>;

/// The drives of the running system.
DriveProvider SystemDrives();

/// `path` in the form a folder list holds it: absolute, separators single, "." and ".."
/// resolved, no trailing "/" except for "/" itself. Empty for an empty or relative path, which
/// names no drive.
QString CleanFolderPath(const QString& path);

/// The root of the drive that holds the clean absolute `folder`; "/" when no drive does.
QString DriveRootOf(const std::vector<Drive>& drives, const QString& folder);

/// The number of folder steps from `root` down to `folder` (0 for the root itself).
int DepthBelow(const QString& root, const QString& folder);

/// `folder` and `name` joined with one "/".
QString JoinFolder(const QString& folder, const QString& name);

/// The folders from `root` down to `folder`, both included, in that order.
QStringList FolderChain(const QString& root, const QString& folder);

/// Makes `folder` the process's working directory, as entering a folder does. False when it is
/// not a folder or cannot be entered (no access, no medium); the working directory then stays.
bool EnterFolder(const QString& folder);

/// The visible sub-folders of `folder`, ordered by name without regard to case in the user's
/// locale (names that differ only in case: in byte order). Empty when it cannot be read.
QStringList SortedSubFolders(const QString& folder);

/// The visible files of `folder` in the same order.
QStringList SortedFiles(const QString& folder);

/// A drive's root in the form a folder list holds it.
QString RootText(const Drive& drive);

} // namespace pellamy

#endif
