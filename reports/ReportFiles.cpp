// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportFiles.h"

namespace pellamy {

std::optional<std::string> WriteFileReplacing(const ReportFiles& files, const std::string& path,
                                              std::string_view bytes)
{
    ReportFiles::Opened opened = files.Open(path);
    if (auto* failure = std::get_if<std::string>(&opened)) {
        return std::move(*failure);
    }
    ReportFileWriter& writer = *std::get<std::unique_ptr<ReportFileWriter>>(opened);
    if (auto failure = writer.Write(bytes)) {
        return failure;
    }
    return writer.Commit();
}

} // namespace pellamy
