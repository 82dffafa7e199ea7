// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_REPORTS_REPORTDATA_H
#define PELLAMY_REPORTS_REPORTDATA_H

#include "lists/FileTable.h"
#include "lists/ListRows.h"
#include "lists/TypeTable.h"
#include "scan/ScanFolder.h"
#include "scan/TypeSummary.h"

#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

/// One list as a whole report shows it (pellamy-report's every format): the list table the window shows it with, every row
/// selected (the copy commands report the selected file rows of a list whose rows are all
/// selected), and what goes with it. Texts are made from the rows when they are written.
struct ReportData
{
    bool IsTypeList = true;
    std::string CurrentFolder; // with its trailing "/"
    bool Recursive = false;    // the whole tree below the folder; file names are relative paths
    NamePattern Pattern;       // file lists only
    std::vector<std::string_view> Columns;
    // Type list: the summary's totals (its rows are in `Types`).
    TypeSummary Summary;
    std::string TotalsLine;
    TypeTable Types;
    // File list.
    FileTable Files;

    /// The rows shown, in display order.
    const ListRows& Rows() const
    {
        if (IsTypeList) {
            return Types;
        }
        return Files;
    }
    std::size_t RowCount() const { return Rows().RowCount(); }
};

} // namespace pellamy

#endif
