// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_CLI_REPORTROWS_H
#define PELLAMY_CLI_REPORTROWS_H

#include "cli/ReportData.h"
#include "reports/ListRows.h"
#include "scan/RegionalSettings.h"

namespace pellamy {

/// The rows of a `ReportData` as the reports read them: in the data's order, every row selected
/// (the copy commands report the selected file rows of a list whose rows are all selected), each
/// text made from the compact row when it is asked for, with `settings`. The data must outlive
/// this and keep its rows meanwhile.
class ReportRows final : public ListRows
{
public:
    ReportRows(const ReportData& data, const RegionalSettings& settings)
        : m_data(data)
        , m_settings(settings)
    {}

    std::size_t RowCount() const override { return m_data.RowCount(); }
    std::size_t ColumnCount() const override { return m_data.Columns.size(); }
    std::string CellText(std::size_t row, std::size_t column) const override;
    void AppendCellText(std::size_t row, std::size_t column, std::string& out) const override;
    bool IsSelected(std::size_t row) const override { return row < RowCount(); }

private:
    const ReportData& m_data;
    const RegionalSettings& m_settings;
};

} // namespace pellamy

#endif
