// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_SHELL_SELECTEDFILES_H
#define PELLAMY_SHELL_SELECTEDFILES_H

#include "lists/ListRows.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

/// The column of the file list that holds the file name (column 0 is the extension).
inline constexpr std::size_t kFileNameColumn = 1;

/// The full paths of the selected rows of the file list: for each row in the list's current order
/// (top to bottom, after any sort) whose selected state is set, `currentFolder` (which ends in "/")
/// followed by the row's file name. Empty when no row is selected.
std::vector<std::string> SelectedFilePaths(const ListRows& fileRows, std::string_view currentFolder);

/// A selected row of the file list as the file commands take it: its full path and what the list
/// showed of it, where the list keeps that.
struct SelectedFile
{
    std::string Path;
    std::optional<ListedFile> Listed;
};

/// The selected rows of the file list in the order of `SelectedFilePaths`, each with what the list
/// showed of it.
std::vector<SelectedFile> SelectedFiles(const ListRows& fileRows, std::string_view currentFolder);

/// The full path of the selected row nearest the top of the list; nothing when none is selected.
std::optional<std::string> FirstSelectedFilePath(const ListRows& fileRows, std::string_view currentFolder);

/// How many rows of the list are selected.
std::size_t SelectedRowCount(const ListRows& rows);

} // namespace pellamy

#endif
