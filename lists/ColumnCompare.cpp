// SPDX-License-Identifier: GPL-3.0-or-later
#include "lists/ColumnCompare.h"

#include "lists/DisplayTexts.h"
#include "scan/CaseFold.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace pellamy {
namespace {

// Reads "  12.5  " with `separator` as the decimal separator; nothing else may stand there.
std::optional<double> ReadDecimal(std::string_view text, std::string_view separator)
{
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    std::string plain;
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        plain.push_back(text[i++]);
    }
    bool digits = false;
    bool fraction = false;
    while (i < text.size()) {
        if (text[i] >= '0' && text[i] <= '9') {
            plain.push_back(text[i++]);
            digits = true;
        } else if (!fraction && !separator.empty() && text.substr(i, separator.size()) == separator) {
            plain.push_back('.');
            i += separator.size();
            fraction = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) {
        return std::nullopt;
    }
    // from_chars reads the full stop whatever the C library's LC_NUMERIC says, unlike strtod.
    double value = 0.0;
    const char* first = plain.data();
    if (plain.front() == '+') {
        ++first; // from_chars takes no plus sign
    }
    if (std::from_chars(first, plain.data() + plain.size(), value).ec != std::errc()) {
        return std::nullopt;
    }
    return value;
}

int Sign(long long v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// Cells that do not convert order before every value, and among themselves as text.
template <typename T>
int CompareValues(const std::optional<T>& a, const std::optional<T>& b, std::string_view ta,
                  std::string_view tb)
{
    if (a && b) {
        return *a < *b ? -1 : (*b < *a ? 1 : 0);
    }
    if (!a && !b) {
        return CompareTextNoCase(ta, tb);
    }
    return a ? 1 : -1;
}

} // namespace

double SizeSortValue(std::string_view text, const RegionalSettings& settings)
{
    double factor = 1.0;
    std::size_t unit = text.find("GB");
    if (unit != std::string_view::npos) {
        factor = 1073741824.0 * 1048576.0;
    } else if ((unit = text.find("MB")) != std::string_view::npos) {
        factor = 1048576.0;
    } else if ((unit = text.find("KB")) == std::string_view::npos) {
        return 0.0;
    }
    const auto number = ReadDecimal(text.substr(0, unit), settings.DecimalSeparator);
    return number ? *number * factor : 0.0;
}

int TolerantCompare(double a, double b)
{
    // Equal values first: a size text of some hundred digits reads as infinity, and infinity minus
    // itself is no number, which would make a cell compare above itself.
    if (a == b) {
        return 0;
    }
    const double tolerance = std::max(std::min(std::fabs(a), std::fabs(b)) * 1e-12, 1e-12);
    if (std::fabs(a - b) <= tolerance) {
        return 0;
    }
    return a < b ? -1 : 1;
}

std::optional<long long> DateTimeSortValue(std::string_view text, const RegionalSettings& settings)
{
    const auto t = ParseDateTimeText(text, settings);
    if (!t) {
        return std::nullopt;
    }
    return SecondsSinceYearOne(*t) * 1000 + t->Millisecond;
}

std::optional<long long> NumberSortValue(std::string_view text)
{
    if (text.empty() || text.size() > 18) {
        return std::nullopt;
    }
    long long v = 0;
    std::size_t i = text[0] == '-' ? 1 : 0;
    if (i == text.size()) {
        return std::nullopt;
    }
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        v = v * 10 + (text[i] - '0');
    }
    return text[0] == '-' ? -v : v;
}

int CompareTypeCells(int column, std::string_view a, std::string_view b, const RegionalSettings& settings)
{
    switch (column) {
    case 2:
        return CompareValues(NumberSortValue(a), NumberSortValue(b), a, b);
    case 3:
        return TolerantCompare(SizeSortValue(a, settings), SizeSortValue(b, settings));
    default:
        return Sign(CompareTextNoCase(a, b));
    }
}

int CompareFileCells(int column, std::string_view a, std::string_view b, const RegionalSettings& settings)
{
    switch (column) {
    case 2:
    case 3:
        return CompareValues(DateTimeSortValue(a, settings), DateTimeSortValue(b, settings), a, b);
    case 5:
        return TolerantCompare(SizeSortValue(a, settings), SizeSortValue(b, settings));
    default:
        return Sign(CompareTextNoCase(a, b));
    }
}

} // namespace pellamy
