// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_REPORTTEXT_H
#define PELLAMY_REPORTS_REPORTTEXT_H

#include "reports/ReportOutput.h"

#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

/// The text of a report: an ordered list of lines, kept as the bytes they give, so that a report
/// is made once and never copied line by line. As bytes, every line is followed by CR LF, the last
/// one included; a report without lines is the empty text. No byte-order mark is written. As a
/// `ReportOutput` it keeps everything written to it.
class ReportText final : public ReportOutput
{
public:
    ReportText()
        : ReportOutput(kKeepsAll)
    {}

    /// The lines, each without its CR LF; a line that itself holds CR LF (a file name may) stays
    /// one line. Made on request: meant for checks, not for large reports.
    std::vector<std::string> Lines() const;
    bool Empty() const { return m_bytes.empty(); }

    /// The bytes of the report: each line followed by CR LF.
    const std::string& Bytes() const { return m_bytes; }

    /// The bytes, moved out; the text is empty afterwards.
    std::string TakeBytes();

    void RowsWritten(std::size_t done, std::size_t total) override;

private:
    std::optional<std::string> Deliver(std::string_view bytes) override;
    void LineEnded(std::size_t lineStart) override;

    // Where a CR LF inside a line stands: every other CR LF ends a line.
    std::vector<std::size_t> m_innerLineEnds;
    bool m_reserved = false;
};

/// `currentFolder` in the form the folder navigator shows it: without its trailing "/", except
/// for the root "/" itself.
std::string NavigatorFolderText(std::string_view currentFolder);

} // namespace pellamy

#endif
