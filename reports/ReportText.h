// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_REPORTTEXT_H
#define PELLAMY_REPORTS_REPORTTEXT_H

#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

/// The text of a report: an ordered list of lines. As bytes, every line is followed by CR LF, the
/// last one included; a report without lines is the empty text. No byte-order mark is written.
class ReportText
{
public:
    void AddLine(std::string line) { m_lines.push_back(std::move(line)); }
    const std::vector<std::string>& Lines() const { return m_lines; }
    bool Empty() const { return m_lines.empty(); }

    /// The bytes of the report: each line followed by CR LF.
    std::string Bytes() const;

private:
    std::vector<std::string> m_lines;
};

/// `currentFolder` in the form the folder navigator shows it: without its trailing "/", except
/// for the root "/" itself.
std::string NavigatorFolderText(std::string_view currentFolder);

} // namespace pellamy

#endif
