// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_APP_QT_NAVIGATOR_FOLDERPATHS_H
#define PELLAMY_APP_QT_NAVIGATOR_FOLDERPATHS_H

#include "shell/FolderSystem.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <stop_token>
#include <string>
#include <vector>

namespace pellamy {

// Folder paths in the navigator and the select-folder dialog are the file system's bytes, held
// in a QByteArray, so that a name that is not valid UTF-8 is entered and handed on exactly as it
// is stored. Only what is painted goes through `ShownName`.

/// `path` in the form a folder list holds it: absolute, separators single, "." and ".."
/// resolved, no trailing "/" except for "/" itself. Empty for an empty or relative path, which
/// names no drive.
QByteArray CleanFolderPath(const QByteArray& path);

/// The root of the drive that holds the clean absolute `folder`; "/" when no drive does.
QByteArray DriveRootOf(const std::vector<Drive>& drives, const QByteArray& folder);

/// The number of folder steps from `root` down to `folder` (0 for the root itself).
int DepthBelow(const QByteArray& root, const QByteArray& folder);

/// `folder` and `name` joined with one "/".
QByteArray JoinFolder(const QByteArray& folder, const QByteArray& name);

/// The folders from `root` down to `folder`, both included, in that order.
QByteArrayList FolderChain(const QByteArray& root, const QByteArray& folder);

/// Makes `folder` the process's working directory, as entering a folder does. False when it is
/// not a folder or cannot be entered (no access, no medium); the working directory then stays.
bool EnterFolder(FolderSystem& folders, const QByteArray& folder);

/// The process's working directory in the form a folder list holds it; "/" when it has gone.
QByteArray WorkingFolderPath(FolderSystem& folders);

/// The visible sub-folders of `folder`, ordered by their shown names without regard to case in
/// the user's locale (names that look alike: in byte order). Empty when it cannot be read. May be
/// read on any thread; a reading stopped through `stop` gives what it had read.
QByteArrayList SortedSubFolders(FolderSystem& folders, const QByteArray& folder, std::stop_token stop = {});

/// The shown names of the visible files of `folder`, in the same order.
QStringList SortedFiles(FolderSystem& folders, const QByteArray& folder);

/// A drive's root in the form a folder list holds it.
QByteArray RootText(const Drive& drive);

/// The text painted for the path or name `bytes`: bytes that are not valid in the file names'
/// encoding show as the replacement character. Never used to find the folder again.
QString ShownName(const QByteArray& bytes);

/// The bytes of `path` as a std::string, and back.
std::string ToStdString(const QByteArray& path);
QByteArray FromStdString(const std::string& path);

} // namespace pellamy

#endif
