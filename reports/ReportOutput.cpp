// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/ReportOutput.h"

#include "reports/ReportFiles.h"

namespace pellamy {

std::optional<std::string> ReportOutput::Finish()
{
    if (m_pieceSize != kKeepsAll && !m_bytes.empty()) {
        HandOn();
    }
    return m_failure;
}

void ReportOutput::HandOn()
{
    if (!m_failure) {
        m_failure = Deliver(m_bytes);
    }
    m_bytes.clear();
}

std::optional<std::string> ReportFileOutput::Deliver(std::string_view bytes)
{
    return m_writer.Write(bytes);
}

std::optional<std::string> StreamToReportFile(const ReportFiles& files, const std::string& path,
                                              const std::function<std::optional<std::string>(ReportOutput&)>& write)
{
    ReportFiles::Opened opened = files.Open(path);
    if (auto* failure = std::get_if<std::string>(&opened)) {
        return std::move(*failure);
    }
    ReportFileWriter& writer = *std::get<std::unique_ptr<ReportFileWriter>>(opened);
    ReportFileOutput out(writer);
    if (auto failure = write(out)) {
        return failure;
    }
    return writer.Commit();
}

} // namespace pellamy
