// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportText.h"

#include <algorithm>

namespace pellamy {

std::vector<std::string> ReportText::Lines() const
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t search = 0;
    for (;;) {
        const std::size_t end = m_bytes.find("\r\n", search);
        if (end == std::string::npos) {
            break;
        }
        search = end + 2;
        if (std::binary_search(m_innerLineEnds.begin(), m_innerLineEnds.end(), end)) {
            continue;
        }
        lines.push_back(m_bytes.substr(start, end - start));
        start = search;
    }
    return lines;
}

std::string ReportText::TakeBytes()
{
    std::string bytes = std::move(m_bytes);
    m_bytes.clear();
    m_innerLineEnds.clear();
    return bytes;
}

void ReportText::RowsWritten(std::size_t done, std::size_t total)
{
    // Once, after a sample of rows: room for the rest at the sample's rate and a little more, so
    // the text is not grown by doubling (which holds the old and the new copy at once).
    if (m_reserved || done == 0 || done >= total) {
        return;
    }
    m_reserved = true;
    const double perRow = static_cast<double>(m_bytes.size()) / static_cast<double>(done);
    const auto expected = static_cast<std::size_t>(perRow * static_cast<double>(total) * 1.05) + 4096;
    if (expected > m_bytes.capacity()) {
        m_bytes.reserve(expected);
    }
}

std::optional<std::string> ReportText::Deliver(std::string_view bytes)
{
    static_cast<void>(bytes);
    return std::nullopt;
}

void ReportText::LineEnded(std::size_t lineStart)
{
    for (std::size_t at = m_bytes.find("\r\n", lineStart); at != std::string::npos;
         at = m_bytes.find("\r\n", at + 2)) {
        m_innerLineEnds.push_back(at);
    }
}

std::string NavigatorFolderText(std::string_view currentFolder)
{
    while (currentFolder.size() > 1 && currentFolder.back() == '/') {
        currentFolder.remove_suffix(1);
    }
    return std::string(currentFolder);
}

} // namespace pellamy
