// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_CLI_REPORTROWS_H
#define PELLAMY_CLI_REPORTROWS_H

#include "cli/ReportData.h"
#include "reports/ListRows.h"
#include "scan/RegionalSettings.h"

#include <memory>

namespace pellamy {

/// The rows of a `ReportData` as the reports read them: in the data's order, every row selected
/// (the copy commands report the selected file rows of a list whose rows are all selected), each
/// text made from the compact row when it is asked for, with `settings`. The data must outlive
/// this and keep its rows meanwhile.
///
/// A long file list is read row after row by every report, so its texts are made ahead on a
/// second thread, a block of rows at a time, while the report writes the block before: the dates
/// and sizes then cost the writing thread nothing. The texts are the same either way. One object
/// serves one thread at a time.
class ReportRows final : public ListRows
{
public:
    ReportRows(const ReportData& data, const RegionalSettings& settings);
    ~ReportRows() override;

    ReportRows(const ReportRows&) = delete;
    ReportRows& operator=(const ReportRows&) = delete;

    std::size_t RowCount() const override { return m_data.RowCount(); }
    std::size_t ColumnCount() const override { return m_data.Columns.size(); }
    std::string CellText(std::size_t row, std::size_t column) const override;
    void AppendCellText(std::size_t row, std::size_t column, std::string& out) const override;
    bool IsSelected(std::size_t row) const override { return row < RowCount(); }

    /// How many rows a block of texts made ahead holds.
    static constexpr std::size_t kBlockRows = 4096;

private:
    class TextsAhead;

    // Appends the text of one cell, made from its compact row; safe on any thread.
    void MakeCellText(std::size_t row, std::size_t column, std::string& out) const;

    const ReportData& m_data;
    const RegionalSettings& m_settings;
    std::unique_ptr<TextsAhead> m_ahead; // null for short lists and type lists
};

} // namespace pellamy

#endif
