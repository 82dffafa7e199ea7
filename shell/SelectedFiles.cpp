// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/SelectedFiles.h"

namespace pellamy {

std::vector<std::string> SelectedFilePaths(const ListRows& fileRows, std::string_view currentFolder)
{
    std::vector<std::string> paths;
    for (std::size_t row = 0; row < fileRows.RowCount(); ++row) {
        if (fileRows.IsSelected(row)) {
            std::string path(currentFolder);
            path += fileRows.CellText(row, kFileNameColumn);
            paths.push_back(std::move(path));
        }
    }
    return paths;
}

std::vector<SelectedFile> SelectedFiles(const ListRows& fileRows, std::string_view currentFolder)
{
    std::vector<SelectedFile> files;
    for (std::size_t row = 0; row < fileRows.RowCount(); ++row) {
        if (fileRows.IsSelected(row)) {
            files.push_back({std::string(currentFolder) + fileRows.CellText(row, kFileNameColumn),
                             fileRows.Listed(row)});
        }
    }
    return files;
}

std::optional<std::string> FirstSelectedFilePath(const ListRows& fileRows, std::string_view currentFolder)
{
    for (std::size_t row = 0; row < fileRows.RowCount(); ++row) {
        if (fileRows.IsSelected(row)) {
            return std::string(currentFolder) + fileRows.CellText(row, kFileNameColumn);
        }
    }
    return std::nullopt;
}

std::size_t SelectedRowCount(const ListRows& rows)
{
    std::size_t count = 0;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        count += rows.IsSelected(row) ? 1 : 0;
    }
    return count;
}

} // namespace pellamy
