// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportText.h"

namespace pellamy {

std::string ReportText::Bytes() const
{
    std::size_t size = 0;
    for (const std::string& line : m_lines) {
        size += line.size() + 2;
    }
    std::string out;
    out.reserve(size);
    for (const std::string& line : m_lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::string NavigatorFolderText(std::string_view currentFolder)
{
    while (currentFolder.size() > 1 && currentFolder.back() == '/') {
        currentFolder.remove_suffix(1);
    }
    return std::string(currentFolder);
}

} // namespace pellamy
