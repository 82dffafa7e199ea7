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

} // namespace pellamy
