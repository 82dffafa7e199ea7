// SPDX-License-Identifier: GPL-3.0-or-later
// The comma text and the two CSV reports: whatever the texts, a CSV reader gets every field back
// exactly, the header first, one record per exported row.
#include "lists/ColumnCaptions.h"
#include "lists/FileRows.h"
#include "reports/CommaText.h"
#include "reports/CsvReports.h"
#include "scan/TypeSummary.h"
#include "tests/fuzz/CsvReader.h"
#include "tests/fuzz/FuzzCheck.h"

#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Texts(FuzzedDataProvider& input, std::size_t count)
{
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < count; ++i) {
        texts.push_back(input.ConsumeRandomLengthString(40));
    }
    return texts;
}

pellamy::CsvRecord Captions(std::span<const std::string_view> captions)
{
    return pellamy::CsvRecord(captions.begin(), captions.end());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pellamy;
    FuzzedDataProvider input(data, size);
    const int which = input.ConsumeIntegralInRange(0, 2);

    if (which == 0) {
        // One line of any items.
        const std::vector<std::string> items = Texts(input, input.ConsumeIntegralInRange<std::size_t>(1, 12));
        const std::string line = CommaText(items);
        const auto read = ReadCsvLine(line);
        PELLAMY_FUZZ_CHECK(read.has_value());
        PELLAMY_FUZZ_CHECK(*read == items);
        // An item that needs no quotes is written as it is.
        for (const std::string& item : items) {
            bool plain = true;
            for (const char c : item) {
                const auto byte = static_cast<unsigned char>(c);
                plain = plain && !(byte >= 1 && byte <= 32) && c != '"' && c != ',';
            }
            if (plain && items.size() == 1) {
                PELLAMY_FUZZ_CHECK(line == item);
            }
        }
        return 0;
    }

    const std::size_t columns = which == 1 ? kFileColumns.size() : kTypeColumns.size();
    const std::string folder = input.ConsumeRandomLengthString(40) + "/";
    TextRows rows;
    const std::size_t rowCount = input.ConsumeIntegralInRange<std::size_t>(0, 8);
    for (std::size_t r = 0; r < rowCount; ++r) {
        const bool selected = input.ConsumeBool();
        rows.AddRow(Texts(input, columns), selected);
    }
    const auto report = which == 1 ? ExportFilesCsv(rows, folder) : ExportFolderCsv(rows);
    if (rowCount == 0) {
        PELLAMY_FUZZ_CHECK(!report.has_value());
        return 0;
    }
    PELLAMY_FUZZ_CHECK(report.has_value());
    const auto records = ReadCsvText(report->Bytes());
    PELLAMY_FUZZ_CHECK(records.has_value());

    std::vector<CsvRecord> expected;
    if (which == 1) {
        // The file list: its selected rows without the Type column, the name after the folder.
        expected.push_back(Captions(std::span(kFileColumns).subspan(1)));
        for (std::size_t r = 0; r < rowCount; ++r) {
            if (rows.IsSelected(r)) {
                CsvRecord record;
                for (std::size_t c = 1; c < columns; ++c) {
                    record.push_back(rows.CellText(r, c));
                }
                record[0] = folder + record[0];
                expected.push_back(record);
            }
        }
    } else {
        // The type list: every row, all four cells.
        expected.push_back(Captions(kTypeColumns));
        for (std::size_t r = 0; r < rowCount; ++r) {
            CsvRecord record;
            for (std::size_t c = 0; c < columns; ++c) {
                record.push_back(rows.CellText(r, c));
            }
            expected.push_back(record);
        }
    }
    PELLAMY_FUZZ_CHECK(*records == expected);
    return 0;
}
