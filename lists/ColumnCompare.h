// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_LISTS_COLUMNCOMPARE_H
#define PELLAMY_LISTS_COLUMNCOMPARE_H

#include "scan/RegionalSettings.h"

#include <optional>
#include <string_view>

namespace pellamy {

/// The ordering value of a size text ("1.5 MB"): KB values as they are, MB values times 2^20, GB
/// values times 2^50, so that every GB text orders above every MB text and every MB text above
/// every KB text. The number is read with the settings' decimal separator; blanks around it are
/// allowed. A text with no unit or no readable number gives 0.
double SizeSortValue(std::string_view text, const RegionalSettings& settings);

/// Compares two doubles with a relative tolerance of 1e-12 (absolute 1e-12 near zero): -1, 0 or 1.
int TolerantCompare(double a, double b);

/// A date-time text of the lists read back as milliseconds since 0001-01-01, for ordering.
std::optional<long long> DateTimeSortValue(std::string_view text, const RegionalSettings& settings);

/// A whole decimal number as the "Number" column holds it, or nothing.
std::optional<long long> NumberSortValue(std::string_view text);

/// How the type list's handler compares two cell texts (columns Type, Description, Number, Size)
/// in ascending order: "Number" numerically, "Size" by `SizeSortValue`, the others by the
/// case-insensitive text comparison. Negative, zero or positive. For handlers that see only the
/// texts; a header sort with the standard handler orders by the values behind them
/// (lists/ColumnOrder.h).
int CompareTypeCells(int column, std::string_view a, std::string_view b, const RegionalSettings& settings);

/// How the file list's handler compares two cell texts (columns Type, Name, Created, Modified,
/// Attribs, Size): the times by date and time read back from the texts (equal to the second is
/// equal), "Size" by `SizeSortValue`, the others by the case-insensitive text comparison. For
/// handlers that see only the texts, as for `CompareTypeCells`.
int CompareFileCells(int column, std::string_view a, std::string_view b, const RegionalSettings& settings);

} // namespace pellamy

#endif
