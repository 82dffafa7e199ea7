// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PELLAMY_TESTS_FUZZ_CSVREADER_H
#define PELLAMY_TESTS_FUZZ_CSVREADER_H

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellamy {

using CsvRecord = std::vector<std::string>;

/// Reads one CSV line without its line end: fields split at commas outside double quotes; a
/// quoted field has its doubled quotes undone and must end at a comma or the line's end. Nothing
/// for a line that breaks these rules (a stray quote, a CR or LF outside quotes).
std::optional<CsvRecord> ReadCsvLine(std::string_view line);

/// Reads a CSV text whose every record is followed by CR LF, the last one included; line ends
/// inside quoted fields belong to the field. Nothing for a text that breaks the rules.
std::optional<std::vector<CsvRecord>> ReadCsvText(std::string_view text);

} // namespace pellamy

#endif
