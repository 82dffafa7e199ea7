// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/fuzz/CsvReader.h"

namespace pellamy {
namespace {

// Reads the record that starts at `pos`; stops at the CR LF ending it (consumed) or at the end.
// `endedByLine` tells which.
std::optional<CsvRecord> ReadRecord(std::string_view text, std::size_t& pos, bool& endedByLine)
{
    CsvRecord record;
    endedByLine = false;
    while (true) {
        std::string field;
        if (pos < text.size() && text[pos] == '"') {
            ++pos;
            while (true) {
                if (pos >= text.size()) {
                    return std::nullopt; // quote never closed
                }
                if (text[pos] == '"') {
                    if (pos + 1 < text.size() && text[pos + 1] == '"') {
                        field.push_back('"');
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                field.push_back(text[pos++]);
            }
        } else {
            while (pos < text.size() && text[pos] != ',' && text[pos] != '\r' && text[pos] != '\n') {
                if (text[pos] == '"') {
                    return std::nullopt; // quote inside an unquoted field
                }
                field.push_back(text[pos++]);
            }
        }
        record.push_back(std::move(field));
        if (pos >= text.size()) {
            return record;
        }
        if (text[pos] == ',') {
            ++pos;
            continue;
        }
        if (text.substr(pos, 2) == "\r\n") {
            pos += 2;
            endedByLine = true;
            return record;
        }
        return std::nullopt; // a lone CR or LF, or text after a closing quote
    }
}

} // namespace

std::optional<CsvRecord> ReadCsvLine(std::string_view line)
{
    std::size_t pos = 0;
    bool endedByLine = false;
    auto record = ReadRecord(line, pos, endedByLine);
    if (!record || endedByLine) {
        return std::nullopt;
    }
    return record;
}

std::optional<std::vector<CsvRecord>> ReadCsvText(std::string_view text)
{
    std::vector<CsvRecord> records;
    std::size_t pos = 0;
    while (pos < text.size()) {
        bool endedByLine = false;
        auto record = ReadRecord(text, pos, endedByLine);
        if (!record || !endedByLine) {
            return std::nullopt;
        }
        records.push_back(std::move(*record));
    }
    return records;
}

} // namespace pellamy
