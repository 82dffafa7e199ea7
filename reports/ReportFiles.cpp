// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportFiles.h"

#include "reports/ReportOutput.h"

namespace pellamy {

std::optional<std::string> WriteFileReplacing(const ReportFiles& files, const std::string& path,
                                              std::string_view bytes)
{
    return StreamToReportFile(files, path, [bytes](ReportOutput& out) {
        // In pieces, so the text is never held twice.
        for (std::size_t at = 0; at < bytes.size() && !out.Failed(); at += kReportPieceSize) {
            out.Buffer() += bytes.substr(at, kReportPieceSize);
            out.Written();
        }
        return out.Finish();
    });
}

} // namespace pellamy
